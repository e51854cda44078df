// The viewer's reports: at the close for --report, and at once for the
// menu's "Bericht speichern…". Both carry the --label of the run.
#pragma once

#include <cstddef>

// What a save writes: the report as an HTML page or as text, or the test's
// events as the key log in CSV or JSON Lines.
enum class SaveForm { kHtmlReport, kTextReport, kCsvLog, kJsonlLog };

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

// The test taken last written in a form: a report (its form by the name, as
// above) or the key log of its events, exactly as --log would have written
// them at the threshold in use. A form out of range writes nothing and
// fails. Any one thread, as above.
int viewer_save_taken(const char* path, SaveForm form, char* reason, size_t reason_size);
