// The viewer's menu entries: ids the window menu can carry, each id back to
// its command, the marks, and the name the Save dialog proposes.
#include <gtest/gtest.h>

#include <cstring>

#include "app/viewer_menu_entries.h"

namespace {

TEST(ViewerMenuEntries, EveryIdLeadsBackToItsCommandAndNoOtherIdIsOurs) {
  int count = 0;
  const ViewerMenuEntry* entries = viewer_menu_entries(&count);
  ASSERT_EQ(count, 8);
  for (int i = 0; i < count; ++i) {
    const unsigned id = viewer_menu_id(i);
    // The window menu keeps an id's low four bits, and its own ids start at 0xF000.
    EXPECT_EQ(id & 15u, 0u);
    EXPECT_LT(id, 0xF000u);
    ViewerCommand command;
    ASSERT_TRUE(viewer_menu_command(id, &command)) << i;
    EXPECT_EQ(command, entries[i].command) << i;
    for (unsigned near : {id + 1, id + 8, id - 1})
      EXPECT_FALSE(viewer_menu_command(near, &command)) << std::hex << near;
  }
  ViewerCommand command;
  for (unsigned outside : {0u, 0xFFFu, viewer_menu_id(count - 1) + 16, 0xF060u, 0xFFFFFFFFu})
    EXPECT_FALSE(viewer_menu_command(outside, &command)) << std::hex << outside;
  EXPECT_TRUE(viewer_menu_command(viewer_menu_id(0), nullptr));
}

TEST(ViewerMenuEntries, TheMapEntryIsCheckedWhileShownAndOneLayoutCarriesTheRadioMark) {
  struct Case {
    bool shown;
    MapLayout layout;
    ViewerCommand marked;
  } cases[] = {
      {true, MapLayout::kAnsi, ViewerCommand::kLayoutAnsi},
      {false, MapLayout::kIso, ViewerCommand::kLayoutIso},
      {true, MapLayout::kJis, ViewerCommand::kLayoutJis},
      {false, MapLayout::kAnsiTkl, ViewerCommand::kLayoutAnsiTkl},
      {true, MapLayout::kIsoTkl, ViewerCommand::kLayoutIsoTkl},
  };
  int count = 0;
  const ViewerMenuEntry* entries = viewer_menu_entries(&count);
  for (const Case& c : cases) {
    int layouts_marked = 0;
    for (int i = 0; i < count; ++i) {
      const bool checked = viewer_menu_checked(entries[i].command, c.shown, c.layout);
      if (entries[i].command == ViewerCommand::kToggleMap) {
        EXPECT_EQ(checked, c.shown);
      } else if (entries[i].in_layout_submenu) {
        layouts_marked += checked ? 1 : 0;
        EXPECT_EQ(checked, entries[i].command == c.marked);
      } else {
        EXPECT_FALSE(checked) << entries[i].label;
      }
    }
    EXPECT_EQ(layouts_marked, 1);
  }
}

TEST(ViewerMenuEntries, ProposedNameIsDatedPaddedClampedAndCut) {
  struct Case {
    int year, month, day, hour, minute, second;
    const char* name;
  } cases[] = {
      {2026, 3, 7, 9, 5, 1, "Tastaturtest-2026-03-07-090501.html"},
      {2026, 12, 31, 23, 59, 60, "Tastaturtest-2026-12-31-235960.html"},
      {-5, 0, 0, -1, 99, 99, "Tastaturtest-0000-01-01-005960.html"},
      {123456, 13, 32, 24, 60, 61, "Tastaturtest-9999-12-31-235960.html"},
  };
  for (const Case& c : cases) {
    char name[64];
    std::memset(name, 'x', sizeof name);
    proposed_report_name(c.year, c.month, c.day, c.hour, c.minute, c.second, name, sizeof name);
    EXPECT_STREQ(name, c.name);
  }
  char small[6];
  proposed_report_name(2026, 1, 1, 0, 0, 0, small, sizeof small);
  EXPECT_STREQ(small, "Tasta");
  proposed_report_name(2026, 1, 1, 0, 0, 0, small, 0);  // nothing written, no crash
  proposed_report_name(2026, 1, 1, 0, 0, 0, nullptr, 10);
}

}  // namespace
