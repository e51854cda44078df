#include "keys/safe_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "sys/file_replace.h"

namespace {

struct FileOutput {
  FILE* stream;
  int error;  // errno of the first failed write, 0 while all went well
  int64_t written;
  int64_t limit;
};

void write_to_file(void* context, const char* text, size_t length) {
  auto* output = static_cast<FileOutput*>(context);
  if (output->error != 0) return;
  if (output->limit >= 0 && output->written + static_cast<int64_t>(length) > output->limit) {
    output->error = ENOSPC;
    return;
  }
  errno = 0;
  if (std::fwrite(text, 1, length, output->stream) != length) output->error = errno != 0 ? errno : EIO;
  output->written += static_cast<int64_t>(length);
}

void set_reason(char* reason, size_t size, const char* text) {
  if (reason == nullptr || size == 0) return;
  std::strncpy(reason, text, size - 1);
  reason[size - 1] = '\0';
}

// The content into an open stream; the errno of the first failure, or -1
// when the content could not be made.
int produce(FileOutput* output, FileContent content, const void* context) {
  const LogWriter writer{write_to_file, output};
  if (!content(writer, context)) return -1;
  return output->error;
}

// Standard output, a device or a pipe: nothing to replace, so written as
// it goes; buffered bytes fail only at the flush or the close.
int write_directly(const char* path, FileContent content, const void* context, char* reason, size_t reason_size,
                   int64_t byte_limit) {
  const bool to_stdout = std::strcmp(path, "-") == 0;
  errno = 0;
  FileOutput output{to_stdout ? stdout : std::fopen(path, "wb"), 0, 0, byte_limit};
  if (output.stream == nullptr) {
    sys::error_text(errno != 0 ? errno : ENOENT, reason, reason_size);
    return -1;
  }
  int error = produce(&output, content, context);
  errno = 0;
  if (std::fflush(output.stream) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  if (!to_stdout) {
    errno = 0;
    if (std::fclose(output.stream) != 0 && error == 0) error = errno != 0 ? errno : EIO;
  }
  if (error == 0) return 0;
  if (error < 0) set_reason(reason, reason_size, "not enough memory");
  else sys::error_text(error, reason, reason_size);
  return -1;
}

}  // namespace

int write_file_safely(const char* path, FileContent content, const void* context, char* reason,
                      size_t reason_size, int64_t byte_limit) {
  set_reason(reason, reason_size, "");
  if (path == nullptr || path[0] == '\0') {
    set_reason(reason, reason_size, "no file name");
    return -1;
  }
  if (content == nullptr) {
    set_reason(reason, reason_size, "nothing to write");
    return -1;
  }
  sys::FileKind kind = sys::FileKind::kMissing;
  if (std::strcmp(path, "-") == 0) kind = sys::FileKind::kOther;
  else if (sys::file_kind(path, &kind, reason, reason_size) != 0) return -1;
  if (kind == sys::FileKind::kOther) return write_directly(path, content, context, reason, reason_size, byte_limit);
  if (kind == sys::FileKind::kReadOnly) {
    sys::error_text(EACCES, reason, reason_size);
    return -1;
  }

  char temp_path[4096];
  FileOutput output{sys::create_file_beside(path, temp_path, sizeof temp_path, reason, reason_size), 0, 0,
                    byte_limit};
  if (output.stream == nullptr) return -1;
  const int error = produce(&output, content, context);
  if (error != 0) {
    std::fclose(output.stream);
    sys::remove_file(temp_path);
    if (error < 0) set_reason(reason, reason_size, "not enough memory");
    else sys::error_text(error, reason, reason_size);
    return -1;
  }
  if (sys::close_file_durably(output.stream, reason, reason_size) != 0 ||
      sys::replace_file(temp_path, path, reason, reason_size) != 0) {
    sys::remove_file(temp_path);
    return -1;
  }
  return 0;
}
