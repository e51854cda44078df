#include "app/viewer_report.h"

#include "keys/report/report_file.h"
#include "keys/report/report_snapshot.h"

namespace {

const char* report_label = nullptr;
// About 40 KB with every key's figures: kept off the stack, one report at a time.
ReportSnapshot snapshot;

}  // namespace

void viewer_report_set_label(const char* label) { report_label = label; }

void viewer_report_take() { take_report_snapshot(&snapshot, report_label); }

int viewer_report_write_taken(const char* path, char* reason, size_t reason_size) {
  return write_report_file(path, snapshot.context, reason, reason_size);
}

int viewer_write_report(const char* path, char* reason, size_t reason_size) {
  viewer_report_take();
  return viewer_report_write_taken(path, reason, reason_size);
}
