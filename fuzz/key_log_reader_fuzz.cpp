// Any bytes as a key log: read whole or refused whole, never a crash. A log
// that is read writes again as a log that reads back to the same events.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "keys/log/key_log_export.h"
#include "keys/log/key_log_reader.h"

namespace {

KeyRecord first, second;

void append(void* context, const char* text, size_t length) { static_cast<std::string*>(context)->append(text, length); }

bool same_event(const KeyEvent& a, const KeyEvent& b) {
  return a.time_us == b.time_us && a.key == b.key && a.kind == b.kind && a.device == b.device;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t length) {
  if (length > (1u << 20)) return 0;
  KeyLogReadResult info;
  char error[160];
  const int result = read_key_log(reinterpret_cast<const char*>(data), length, &first, &info, error, sizeof error);
  if (std::memchr(error, '\0', sizeof error) == nullptr || std::strchr(error, '\n') != nullptr) std::abort();
  if (result != 0) {
    if (key_record_count(&first) != 0 || error[0] == '\0') std::abort();
    return 0;
  }
  const KeyLogExport settings{info.chatter_ms != 0 ? info.chatter_ms : 30,
                              LogClockInfo{info.clock_step_us, info.clock_source},
                              info.keyboards, info.keyboard_count, info.end_us, nullptr};
  std::string again;
  if (!write_key_log_from_record(LogWriter{append, &again}, info.format, &first, settings)) std::abort();
  KeyLogReadResult info_again;
  if (read_key_log(again.data(), again.size(), &second, &info_again, error, sizeof error) != 0) std::abort();
  if (key_record_count(&second) != key_record_count(&first)) std::abort();
  for (uint32_t i = 0; i < key_record_count(&first); ++i)
    if (!same_event(*key_record_at(&first, i), *key_record_at(&second, i))) std::abort();
  key_record_clear(&first);
  key_record_clear(&second);
  return 0;
}
