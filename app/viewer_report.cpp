#include "app/viewer_report.h"

#include "keys/log/key_log_export.h"
#include "keys/map/keyboard_map.h"
#include "keys/report/report_file.h"
#include "keys/report/report_snapshot.h"
#include "keys/source/key_source.h"

namespace {

const char* report_label = nullptr;
// About 40 KB with every key's figures: kept off the stack, one report at a time.
ReportSnapshot snapshot;

// The log's part of the snapshot: the record's events never change once
// published, so the record itself is written from, up to its count then.
const KeyRecord* log_record = nullptr;
KeyboardDevice log_keyboards[kMaxKeyboardDevices];
KeyLogExport log_settings;

}  // namespace

void viewer_report_set_label(const char* label) { report_label = label; }

void viewer_report_take() {
  take_report_snapshot(&snapshot, report_label);
  log_record = keyboard_map_record();
  const int keyboards = keyboard_map_keyboards(log_keyboards);
  log_settings = KeyLogExport{keyboard_map_chatter_ms(), key_input_clock(), log_keyboards, keyboards,
                              keyboard_map_now_us(), nullptr};
}

int viewer_save_taken(const char* path, SaveForm form, char* reason, size_t reason_size) {
  switch (form) {
    case SaveForm::kHtmlReport:
      return write_report_file_as(path, ReportForm::kHtml, snapshot.context, reason, reason_size);
    case SaveForm::kTextReport:
      return write_report_file_as(path, ReportForm::kText, snapshot.context, reason, reason_size);
    case SaveForm::kCsvLog:
      return write_key_log_file(path, LogFormat::kCsv, log_record, log_settings, reason, reason_size);
    case SaveForm::kJsonlLog:
      return write_key_log_file(path, LogFormat::kJsonl, log_record, log_settings, reason, reason_size);
  }
  if (reason != nullptr && reason_size > 0) reason[0] = '\0';
  return -1;
}

int viewer_report_write_taken(const char* path, char* reason, size_t reason_size) {
  return write_report_file(path, snapshot.context, reason, reason_size);
}

int viewer_write_report(const char* path, char* reason, size_t reason_size) {
  viewer_report_take();
  return viewer_report_write_taken(path, reason, reason_size);
}
