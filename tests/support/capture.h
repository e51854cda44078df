// Test helpers: capture what the runtime prints to the screen file, and
// open screens on the Null driver.
#pragma once

#include <cstdlib>
#include <string>

#include "gfx/screen.h"
#include "rt/hook_table.h"
#include "rt/runtime.h"

// Collects everything written to file 0 while alive.
class PrintCapture {
 public:
  PrintCapture() : saved_(*file_record(0)) {
    active_ = this;
    file_record(0)->device = [](const uint8_t* bytes, int length) {
      active_->text_.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
    };
  }
  ~PrintCapture() {
    *file_record(0) = saved_;
    active_ = nullptr;
  }
  const std::string& text() const { return text_; }
  void clear() { text_.clear(); }

 private:
  FileRecord saved_;
  std::string text_;
  static inline PrintCapture* active_ = nullptr;
};

// Mode 13 in memory only (flags -1: the Null record).
inline int open_null_screen(int mode = 13, int depth = 8, int pages = 0) {
  return set_screen_mode(mode, depth, pages, -1, 0);
}

inline void close_screen() { close_screen_at_exit(); }

// Sets or removes an environment variable on both platforms.
inline void set_environment(const char* name, const char* value) {
#ifdef _WIN32
  _putenv_s(name, value ? value : "");
#else
  if (value) setenv(name, value, 1);
  else unsetenv(name);
#endif
}
