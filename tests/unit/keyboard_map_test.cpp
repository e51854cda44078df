// The keyboard map: its layouts and boxes, the states of a key, the summary.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "gfx/data/builtin_data.h"
#include "keys/map/key_map_geometry.h"
#include "keys/map/key_map_hover.h"
#include "keys/map/key_map_state.h"
#include "keys/map/key_map_summary.h"
#include "keys/map/key_map_view.h"
#include "keys/map/keyboard_layouts.h"

namespace {

constexpr int kIsoExtraKey = 0x56;  // left of Z
constexpr int kHash = 0x2B;         // backslash on ANSI, beside the ISO Enter

struct LayoutCase {
  MapLayout layout;
  const char* name;
  int keys;
  bool has_keypad;
  bool has_iso_key;
};

constexpr LayoutCase kLayoutCases[] = {
    {MapLayout::kAnsi, "ansi", 104, true, false},
    {MapLayout::kIso, "iso", 105, true, true},
    {MapLayout::kJis, "jis", 109, true, false},
    {MapLayout::kAnsiTkl, "ansi-tkl", 104 - 17, false, false},
    {MapLayout::kIsoTkl, "iso-tkl", 105 - 17, false, true},
};

// Boxes that touch read as one key when both have one colour: at least a
// pixel between them.
bool touch(const PixelBox& a, const PixelBox& b) {
  return a.x <= b.x + b.width && b.x <= a.x + a.width && a.y <= b.y + b.height && b.y <= a.y + a.height;
}

TEST(KeyboardLayouts, CountsKeysOnceEachInsideTheKeyboardWithoutOverlap) {
  for (const LayoutCase& c : kLayoutCases) {
    SCOPED_TRACE(c.name);
    const KeyboardLayout& layout = keyboard_layout(c.layout);
    EXPECT_STREQ(layout.name, c.name);
    ASSERT_EQ(layout.count, c.keys);
    std::set<int> seen;
    for (int i = 0; i < layout.count; ++i) {
      const MapKey& key = layout.keys[i];
      EXPECT_TRUE(seen.insert(key.key).second) << "key " << key.key << " twice";
      EXPECT_STRNE(key_name(key.key), "Unknown") << key.key;
      EXPECT_LE(key.x + key.width, layout.width) << key.key;
      EXPECT_LE(key.y + key.height, layout.height) << key.key;
      for (int j = 0; j < i; ++j) {
        const MapKey& other = layout.keys[j];
        EXPECT_FALSE(key.x < other.x + other.width && other.x < key.x + key.width &&
                     key.y < other.y + other.height && other.y < key.y + key.height)
            << key.key << " overlaps " << other.key;
      }
    }
    EXPECT_EQ(layout_key_index(layout, make_key_id(0x1C, kPrefixE0)) >= 0, c.has_keypad);
    EXPECT_EQ(layout_key_index(layout, kIsoExtraKey) >= 0, c.has_iso_key);
    // The keys Windows reports in odd ways are on every map, once each.
    for (const int key : {make_key_id(0x45, kPrefixE1), make_key_id(0x37, kPrefixE0), 0x2A, 0x36,
                          0x1C, make_key_id(0x38, kPrefixE0), kHash})
      EXPECT_GE(layout_key_index(layout, key), 0) << key;
  }
}

TEST(KeyboardLayouts, BoxesStayInTheirRowsAndApartAtEverySize) {
  // From the whole screen under a short page down to the smallest band.
  struct Band {
    int top, bottom;
  };
  for (const LayoutCase& c : kLayoutCases) {
    const KeyboardLayout& layout = keyboard_layout(c.layout);
    for (const Band band : {Band{76, 200}, Band{140, 200}, Band{200 - kMinMapHeight, 200}}) {
      SCOPED_TRACE(std::string(c.name) + " from row " + std::to_string(band.top));
      PixelBox boxes[128];
      const int end = key_map_boxes(layout, band.top, band.bottom, 320, boxes);
      ASSERT_GT(end, band.top);
      ASSERT_LE(end, band.bottom);
      for (int i = 0; i < layout.count; ++i) {
        const PixelBox& box = boxes[i];
        EXPECT_GE(box.width, 3);
        EXPECT_GE(box.height, 3);
        EXPECT_GE(box.x, 0);
        EXPECT_LE(box.x + box.width, 320);
        EXPECT_GE(box.y, band.top);
        EXPECT_LE(box.y + box.height, end);
        for (int j = 0; j < i; ++j) EXPECT_FALSE(touch(box, boxes[j])) << i << " and " << j;
      }
    }
  }
}

TEST(KeyboardLayouts, TooLittleRoomOrBadArgumentsDrawNoMap) {
  const KeyboardLayout& layout = keyboard_layout(MapLayout::kAnsi);
  PixelBox boxes[128];
  PixelBox untouched{-7, -7, -7, -7};
  boxes[0] = untouched;
  EXPECT_EQ(key_map_boxes(layout, 200 - kMinMapHeight + 1, 200, 320, boxes), -1);
  EXPECT_EQ(key_map_boxes(layout, 100, 50, 320, boxes), -1);
  EXPECT_EQ(key_map_boxes(layout, -5, 200, 320, boxes), -1);
  EXPECT_EQ(key_map_boxes(layout, 0, 200, layout.width + 1, boxes), -1);
  EXPECT_EQ(key_map_boxes(layout, 0, 200, 320, nullptr), -1);
  EXPECT_EQ(boxes[0].x, -7);
}

TEST(KeyboardLayouts, NamesAndTheSystemsKeyboard) {
  for (const LayoutCase& c : kLayoutCases) {
    MapLayout parsed = MapLayout::kJis;
    EXPECT_TRUE(parse_map_layout(c.name, &parsed)) << c.name;
    EXPECT_EQ(parsed, c.layout);
  }
  for (const char* bad : {"", "xyz", "ANSI", "iso ", "ansi-", "tkl"})
    EXPECT_FALSE(parse_map_layout(bad, nullptr)) << bad;
  EXPECT_FALSE(parse_map_layout(nullptr, nullptr));

  struct Language {
    uint16_t id;
    MapLayout layout;
  };
  for (const Language l : {Language{0x0409, MapLayout::kAnsi}, Language{0x0809, MapLayout::kIso},
                           Language{0x1809, MapLayout::kIso}, Language{0x1009, MapLayout::kAnsi},
                           Language{0x0407, MapLayout::kIso}, Language{0x040C, MapLayout::kIso},
                           Language{0x041D, MapLayout::kIso}, Language{0x0411, MapLayout::kJis},
                           Language{0x0419, MapLayout::kAnsi}, Language{0x0412, MapLayout::kAnsi},
                           Language{0, MapLayout::kAnsi}})
    EXPECT_EQ(map_layout_for_language(l.id), l.layout) << std::hex << l.id;
}

// One step of a key's story and the colour its box has after it.
struct Step {
  enum Kind { kDown, kUp, kFocusLost, kReset } kind;
  int64_t time_ms;
  int colour;
  int held;
  int most_held;
};

struct StateCase {
  const char* story;
  std::initializer_list<Step> steps;
};

TEST(KeyMapState, AKeyIsNeverHeldTestedOrChattering) {
  constexpr int kKey = 0x1E;
  constexpr int kOther = 0x1F;
  const StateCase cases[] = {
      {"pressed and released", {{Step::kDown, 100, kMapColourHeld, 1, 1}, {Step::kUp, 200, kMapColourTested, 0, 1}}},
      {"held at the close counts as tested", {{Step::kDown, 100, kMapColourHeld, 1, 1}}},
      {"repeats of a held key are one press",
       {{Step::kDown, 100, kMapColourHeld, 1, 1}, {Step::kDown, 130, kMapColourHeld, 1, 1},
        {Step::kUp, 160, kMapColourTested, 0, 1}}},
      {"a bounce within the threshold is chatter, after the release too",
       {{Step::kDown, 100, kMapColourHeld, 1, 1}, {Step::kUp, 200, kMapColourTested, 0, 1},
        {Step::kDown, 210, kMapColourHeld, 1, 1}, {Step::kUp, 300, kMapColourChatter, 0, 1}}},
      // Events delivered in one batch, as the log counts them apart.
      {"a press at the moment of the release is no chatter",
       {{Step::kDown, 100, kMapColourHeld, 1, 1}, {Step::kUp, 200, kMapColourTested, 0, 1},
        {Step::kDown, 200, kMapColourHeld, 1, 1}, {Step::kUp, 300, kMapColourTested, 0, 1}}},
      {"a press after the threshold is no chatter",
       {{Step::kDown, 100, kMapColourHeld, 1, 1}, {Step::kUp, 200, kMapColourTested, 0, 1},
        {Step::kDown, 231, kMapColourHeld, 1, 1}, {Step::kUp, 300, kMapColourTested, 0, 1}}},
      {"a release without a press is nothing", {{Step::kUp, 100, kMapColourUntested, 0, 0}}},
      {"the keyboard going elsewhere ends the hold",
       {{Step::kDown, 100, kMapColourHeld, 1, 1}, {Step::kFocusLost, 150, kMapColourTested, 0, 1},
        {Step::kUp, 170, kMapColourTested, 0, 1}, {Step::kDown, 180, kMapColourHeld, 1, 1}}},
      {"a reset clears tested and chatter marks and the most held",
       {{Step::kDown, 100, kMapColourHeld, 1, 1}, {Step::kUp, 200, kMapColourTested, 0, 1},
        {Step::kDown, 205, kMapColourHeld, 1, 1}, {Step::kUp, 300, kMapColourChatter, 0, 1},
        {Step::kReset, 400, kMapColourUntested, 0, 0}, {Step::kDown, 900, kMapColourHeld, 1, 1},
        {Step::kUp, 1000, kMapColourTested, 0, 1}}},
      {"a key held through a reset stays held",
       {{Step::kDown, 100, kMapColourHeld, 1, 1}, {Step::kReset, 150, kMapColourHeld, 1, 1},
        {Step::kUp, 200, kMapColourUntested, 0, 1}}},
  };
  static KeyMapState state;
  static KeyMapView view;
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.story);
    key_map_state_reset(&state, 30);
    // Another key held throughout would hide a count that ignores this one.
    int step_number = 0;
    for (const Step& step : c.steps) {
      const int64_t us = step.time_ms * 1000;
      switch (step.kind) {
        case Step::kDown: key_map_state_key(&state, us, kKey, true); break;
        case Step::kUp: key_map_state_key(&state, us, kKey, false); break;
        case Step::kFocusLost: key_map_state_focus_lost(&state, us); break;
        case Step::kReset: key_map_state_clear_marks(&state); break;
      }
      key_map_state_read(&state, &view);
      EXPECT_EQ(key_map_colour(view.marks[kKey]), step.colour) << "step " << step_number;
      EXPECT_EQ(view.held, step.held) << "step " << step_number;
      EXPECT_EQ(view.most_held, step.most_held) << "step " << step_number;
      EXPECT_EQ(view.marks[kOther], 0) << "step " << step_number;
      ++step_number;
    }
  }
}

TEST(KeyMapState, MostHeldAndFocusLossOverSeveralKeys) {
  static KeyMapState state;
  static KeyMapView view;
  key_map_state_reset(&state, 30);
  for (int key = 0x10; key < 0x15; ++key) key_map_state_key(&state, 1000 * key, key, true);
  key_map_state_key(&state, 30000, 0x10, false);
  key_map_state_read(&state, &view);
  EXPECT_EQ(view.held, 4);
  EXPECT_EQ(view.most_held, 5);
  key_map_state_focus_lost(&state, 40000);
  key_map_state_read(&state, &view);
  EXPECT_EQ(view.held, 0);
  for (int key = 0x10; key < 0x15; ++key) EXPECT_EQ(view.marks[key], kMapTested) << key;
  key_map_state_clear_marks(&state);
  key_map_state_read(&state, &view);
  EXPECT_EQ(view.most_held, 0);
  // Out of range ids and a null state change nothing.
  key_map_state_key(&state, 50000, -1, true);
  key_map_state_key(&state, 50000, kKeyIdCount, true);
  key_map_state_key(nullptr, 50000, 0x10, true);
  key_map_state_read(&state, &view);
  EXPECT_EQ(view.held, 0);
}

void append_to(void* context, const char* text, size_t length) {
  static_cast<std::string*>(context)->append(text, length);
}

TEST(KeyMapSummary, TestedUntestedDefectStuckAndKeysOffTheMap) {
  static KeyMapReport report;
  report = KeyMapReport{};
  report.layout = &keyboard_layout(MapLayout::kAnsi);
  report.stuck_s = 8;
  const int keypad_enter = make_key_id(0x1C, kPrefixE0);
  // Every key of the map but Escape, keypad Enter and Enter; the ISO key, off
  // this map; a key held at the close.
  for (int i = 0; i < report.layout->count; ++i) report.view.marks[report.layout->keys[i].key] = kMapTested;
  report.view.marks[0x01] = 0;
  report.view.marks[keypad_enter] = 0;
  report.view.marks[0x1C] = 0;
  report.view.marks[kIsoExtraKey] = kMapTested;
  report.view.marks[0x1E] = kMapTested | kMapHeld;
  report.view.most_held = 2;
  // Marked defect: one never pressed, one pressed; stuck: Space, and the
  // right Control still held past the time at the close.
  report.view.marks[0x01] = kMapDefect;
  report.view.marks[0x1F] = kMapTested | kMapDefect;
  report.view.marks[0x39] = kMapTested | kMapStuck;
  report.keys[0x39].longest_hold_us = 12'345'678;
  const int right_control = make_key_id(0x1D, kPrefixE0);
  report.view.marks[right_control] = kMapTested | kMapHeld | kMapStuck | kMapStuckNow;
  report.keys[right_control].longest_hold_us = 9'000'000;

  std::string json;
  write_map_summary_json(LogWriter{append_to, &json}, report);
  EXPECT_EQ(json,
            ",\"map\":{\"layout\":\"ansi\",\"keys\":104,\"tested\":101,\"untested\":[{\"key\":\"Escape\",\"scancode\":1,\"extended\":\"\"},"
            "{\"key\":\"Enter\",\"scancode\":28,\"extended\":\"\"},"
            "{\"key\":\"Keypad Enter\",\"scancode\":28,\"extended\":\"e0\"}],"
            "\"off_map\":[{\"key\":\"102nd Key\",\"scancode\":86,\"extended\":\"\"}],"
            "\"defect\":[{\"key\":\"Escape\",\"scancode\":1,\"extended\":\"\"},{\"key\":\"S\",\"scancode\":31,\"extended\":\"\"}],"
            "\"stuck_s\":8,\"stuck\":[{\"key\":\"Space\",\"scancode\":57,\"extended\":\"\",\"longest_hold_ms\":12345},"
            "{\"key\":\"Right Ctrl\",\"scancode\":29,\"extended\":\"e0\",\"longest_hold_ms\":9000}]}");

  std::string text;
  report.chosen_from_system = true;
  write_map_summary_text(LogWriter{append_to, &text}, report);
  EXPECT_EQ(text,
            "map: ansi (chosen from the system's keyboard), tested 101 of 104 keys, most held at once 2\n"
            "untested: Escape (1), Enter (28), Keypad Enter (28 e0)\n"
            "not on this map: 102nd Key (86)\n"
            "marked defect: Escape (1), S (31)\n"
            "stuck (held over 8 s): Space (57) held 12.3 s, Right Ctrl (29 e0) held 9.0 s\n");

  // On the ISO map the same key counts.
  report.layout = &keyboard_layout(MapLayout::kIso);
  text.clear();
  write_map_summary_text(LogWriter{append_to, &text}, report);
  EXPECT_NE(text.find("tested 102 of 105 keys"), std::string::npos) << text;
  EXPECT_NE(text.find("not on this map: none\n"), std::string::npos) << text;
}

TEST(KeyMapView, StatusLineInEachLanguageFitsTheScreenWidth) {
  struct Case {
    UiLanguage language;
    const char* text;
    const char* cut;
  } cases[] = {{UiLanguage::kGerman, " Getestet: 109/109, max. 109 gehalten", " Gete"},
               {UiLanguage::kEnglish, " Tested: 109/109, up to 109 held", " Test"}};
  for (const Case& c : cases) {
    char text[48];
    key_map_status_text(text, sizeof text, 109, 109, 109, c.language);
    EXPECT_STREQ(text, c.text);
    EXPECT_LT(std::strlen(text), 40u);  // a 40th column would wrap the line
    char small[6];
    key_map_status_text(small, sizeof small, 1, 2, 3, c.language);
    EXPECT_STREQ(small, c.cut);
  }
}

TEST(KeyMapHover, TheLongestFormThatFitsAndNeverWiderThanAsked) {
  const KeyFigures once{1, 0, 0, -1, 98'000, 1};
  const KeyFigures pressed{3, 0, 0, 250'000, 1'250'000, 1};
  const KeyFigures chattering{3, 1, 0, 4'000, 90'000, 1};
  const KeyFigures fast{12, 0, 2, 300, 80'000, 1};
  const KeyFigures never{0, 0, 0, -1, 0, 0};
  const int keypad_enter = make_key_id(0x1C, kPrefixE0);
  constexpr UiLanguage de = UiLanguage::kGerman, en = UiLanguage::kEnglish;
  struct Case {
    UiLanguage language;
    int key;
    const KeyFigures* figures;
    int width;
    const char* text;
  };
  // 39 columns: the status line of the 40-column page.
  const Case cases[] = {
      {de, 0x1E, &once, 39, " A (30): 1x gedr\x81" "ckt, gehalten 98 ms"},
      {de, 0x1E, &pressed, 80, " A (30): 3x gedr\x81" "ckt, Abstand 250 ms, gehalten 1,2 s"},
      {de, 0x1E, &pressed, 45, " A (30): 3x, Abstand 250ms, gehalten 1,2s"},
      {de, 0x1E, &pressed, 39, " A (30): 3x, Abst. 250ms, Halt 1,2s"},
      {de, 0x1E, &chattering, 39, " A (30): 3x, Prellen 1, Abst. 4,0ms"},
      {de, 0x1E, &chattering, 80, " A (30): 3x gedr\x81" "ckt, 1x geprellt, Abstand 4,0 ms, gehalten 90 ms"},
      {de, 0x1E, &fast, 39, " A (30): 12x, Abst. 0,3ms, Halt 80ms"},
      {de, 0x2A, &pressed, 39, " Left Shift (42): 3x, Halt 1,2s"},
      {de, keypad_enter, &chattering, 39, " Keypad Enter (28 e0): 3x, Prellen 1"},
      {de, keypad_enter, &pressed, 25, " Keypad Enter (28 e0): 3x"},
      {de, keypad_enter, &pressed, 21, " Keypad Enter (28 e0)"},
      // Too narrow for the name: its whole words only.
      {de, keypad_enter, &pressed, 10, " Keypad"},
      {de, make_key_id(0x45, kPrefixE1), &never, 39, " Pause (69 e1): ungetestet"},
      {de, make_key_id(0x45, kPrefixE1), &never, 18, " Pause (69 e1)"},
      {de, 0x1E, &pressed, 0, ""},
      {en, 0x1E, &once, 39, " A (30): 1x pressed, held 98 ms"},
      {en, 0x1E, &pressed, 80, " A (30): 3x pressed, gap 250 ms, held 1.2 s"},
      {en, 0x1E, &pressed, 39, " A (30): 3x, gap 250ms, held 1.2s"},
      {en, 0x1E, &chattering, 80, " A (30): 3x pressed, 1x chattered, gap 4.0 ms, held 90 ms"},
      {en, 0x1E, &chattering, 39, " A (30): 3x, chatter 1, gap 4.0ms"},
      {en, 0x1E, &fast, 39, " A (30): 12x, gap 0.3ms, held 80ms"},
      {en, keypad_enter, &chattering, 39, " Keypad Enter (28 e0): 3x, chatter 1"},
      {en, make_key_id(0x45, kPrefixE1), &never, 39, " Pause (69 e1): untested"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.width) + " columns: " + c.text);
    char text[96];
    key_map_hover_text(text, sizeof text, c.width, c.key, *c.figures, c.language);
    EXPECT_STREQ(text, c.text);
    EXPECT_LE(static_cast<int>(std::strlen(text)), c.width);
  }
  // A buffer smaller than the width takes the form that fits it, or the
  // name's words that fit; none is left alone.
  char shorter[24];
  key_map_hover_text(shorter, sizeof shorter, 39, 0x1E, chattering, de);
  EXPECT_STREQ(shorter, " A (30): 3x, Prellen 1");
  char small[5];
  key_map_hover_text(small, sizeof small, 39, 0x1E, pressed, de);
  EXPECT_STREQ(small, " A");
  key_map_hover_text(nullptr, 10, 39, 0x1E, pressed, de);
  // A language out of range speaks the first.
  char other[48];
  key_map_hover_text(other, sizeof other, 39, 0x1E, once, static_cast<UiLanguage>(200));
  EXPECT_STREQ(other, " A (30): 1x pressed, held 98 ms");
}

TEST(KeyMapState, StuckPastTheTimeNotAtItAndTheTimeClamped) {
  static KeyMapState state;
  static KeyMapView view;
  struct Case {
    int stuck_s;       // as given
    int64_t hold_us;   // then judged after this long, and released
    bool stuck;
  };
  const Case cases[] = {
      {8, 8'000'000, false}, {8, 8'000'001, true}, {1, 1'000'000, false}, {1, 1'000'001, true},
      {0, 1'000'001, true},  // below the range: one second
      {3600, 3'600'000'000, false}, {99999, 3'600'000'001, true},  // above: an hour
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.stuck_s) + " s, held " + std::to_string(c.hold_us) + " us");
    key_map_state_reset(&state, 30, c.stuck_s);
    key_map_state_key(&state, 1000, 0x1E, true);
    key_map_state_read(&state, &view);
    key_map_state_judge_stuck(&state, 1000 + c.hold_us, &view);
    EXPECT_EQ((view.marks[0x1E] & kMapStuckNow) != 0, c.stuck);
    EXPECT_EQ(key_map_colour(view.marks[0x1E]), c.stuck ? kMapColourStuck : kMapColourHeld);
    // Released without a pass in between, the mark comes from the release.
    key_map_state_reset(&state, 30, c.stuck_s);
    key_map_state_key(&state, 1000, 0x1E, true);
    key_map_state_key(&state, 1000 + c.hold_us, 0x1E, false);
    key_map_state_read(&state, &view);
    EXPECT_EQ(view.marks[0x1E], c.stuck ? kMapTested | kMapStuck : kMapTested);
    KeyFigures figures;
    key_map_state_figures(&state, 0x1E, 0, &figures);
    EXPECT_EQ(figures.longest_hold_us, c.hold_us);
  }
  // A focus loss ends the hold too; a reset clears the mark and the figures.
  key_map_state_reset(&state, 30, 1);
  key_map_state_key(&state, 0, 0x1F, true);
  key_map_state_focus_lost(&state, 5'000'000);
  key_map_state_read(&state, &view);
  EXPECT_EQ(view.marks[0x1F], kMapTested | kMapStuck);
  key_map_state_clear_marks(&state);
  KeyFigures figures;
  key_map_state_figures(&state, 0x1F, 0, &figures);
  EXPECT_EQ(figures.longest_hold_us, 0);
  EXPECT_EQ(figures.smallest_gap_us, -1);
  key_map_state_figures(&state, kKeyIdCount, 0, &figures);
  EXPECT_EQ(figures.presses, 0);
}

TEST(KeyMapView, EveryStateHasAColourOfItsOwnInTheDefaultPalette) {
  const int colours[] = {kMapColourUntested, kMapColourHeld, kMapColourTested,
                         kMapColourChatter, kMapColourDefect, kMapColourStuck};
  unpack_builtin_data();
  for (size_t i = 0; i < std::size(colours); ++i) {
    // The viewer's screen is mode 13: any entry of the 256-colour palette
    // but its last eight, which repeat black.
    EXPECT_GE(colours[i], 0);
    EXPECT_LT(colours[i], 248);
    for (size_t j = 0; j < i; ++j)
      EXPECT_NE(std::memcmp(palette_256.data + 3 * colours[i], palette_256.data + 3 * colours[j], 3), 0)
          << colours[i] << " and " << colours[j] << " are one colour";
  }
  EXPECT_EQ(key_map_colour(kMapTested | kMapDefect), kMapColourDefect);
  EXPECT_EQ(key_map_colour(kMapTested | kMapChatter | kMapDefect), kMapColourDefect);
  EXPECT_EQ(key_map_colour(kMapHeld | kMapDefect), kMapColourHeld);
  EXPECT_EQ(key_map_colour(kMapHeld | kMapStuck), kMapColourHeld);  // stuck before, not now
  EXPECT_EQ(key_map_colour(kMapTested | kMapStuck), kMapColourTested);
}

}  // namespace
