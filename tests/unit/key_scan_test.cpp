// The key scan (next_key_held and the word scan under it) against a plain
// query of every code, for held sets at the edges of its words.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <vector>

#include "gfx/input/key_input.h"
#include "rt/hook_table.h"
#include "rt/routed.h"
#include "support/capture.h"

namespace {

std::vector<uint8_t> held_table(kLastKeyCode + 1);

int held_in_table(int scancode) {
  return scancode >= 0 && scancode <= kLastKeyCode && held_table[static_cast<size_t>(scancode)] ? -1 : 0;
}

std::vector<int> every_third_code() {
  std::vector<int> codes;
  for (int code = 1; code <= kLastKeyCode; code += 3) codes.push_back(code);
  return codes;
}

std::vector<int> codes_from_to(int first, int last) {
  std::vector<int> codes;
  for (int code = first; code <= last; ++code) codes.push_back(code);
  return codes;
}

// The routed scan's list, and the list of a query per code.
std::vector<int> scanned_codes() {
  std::vector<int> codes;
  for (int code = next_key_held(0); code != 0; code = next_key_held(code)) {
    codes.push_back(code);
    if (codes.size() > static_cast<size_t>(kLastKeyCode)) break;  // a scan that does not move on
  }
  return codes;
}
std::vector<int> queried_codes() {
  std::vector<int> codes;
  for (int code = 1; code <= kLastKeyCode; ++code)
    if (key_held(code) != 0) codes.push_back(code);
  return codes;
}

// The word scan over bytes[0, end), from 1 as the viewer starts; past the
// last held byte it answers end itself, whatever lies beyond.
std::vector<int> word_scan(int end) {
  std::vector<int> codes;
  int index = next_nonzero_byte(held_table.data(), 1, end);
  for (; index < end; index = next_nonzero_byte(held_table.data(), index + 1, end)) codes.push_back(index);
  EXPECT_EQ(index, end);
  return codes;
}
std::vector<int> byte_scan(int end) {
  std::vector<int> codes;
  for (int index = 1; index < end; ++index)
    if (held_table[static_cast<size_t>(index)]) codes.push_back(index);
  return codes;
}

struct HeldSet {
  const char* name;
  std::vector<int> codes;
};

// Each set held three ways: in a byte table scanned by words, in the
// screen's key state (its codes below 128) through the routed scan, and
// behind a key_held handler of the hook table that has no scan of its own.
TEST(KeyScan, FindsWhatAQueryPerCodeFinds) {
  const std::vector<HeldSet> sets = {
      {"none", {}},
      {"code 1", {1}},
      {"code 65535", {65535}},
      {"the last code of the first word", {7}},
      {"the first code of the second word", {8}},
      {"both sides of a word boundary", {7, 8}},
      {"both sides of the next boundary", {15, 16}},
      {"the screen's last word's edges", {119, 120, 126}},
      {"the screen's last code", {127}},
      {"the first code past the screen", {128}},
      {"both sides of the screen's end", {127, 128}},
      {"the edges of the table's last word", {65527, 65528, 65534}},
      {"every code of a word", codes_from_to(8, 15)},
      {"every code of the screen's last word", codes_from_to(120, 127)},
      {"every code of the screen", codes_from_to(1, 127)},
      {"many codes at once", every_third_code()},
  };
  ASSERT_EQ(open_null_screen(), 0);
  for (const HeldSet& set : sets) {
    SCOPED_TRACE(set.name);
    std::fill(held_table.begin(), held_table.end(), 0);
    std::fill(screen_state->key_state, screen_state->key_state + kKeyStateSize, 0);
    for (int code : set.codes) {
      held_table[static_cast<size_t>(code)] = 1;
      if (code < kKeyStateSize) screen_state->key_state[code] = 1;
    }
    held_table[0] = 1;  // code 0 is never asked
    screen_state->key_state[0] = 1;

    // Ends at a word's end and inside a word, with held bytes past them.
    for (int end : {kLastKeyCode + 1, kLastKeyCode, 13, 14, 129, 130}) EXPECT_EQ(word_scan(end), byte_scan(end)) << end;

    const std::vector<int> on_screen = queried_codes();
    EXPECT_EQ(scanned_codes(), on_screen);
    for (int code : on_screen) EXPECT_LT(code, kKeyStateSize);
    EXPECT_EQ(screen_state->lock_count, 0);

    hook_table().key_held = held_in_table;
    const std::vector<int> from_handler = queried_codes();
    EXPECT_EQ(from_handler, set.codes);
    EXPECT_EQ(scanned_codes(), from_handler);
    hook_table().key_held = gfx_multikey;

    // Any start: below 1 scans from 1, from the last code on finds nothing.
    const int first = on_screen.empty() ? 0 : on_screen.front();
    for (int after : {INT_MIN, -1, 0}) EXPECT_EQ(next_key_held(after), first) << after;
    for (int after : {kLastKeyCode, kLastKeyCode + 1, INT_MAX}) EXPECT_EQ(next_key_held(after), 0) << after;
  }
  EXPECT_EQ(next_nonzero_byte(nullptr, 0, 8), 8);
  EXPECT_EQ(next_nonzero_byte(held_table.data(), INT_MIN, -5), 0);
  EXPECT_EQ(next_nonzero_byte(held_table.data(), INT_MIN, 1), 0);  // code 0 is held
  EXPECT_EQ(next_nonzero_byte(held_table.data(), INT_MAX, 8), 8);
  close_screen();
  EXPECT_EQ(gfx_next_multikey(1), 0);
  hook_table_clear();
}

}  // namespace
