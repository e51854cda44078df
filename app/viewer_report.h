// The viewer's reports: at the close for --report, and at once for the
// menu's "Bericht speichern…". Both carry the --label of the run.
#pragma once

#include <cstddef>

// The label of every report of this run; null or "" for none. Before the
// first report.
void viewer_report_set_label(const char* label);

// Takes the map's figures and the facts now (program thread), then writes
// the report to path outside the screen lock. 0, or -1 with the system's
// reason in reason, cut to reason_size.
int viewer_write_report(const char* path, char* reason, size_t reason_size);

// The same in two steps, for the menu: the snapshot when the report is asked
// for (program thread), the file once the Save dialog has given a name (any
// one thread, while no other snapshot is taken).
void viewer_report_take();
int viewer_report_write_taken(const char* path, char* reason, size_t reason_size);
