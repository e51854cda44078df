#include "keys/report/report_snapshot.h"

#include <cstring>

#include "keys/log/key_log_format.h"
#include "keys/line_builder.h"
#include "keys/map/keyboard_map.h"
#include "keys/report/report_facts.h"
#include "keys/source/keyboard_devices.h"
#include "keys/source/keyboard_filter.h"
#include "keys/version.h"
#include "sys/system_facts.h"

namespace {

}  // namespace

void take_report_snapshot(ReportSnapshot* snapshot, const char* label) {
  if (snapshot == nullptr) return;
  snapshot->map = keyboard_map_report();
  // The keyboards of the test shown: the ones seen, or a file's own.
  const int count = keyboard_map_keyboards(snapshot->keyboards);
  sys::system_text_to_utf8(label, snapshot->label, sizeof snapshot->label);
  sys::LocalTime now{};
  TextBuffer buffer{snapshot->date_time, sizeof snapshot->date_time, 0};
  snapshot->date_time[0] = '\0';
  if (sys::local_time_now(&now)) {
    const LogWriter writer{write_to_text_buffer, &buffer};
    LineBuilder out(writer);
    write_local_time(out, now);
  } else {
    const char* unknown = ui_text(ui_language(), UiText::kUnknownDate);
    write_to_text_buffer(&buffer, unknown, std::strlen(unknown));
  }
  sys::system_version_text(snapshot->system_version, sizeof snapshot->system_version);
  sys::keyboard_layout_text(snapshot->keyboard_layout, sizeof snapshot->keyboard_layout);
  snapshot->context = ReportContext{&snapshot->map,           snapshot->keyboards,     count,
                                    keyboard_filter_text(),   snapshot->label,         kProgramName,
                                    kProgramVersion,          snapshot->date_time,     snapshot->system_version,
                                    snapshot->keyboard_layout, ui_language()};
}
