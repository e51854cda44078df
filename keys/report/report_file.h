// Writing the report to a file or standard output, its form chosen by the
// name: ".html" or ".htm" (any case) gives the HTML page, anything else
// text, and "-" text on standard output.
#pragma once

#include <cstddef>

#include "keys/report/report_context.h"

enum class ReportForm { kText, kHtml };

// The form the name asks for; text for a null name.
ReportForm report_form_for_path(const char* path);

// 0, or -1 with the system's reason ("No space left on device") in reason,
// cut to reason_size. A file is written beside its target and moved into
// place when complete (keys/safe_file.h): a failed save keeps the older
// report. Any thread, one report at a time; reads only the context.
int write_report_file(const char* path, const ReportContext& context, char* reason, size_t reason_size);

// The same in the form given, whatever the name ends in (standard output
// still gets text); a form out of range writes text.
int write_report_file_as(const char* path, ReportForm form, const ReportContext& context, char* reason,
                         size_t reason_size);
