#include "keys/checked_output.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#include "keys/version.h"

namespace {

// Written by the input thread (log lines) and the program's thread (header,
// summary); read by the program's thread for the exit code.
std::atomic<bool> output_failed{false};

void report_failure(FILE* stream, int error) {
  const char* const parts[] = {kProgramName, ": cannot write the key log to ",
                               stream == stderr ? "standard error" : "standard output", " (",
                               error != 0 ? std::strerror(error) : "write failed",
                               "); nothing more is logged, the exit code will be 3\n"};
  for (const char* part : parts) std::fputs(part, stderr);
  std::fflush(stderr);
}

void write_checked(void* context, const char* text, size_t length) {
  if (output_failed.load()) return;
  auto* stream = static_cast<FILE*>(context);
  errno = 0;
  const bool written = std::fwrite(text, 1, length, stream) == length;
  if (std::fflush(stream) == 0 && written) return;
  const int error = errno;
  // The first failure alone is reported, whichever thread meets it.
  if (!output_failed.exchange(true)) report_failure(stream, error);
}

}  // namespace

LogWriter checked_writer(FILE* stream) { return LogWriter{write_checked, stream}; }

bool checked_output_failed() { return output_failed.load(); }

void checked_output_reset() { output_failed.store(false); }
