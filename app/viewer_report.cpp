#include "app/viewer_report.h"

#include "keys/report/report_file.h"
#include "keys/report/report_snapshot.h"

namespace {

const char* report_label = nullptr;
// About 40 KB with every key's figures: kept off the stack, one report at a time.
ReportSnapshot snapshot;

}  // namespace

void viewer_report_set_label(const char* label) { report_label = label; }

int viewer_write_report(const char* path, char* reason, size_t reason_size) {
  take_report_snapshot(&snapshot, report_label);
  return write_report_file(path, snapshot.context, reason, reason_size);
}
