#include "sys/file_replace.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace sys {

void error_text(int code, char* reason, size_t reason_size) {
  if (reason == nullptr || reason_size == 0) return;
  std::strncpy(reason, std::strerror(code != 0 ? code : EIO), reason_size - 1);
  reason[reason_size - 1] = '\0';
}

int file_kind(const char* path, FileKind* kind, char* reason, size_t reason_size) {
  if (path == nullptr || kind == nullptr) {
    error_text(EINVAL, reason, reason_size);
    return -1;
  }
  struct stat status;
  if (stat(path, &status) != 0) {
    if (errno == ENOENT) {
      *kind = FileKind::kMissing;
      return 0;
    }
    error_text(errno, reason, reason_size);
    return -1;
  }
  if (!S_ISREG(status.st_mode)) {
    *kind = FileKind::kOther;
    return 0;
  }
  // A rename replaces a file that may not be written, and the superuser
  // may write any: the file's own write bits decide too.
  const bool writable = access(path, W_OK) == 0 && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  *kind = writable ? FileKind::kRegular : FileKind::kReadOnly;
  return 0;
}

FILE* create_file_beside(const char* target, char* temp_path, size_t temp_size, char* reason,
                         size_t reason_size) {
  if (target == nullptr || temp_path == nullptr || temp_size == 0) {
    error_text(EINVAL, reason, reason_size);
    return nullptr;
  }
  const size_t length = std::strlen(target);
  for (int attempt = 0; attempt < 100; ++attempt) {
    static const char kSuffix[] = ".tmp00";
    if (length + sizeof kSuffix > temp_size) {
      error_text(ENAMETOOLONG, reason, reason_size);
      return nullptr;
    }
    std::memcpy(temp_path, target, length);
    std::memcpy(temp_path + length, kSuffix, sizeof kSuffix);
    temp_path[length + 4] = static_cast<char>('0' + attempt / 10);
    temp_path[length + 5] = static_cast<char>('0' + attempt % 10);
    const int descriptor = open(temp_path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
      if (errno == EEXIST) continue;
      error_text(errno, reason, reason_size);
      return nullptr;
    }
    // The file it replaces keeps who may read it: a private one stays private.
    struct stat status;
    if (stat(target, &status) == 0 && S_ISREG(status.st_mode)) fchmod(descriptor, status.st_mode & 07777);
    FILE* file = fdopen(descriptor, "wb");
    if (file == nullptr) {
      error_text(errno, reason, reason_size);
      close(descriptor);
      unlink(temp_path);
    }
    return file;
  }
  error_text(EEXIST, reason, reason_size);
  return nullptr;
}

int close_file_durably(FILE* file, char* reason, size_t reason_size) {
  if (file == nullptr) {
    error_text(EINVAL, reason, reason_size);
    return -1;
  }
  int error = 0;
  if (std::fflush(file) != 0) error = errno;
  if (error == 0 && fsync(fileno(file)) != 0) error = errno;
  if (std::fclose(file) != 0 && error == 0) error = errno;
  if (error == 0) return 0;
  error_text(error, reason, reason_size);
  return -1;
}

int replace_file(const char* from, const char* to, char* reason, size_t reason_size) {
  if (from == nullptr || to == nullptr) {
    error_text(EINVAL, reason, reason_size);
    return -1;
  }
  if (rename(from, to) == 0) return 0;
  error_text(errno, reason, reason_size);
  return -1;
}

void remove_file(const char* path) {
  if (path != nullptr) unlink(path);
}

}  // namespace sys
