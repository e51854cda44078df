#include "keys/report/report_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "keys/report/report_html.h"
#include "keys/report/report_text.h"

namespace {

struct FileOutput {
  FILE* stream;
  int error;  // errno of the first failed write, 0 while all went well
};

void write_to_file(void* context, const char* text, size_t length) {
  auto* output = static_cast<FileOutput*>(context);
  if (output->error != 0) return;
  errno = 0;
  if (std::fwrite(text, 1, length, output->stream) != length) output->error = errno != 0 ? errno : EIO;
}

void set_reason(char* reason, size_t size, const char* text) {
  if (reason == nullptr || size == 0) return;
  std::strncpy(reason, text, size - 1);
  reason[size - 1] = '\0';
}

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

}  // namespace

ReportForm report_form_for_path(const char* path) {
  if (path == nullptr) return ReportForm::kText;
  return ends_with_case_blind(path, ".html") || ends_with_case_blind(path, ".htm") ? ReportForm::kHtml
                                                                                    : ReportForm::kText;
}

int write_report_file(const char* path, const ReportContext& context, char* reason, size_t reason_size) {
  set_reason(reason, reason_size, "");
  if (path == nullptr || path[0] == '\0') {
    set_reason(reason, reason_size, "no file name");
    return -1;
  }
  const bool to_stdout = std::strcmp(path, "-") == 0;
  errno = 0;
  FileOutput output{to_stdout ? stdout : std::fopen(path, "wb"), 0};
  if (output.stream == nullptr) {
    set_reason(reason, reason_size, std::strerror(errno != 0 ? errno : ENOENT));
    return -1;
  }
  const LogWriter writer{write_to_file, &output};
  if (!to_stdout && report_form_for_path(path) == ReportForm::kHtml) write_report_html(writer, context);
  else write_report_text(writer, context);
  // Buffered bytes fail only here: a full disk shows at the flush or the close.
  errno = 0;
  if (std::fflush(output.stream) != 0 && output.error == 0) output.error = errno != 0 ? errno : EIO;
  if (!to_stdout) {
    errno = 0;
    if (std::fclose(output.stream) != 0 && output.error == 0) output.error = errno != 0 ? errno : EIO;
  }
  if (output.error != 0) {
    set_reason(reason, reason_size, std::strerror(output.error));
    return -1;
  }
  return 0;
}
