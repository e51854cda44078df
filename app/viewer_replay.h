// A saved key log opened as the test: from the command line (a file
// argument or --replay) or from the menu's "Protokoll öffnen…". Its events
// become the test the map, the hover line, the threshold, the summary and
// the report work on, and the window's title names the file.
#pragma once

#include <cstddef>

// Reads the log at path into the waiting slot. 0, or -1 with the reason
// ("keys.csv, line 7: time goes backwards") in reason, cut to reason_size;
// a file that is refused leaves the test shown as it was. One thread at a
// time, and not while viewer_replay_show runs.
int viewer_replay_read(const char* path, char* reason, size_t reason_size);

// Program thread: the log read last becomes the test (the map is shown and
// judged at the file's threshold where no --chatter-ms was given, else at
// the threshold in use), and the title gains the file's name. Nothing when
// no log waits.
void viewer_replay_show(bool keep_threshold);

// Both at once, for the command line.
int viewer_replay_open(const char* path, bool keep_threshold, char* reason, size_t reason_size);

// Program thread, after the map began a live test again: the title loses
// the file's name.
void viewer_replay_live_again();

// The file name (without its folder) of the test shown, "" for a live one.
const char* viewer_replay_name();
