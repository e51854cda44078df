// When the console key-held query may look for the console window again: a
// search that missed (the console's new title not yet visible to the window
// manager) is retried, but at most once per interval and a bounded number of
// times, so that a console without a window costs one comparison per query.
#pragma once

struct WindowSearchGate {
  static constexpr double kInterval = 0.25;  // seconds between searches
  static constexpr int kMaxSearches = 40;    // about ten seconds of retries

  int searches = 0;
  double last = 0.0;
  bool final = false;  // found, or known never to be found

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
