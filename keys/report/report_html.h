// The report as one self-contained HTML5 page: no script, no external file,
// no web font; the keyboard drawn in inline SVG; print styles for one A4 page.
#pragma once

#include "keys/log/key_log_format.h"
#include "keys/report/report_context.h"

void write_report_html(const LogWriter& writer, const ReportContext& context);
