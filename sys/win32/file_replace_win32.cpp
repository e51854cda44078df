#include "sys/file_replace.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace sys {

namespace {

// The system's text for an error code, without its closing line break.
void last_error_text(DWORD code, char* reason, size_t reason_size) {
  if (reason == nullptr || reason_size == 0) return;
  reason[0] = '\0';
  const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                                      0, reason, static_cast<DWORD>(reason_size), nullptr);
  size_t used = length < reason_size ? length : reason_size - 1;
  while (used > 0 && (reason[used - 1] == '\n' || reason[used - 1] == '\r' || reason[used - 1] == ' ')) --used;
  reason[used] = '\0';
  if (used == 0) {
    std::strncpy(reason, "system error", reason_size - 1);
    reason[reason_size - 1] = '\0';
  }
}

}  // namespace

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
  // Opened without access rights: devices (NUL, CON, COM1) and pipes say
  // what they are through the handle's type, folders through the flag.
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND) {
      *kind = FileKind::kMissing;
      return 0;
    }
    last_error_text(error, reason, reason_size);
    return -1;
  }
  const DWORD type = GetFileType(handle);
  BY_HANDLE_FILE_INFORMATION information;
  const bool known = GetFileInformationByHandle(handle, &information) != 0;
  CloseHandle(handle);
  if (type != FILE_TYPE_DISK || !known || (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *kind = FileKind::kOther;
    return 0;
  }
  *kind = (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? FileKind::kReadOnly : FileKind::kRegular;
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
    const int descriptor = _open(temp_path, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
      if (errno == EEXIST) continue;
      error_text(errno, reason, reason_size);
      return nullptr;
    }
    FILE* file = _fdopen(descriptor, "wb");
    if (file == nullptr) {
      error_text(errno, reason, reason_size);
      _close(descriptor);
      DeleteFileA(temp_path);
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
  if (error == 0 && _commit(_fileno(file)) != 0) error = errno;
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
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return 0;
  last_error_text(GetLastError(), reason, reason_size);
  return -1;
}

void remove_file(const char* path) {
  if (path != nullptr) DeleteFileA(path);
}

}  // namespace sys
