#include "keys/map/key_map_hover.h"

#include "keys/line_builder.h"
#include "keys/texts/screen_text.h"

namespace {

// The forms from the longest down.
enum class Form { kWords, kShortWords, kAbbreviated, kOneFigure, kPressesOnly, kNameOnly };

// "12 ms", "3.5 ms", "1.2 s", "125 s" with the language's decimal mark;
// "-" for none. Compact drops the blank.
void duration(LineBuilder& out, int64_t us, bool compact, char mark) {
  if (us < 0) {
    out.put('-');
    return;
  }
  const char* blank = compact ? "" : " ";
  if (us < 10000) {
    out.integer(us / 1000).put(mark).integer(us / 100 % 10).text(blank).text("ms");
  } else if (us < 1000000) {
    out.integer(us / 1000).text(blank).text("ms");
  } else if (us < 100000000) {
    out.integer(us / 1000000).put(mark).integer(us / 100000 % 10).text(blank).put('s');
  } else {
    out.integer(us / 1000000).text(blank).put('s');
  }
}

void compose(LineBuilder& out, Form form, int key, const KeyFigures& f, UiLanguage language) {
  const auto say = [&out, language](UiText id) -> LineBuilder& { return screen_text(out, ui_text(language, id)); };
  out.put(' ').text(key_name(key)).text(" (");
  scancode_text(out, key).put(')');
  if (form == Form::kNameOnly) return;
  if (f.presses <= 0 && f.longest_hold_us <= 0) {
    say(UiText::kHoverUntested);
    return;
  }
  out.text(": ").integer(f.presses).put('x');
  if (form == Form::kWords) say(UiText::kHoverPressed);
  if (f.chatter > 0) {
    if (form == Form::kWords) {
      out.text(", ").integer(f.chatter);
      say(UiText::kHoverChattered);
    } else {
      say(UiText::kHoverChatter).integer(f.chatter);
    }
  }
  if (form == Form::kPressesOnly) return;
  // Where one figure must go, the gap stays for a chattering key (how close
  // the bounce came) and the hold for any other.
  const bool gap = f.smallest_gap_us >= 0 && (form != Form::kOneFigure || f.chatter > 0);
  const bool hold = form != Form::kOneFigure || f.chatter == 0 || f.smallest_gap_us < 0;
  const bool abbreviated = form == Form::kAbbreviated || form == Form::kOneFigure;
  const char mark = ui_decimal_mark(language);
  if (gap) {
    say(abbreviated ? UiText::kHoverGapShort : UiText::kHoverGap);
    duration(out, f.smallest_gap_us, form != Form::kWords, mark);
  }
  if (hold) {
    say(abbreviated ? UiText::kHoverHoldShort : UiText::kHoverHold);
    duration(out, f.longest_hold_us, form != Form::kWords, mark);
  }
}

// A form written into scratch (room for any form); its length.
int compose_into(char (&scratch)[160], Form form, int key, const KeyFigures& figures, UiLanguage language) {
  TextBuffer buffer{scratch, sizeof scratch, 0};
  const LogWriter writer{write_to_text_buffer, &buffer};
  {
    LineBuilder out(writer);
    compose(out, form, key, figures, language);
  }
  return static_cast<int>(buffer.used);
}

}  // namespace

void key_map_hover_text(char* text, int size, int width, int key, const KeyFigures& figures, UiLanguage language) {
  if (text == nullptr || size <= 0) return;
  text[0] = '\0';
  if (width < 1) return;
  // A buffer narrower than the width bounds the form too: a form that fits
  // the width is never cut off in the middle.
  const int room = width < size - 1 ? width : size - 1;
  char form[160];
  int length = 0;
  for (const Form choice : {Form::kWords, Form::kShortWords, Form::kAbbreviated, Form::kOneFigure,
                            Form::kPressesOnly, Form::kNameOnly}) {
    length = compose_into(form, choice, key, figures, language);
    if (length <= room) break;
  }
  // Even the name is too long: its words that fit, none cut.
  if (length > room) {
    length = room;
    while (length > 0 && form[length] != ' ') --length;
  }
  for (int i = 0; i < length; ++i) text[i] = form[i];
  text[length] = '\0';
}
