#include "keys/report/report_file.h"

#include <cstring>

#include "keys/report/report_html.h"
#include "keys/report/report_text.h"
#include "keys/safe_file.h"

namespace {

bool ends_with_case_blind(const char* text, const char* suffix) {
  const size_t length = std::strlen(text), suffix_length = std::strlen(suffix);
  if (length < suffix_length) return false;
  const char* tail = text + length - suffix_length;
  for (size_t i = 0; i < suffix_length; ++i) {
    char c = tail[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

struct ReportJob {
  const ReportContext* context;
  bool html;
};

bool write_report(const LogWriter& writer, const void* job_pointer) {
  const auto* job = static_cast<const ReportJob*>(job_pointer);
  if (job->html) write_report_html(writer, *job->context);
  else write_report_text(writer, *job->context);
  return true;
}

}  // namespace

ReportForm report_form_for_path(const char* path) {
  if (path == nullptr) return ReportForm::kText;
  return ends_with_case_blind(path, ".html") || ends_with_case_blind(path, ".htm") ? ReportForm::kHtml
                                                                                    : ReportForm::kText;
}

int write_report_file(const char* path, const ReportContext& context, char* reason, size_t reason_size) {
  return write_report_file_as(path, report_form_for_path(path), context, reason, reason_size);
}

int write_report_file_as(const char* path, ReportForm form, const ReportContext& context, char* reason,
                         size_t reason_size) {
  // Standard output gets text whatever follows the dash.
  const bool html = path != nullptr && std::strcmp(path, "-") != 0 && form == ReportForm::kHtml;
  const ReportJob job{&context, html};
  return write_file_safely(path, write_report, &job, reason, reason_size);
}
