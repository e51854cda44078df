// When the console key-held query may look for the console window again: a
// search that missed (the console's new title not yet visible to the window
// manager) is retried, but at most once per interval and a bounded number of
// times, so that a console without a window costs one comparison per query.
// The clock itself is read only every 1024th query: a viewer pass
// asks for 65535 keys.
#pragma once

struct WindowSearchGate {
  static constexpr double kInterval = 0.25;  // seconds between searches
  static constexpr int kMaxSearches = 40;    // about ten seconds of retries
  static constexpr unsigned kQueriesPerLook = 1024;

  unsigned queries = 0;
  int searches = 0;
  double last = 0.0;
  bool final = false;  // found, or known never to be found

  // Whether this query should read the clock and ask may_search.
  bool look() { return !final && searches < kMaxSearches && queries++ % kQueriesPerLook == 0; }
  bool may_search(double now) const {
    if (final || searches >= kMaxSearches) return false;
    return searches == 0 || now - last >= kInterval || now < last;
  }
  // found: the window is known; possible: false when no search can ever
  // succeed (no console title to change).
  void searched(double now, bool found, bool possible) {
    ++searches;
    last = now;
    if (found || !possible) final = true;
  }
};
