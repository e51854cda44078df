#include "keys/map/key_map_hover.h"

#include "keys/line_builder.h"

namespace {

// The forms from the longest down; the fields after the name are dropped or
// shortened in this order.
enum class Form { kWords, kShortWords, kCompactWords, kLetters, kPressesOnly, kNameOnly };

struct TextBuffer {
  char* text;
  int size;
  int used;
};

void write_to_buffer(void* context, const char* text, size_t length) {
  auto* buffer = static_cast<TextBuffer*>(context);
  for (size_t i = 0; i < length && buffer->used + 1 < buffer->size; ++i) buffer->text[buffer->used++] = text[i];
}

// "12 ms", "3,5 ms", "1,2 s", "125 s" (a German decimal comma); "-" for
// none. Compact drops the blank.
void duration(LineBuilder& out, int64_t us, bool compact) {
  if (us < 0) {
    out.put('-');
    return;
  }
  const char* blank = compact ? "" : " ";
  if (us < 10000) {
    out.integer(us / 1000).put(',').integer(us / 100 % 10).text(blank).text("ms");
  } else if (us < 1000000) {
    out.integer(us / 1000).text(blank).text("ms");
  } else if (us < 100000000) {
    out.integer(us / 1000000).put(',').integer(us / 100000 % 10).text(blank).put('s');
  } else {
    out.integer(us / 1000000).text(blank).put('s');
  }
}

void compose(LineBuilder& out, Form form, int key, const KeyFigures& f) {
  out.put(' ').text(key_name(key)).text(" (");
  scancode_text(out, key).put(')');
  if (form == Form::kNameOnly) return;
  if (f.presses <= 0 && f.longest_hold_us <= 0) {
    out.text(form == Form::kLetters || form == Form::kPressesOnly ? ": 0x" : ": ungetestet");
    return;
  }
  out.text(": ").integer(f.presses).put('x');
  switch (form) {
    case Form::kWords:
      out.text(" gedr\xFC" "ckt, ").integer(f.chatter).text("x Prellen, Abstand ");
      duration(out, f.smallest_gap_us, false);
      out.text(", gehalten ");
      duration(out, f.longest_hold_us, false);
      break;
    case Form::kShortWords:
      out.text(", Prellen ").integer(f.chatter).text(", Abst. ");
      duration(out, f.smallest_gap_us, false);
      out.text(", Halt ");
      duration(out, f.longest_hold_us, false);
      break;
    case Form::kCompactWords:
      out.text(" Prell.").integer(f.chatter).text(" Abst.");
      duration(out, f.smallest_gap_us, true);
      out.text(" Halt");
      duration(out, f.longest_hold_us, true);
      break;
    case Form::kLetters:
      out.text(" P").integer(f.chatter).text(" A");
      duration(out, f.smallest_gap_us, true);
      out.text(" H");
      duration(out, f.longest_hold_us, true);
      break;
    case Form::kPressesOnly:
      out.text(" P").integer(f.chatter);
      break;
    case Form::kNameOnly:
      break;
  }
}

// The length of a form without writing it anywhere.
int form_length(Form form, int key, const KeyFigures& figures) {
  char scratch[160];
  TextBuffer buffer{scratch, sizeof scratch, 0};
  const LogWriter writer{write_to_buffer, &buffer};
  {
    LineBuilder out(writer);
    compose(out, form, key, figures);
  }
  return buffer.used;
}

}  // namespace

void key_map_hover_text(char* text, int size, int width, int key, const KeyFigures& figures) {
  if (text == nullptr || size <= 0) return;
  text[0] = '\0';
  if (width < 1) return;
  Form chosen = Form::kNameOnly;
  for (const Form form :
       {Form::kWords, Form::kShortWords, Form::kCompactWords, Form::kLetters, Form::kPressesOnly}) {
    if (form_length(form, key, figures) <= width) {
      chosen = form;
      break;
    }
  }
  // The name alone is cut to the width when even it is too long.
  const int room = width + 1 < size ? width + 1 : size;
  TextBuffer buffer{text, room, 0};
  const LogWriter writer{write_to_buffer, &buffer};
  {
    LineBuilder out(writer);
    compose(out, chosen, key, figures);
  }
  text[buffer.used] = '\0';
}
