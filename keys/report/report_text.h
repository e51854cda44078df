// The report as plain text (UTF-8), for a file or standard output.
#pragma once

#include "keys/log/key_log_format.h"
#include "keys/report/report_context.h"

void write_report_text(const LogWriter& writer, const ReportContext& context);
