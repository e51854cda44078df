#include <gtest/gtest.h>

#include "con/window_search_gate.h"

TEST(WindowSearchGate, MissedSearchIsRetriedAfterTheIntervalUntilFound) {
  WindowSearchGate gate;
  EXPECT_TRUE(gate.may_search(5.0));
  gate.searched(5.0, false, true);
  EXPECT_FALSE(gate.may_search(5.0));  // not on every query
  EXPECT_FALSE(gate.may_search(5.0 + WindowSearchGate::kInterval / 2));
  EXPECT_TRUE(gate.may_search(5.0 + WindowSearchGate::kInterval));
  gate.searched(5.3, true, true);
  EXPECT_FALSE(gate.may_search(100.0));  // found: never again
}

TEST(WindowSearchGate, NoConsoleOrTooManyMissesStopsSearching) {
  WindowSearchGate without_console;
  without_console.searched(1.0, false, false);
  EXPECT_FALSE(without_console.may_search(1000.0));

  WindowSearchGate missing;
  double now = 0.0;
  int searches = 0;
  for (; searches < 1000 && missing.may_search(now); ++searches, now += 1.0) missing.searched(now, false, true);
  EXPECT_EQ(searches, WindowSearchGate::kMaxSearches);
}

TEST(WindowSearchGate, ClockIsReadOnlyEveryThousandQueriesAndNeverOnceDone) {
  WindowSearchGate gate;
  EXPECT_TRUE(WindowSearchGate{}.look());  // the very first query looks at once
  int looks = 0;
  for (unsigned i = 0; i < 3 * WindowSearchGate::kQueriesPerLook; ++i) looks += gate.look();
  EXPECT_EQ(looks, 3);
  gate.searched(1.0, false, false);
  for (unsigned i = 0; i < 3 * WindowSearchGate::kQueriesPerLook; ++i) EXPECT_FALSE(gate.look());
}

TEST(WindowSearchGate, ClockGoingBackDoesNotStallTheRetries) {
  WindowSearchGate gate;
  gate.searched(10.0, false, true);
  EXPECT_TRUE(gate.may_search(2.0));
}
