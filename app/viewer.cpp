#include "app/viewer.h"

#include "gfx/screen.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "rt/text_value.h"

namespace {

// The ü of the prompt is the single byte 0xFC, drawn as glyph 252.
constexpr char kPrompt[] = " Bitte Taste dr\xFC" "cken!";
constexpr char kUnderline[] = " ********************";
constexpr char kListLabel[] = " Scancodes: ";
constexpr char kSeparator[] = ", ";
constexpr char kNoKeys[] = "(keine)";
constexpr char kBanner[] = " * Klimperdetektor by Tukani *";
constexpr char kCloseKey[] = "\xFFk";

constexpr int kScreenFile = 0;
constexpr int kNewLine = 1;
constexpr int kSameLine = 0;

void print_literal(const char* text, int mask) {
  print_value(kScreenFile, text_literal_z(text), mask);
}

void (*below_page)(int first_free_row) = nullptr;

}  // namespace

void viewer_draw_page() {
  screen_lock();
  clear_screen(kNoClearArgument);
  print_end(kScreenFile, kNewLine);
  print_literal(kPrompt, kNewLine);
  print_literal(kUnderline, kNewLine);
  print_end(kScreenFile, kNewLine);
  print_literal(kListLabel, kSameLine);

  int found = 0;
  // Every code from 1 to 65535 whose key is held, in order: the routed scan
  // answers as a query per code would, without 65535 queries a pass.
  for (int code = next_key_held(0); code != 0; code = next_key_held(code)) {
    if (found != 0) print_literal(kSeparator, kSameLine);
    else found = 1;
    print_value(kScreenFile, text_concat(nullptr, "", 0, text_from_int(code), kTextValueOperand),
                kSameLine);
  }
  if (found == 0) print_literal(kNoKeys, kSameLine);

  print_end(kScreenFile, kNewLine);
  print_end(kScreenFile, kNewLine);
  print_literal(kBanner, kNewLine);
  if (below_page != nullptr) below_page(get_row());
  screen_unlock_all_lines();
}

void viewer_set_below_page(void (*draw)(int first_free_row)) { below_page = draw; }

bool viewer_pass() {
  viewer_draw_page();
  sleep_for(10, kSleepPlain);
  return text_compare(read_key_text(), kTextValueOperand, kCloseKey, 2) == 0;
}

void viewer_loop() {
  while (!viewer_pass()) {
  }
}
