#include "keys/map/key_map_hover.h"

#include "keys/line_builder.h"

namespace {

// The forms from the longest down.
enum class Form { kWords, kShortWords, kAbbreviated, kOneFigure, kPressesOnly, kNameOnly };

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
    out.text(": ungetestet");
    return;
  }
  out.text(": ").integer(f.presses).put('x');
  if (form == Form::kWords) out.text(" gedr\x81" "ckt");  // ü in the screen font
  if (f.chatter > 0) {
    if (form == Form::kWords) out.text(", ").integer(f.chatter).text("x geprellt");
    else out.text(", Prellen ").integer(f.chatter);
  }
  if (form == Form::kPressesOnly) return;
  // Where one figure must go, the gap stays for a chattering key (how close
  // the bounce came) and the hold for any other.
  const bool gap = f.smallest_gap_us >= 0 && (form != Form::kOneFigure || f.chatter > 0);
  const bool hold = form != Form::kOneFigure || f.chatter == 0 || f.smallest_gap_us < 0;
  const bool abbreviated = form == Form::kAbbreviated || form == Form::kOneFigure;
  if (gap) {
    out.text(abbreviated ? ", Abst. " : ", Abstand ");
    duration(out, f.smallest_gap_us, form != Form::kWords);
  }
  if (hold) {
    out.text(abbreviated ? ", Halt " : ", gehalten ");
    duration(out, f.longest_hold_us, form != Form::kWords);
  }
}

// The length of a form without writing it anywhere.
int form_length(Form form, int key, const KeyFigures& figures) {
  char scratch[160];
  TextBuffer buffer{scratch, sizeof scratch, 0};
  const LogWriter writer{write_to_text_buffer, &buffer};
  {
    LineBuilder out(writer);
    compose(out, form, key, figures);
  }
  return static_cast<int>(buffer.used);
}

}  // namespace

void key_map_hover_text(char* text, int size, int width, int key, const KeyFigures& figures) {
  if (text == nullptr || size <= 0) return;
  text[0] = '\0';
  if (width < 1) return;
  // A buffer narrower than the width bounds the form too: a form that fits
  // the width is never cut off in the middle.
  const int room = width + 1 < size ? width + 1 : size;
  Form chosen = Form::kNameOnly;
  for (const Form form :
       {Form::kWords, Form::kShortWords, Form::kAbbreviated, Form::kOneFigure, Form::kPressesOnly}) {
    if (form_length(form, key, figures) < room) {
      chosen = form;
      break;
    }
  }
  // The name alone is cut when even it is too long.
  TextBuffer buffer{text, static_cast<size_t>(room), 0};
  const LogWriter writer{write_to_text_buffer, &buffer};
  {
    LineBuilder out(writer);
    compose(out, chosen, key, figures);
  }
  text[buffer.used] = '\0';
}
