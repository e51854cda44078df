// Waking the event thread on a message or a changed page.
#include "gfx/win32/window_wake.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "gfx/drivers/changed_lines.h"
#include "gfx/screen.h"
#include "gfx/win32/window_state.h"

namespace {

HANDLE wake_event = nullptr;

// The visible page's lines as they stood at the last wake, kept by the
// program's thread under the window lock; the marks are copied before the
// filter, which clears those of unchanged lines: the event thread's own
// marks stay as they are.
SentLines announced{};
uint8_t* marks = nullptr;
int32_t mark_count = 0;

}  // namespace

bool window_page_changed_since_wake() {
  ScreenState* screen = screen_state;
  if (!screen || !screen->dirty_lines || !screen->visible_page) return false;
  if (window_state.palette_changed) return true;
  const int lines = screen->height;
  const int line_bytes = screen->width * screen->bytes_per_pixel;
  if (!marks || mark_count != lines || announced.line_count != lines || announced.line_bytes != line_bytes) {
    sent_lines_close(&announced);
    std::free(marks);
    marks = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(lines > 0 ? lines : 1)));
    mark_count = lines;
    // Without room to compare, every unlock counts as a change.
    if (!marks || sent_lines_open(&announced, lines, line_bytes) != 0) return true;
  }
  std::memcpy(marks, screen->dirty_lines, static_cast<size_t>(lines));
  return sent_lines_filter(&announced, screen->visible_page, screen->pitch, marks, lines) > 0;
}

bool window_wake_open() {
  if (!wake_event) wake_event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  return wake_event != nullptr;
}

void window_wake_close() {
  if (wake_event) CloseHandle(wake_event);
  wake_event = nullptr;
  sent_lines_close(&announced);
  std::free(marks);
  marks = nullptr;
  mark_count = 0;
}

void window_wake() {
  if (wake_event) SetEvent(wake_event);
}

bool window_work_left(int messages_taken) {
  if (messages_taken > 0 || window_state.palette_changed || window_state.resend_all) return true;
  ScreenState* screen = screen_state;
  if (!screen || !screen->dirty_lines) return false;
  for (int line = 0; line < window_state.height; ++line)
    if (screen->dirty_lines[line]) return true;
  return false;
}

void window_event_pause(bool work_left) {
  if (work_left || !wake_event) {
    Sleep(kEventLoopPauseMs);
    return;
  }
  MsgWaitForMultipleObjectsEx(1, &wake_event, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}
