// The screen modes and the one record of the open graphics screen.
#pragma once

#include <cstdint>

#include "gfx/data/builtin_data.h"
#include "gfx/drivers/video_driver.h"

struct SemaphoreBox;
struct DrawContext;

struct ModeInfo {
  uint16_t width;  // 0 marks an empty row
  uint16_t height;
  uint8_t depth;
  uint8_t scanline_multiplier;
  const PaletteInfo* default_palette;
  const FontInfo* font;
  // Widened from 8 bits so that screens opened by size keep their true text
  // grid (a 4096-pixel-wide screen has 512 columns).
  uint16_t text_cols;
  uint16_t text_rows;
  float aspect;  // 0: computed at open
};

constexpr int kModeCount = 21;
extern const ModeInfo mode_table[kModeCount];  // modes 1 to 21

struct TextCell {
  uint16_t character;
  uint32_t foreground;
  uint32_t background;
};

struct ScreenEvent {
  int32_t type;
  int32_t payload[4];
};

enum ScreenEventType : int32_t {
  KeyPress = 1,
  KeyRelease = 2,
  KeyRepeat = 3,
  MouseMove = 4,
  MouseButtonPress = 5,
  MouseButtonRelease = 6,
  MouseDoubleClick = 7,
  MouseWheel = 8,
  MouseEnter = 9,
  MouseLeave = 10,
  FocusGained = 11,
  FocusLost = 12,
  WindowClose = 13,
  MouseHorizontalWheel = 14,
};

// Bits of the mouse button state and of a button event's payload.
constexpr int32_t kMouseLeftButton = 0x01;
constexpr int32_t kMouseRightButton = 0x02;
constexpr int32_t kMouseMiddleButton = 0x04;
constexpr int32_t kMouseExtraButton1 = 0x08;
constexpr int32_t kMouseExtraButton2 = 0x10;

constexpr int kEventQueueSize = 128;
constexpr int kKeyStateSize = 128;

struct ScreenState {
  int32_t id;
  int32_t mode;
  uint8_t** pages;
  int32_t page_count;
  int32_t visible_page_index;
  uint8_t* visible_page;
  int32_t width;
  int32_t height;
  int32_t depth;
  int32_t bytes_per_pixel;
  int32_t pitch;
  uint32_t* palette;          // 256 packed colours
  uint32_t* device_palette;   // 256 packed colours
  uint8_t* color_association; // 16 bytes
  uint8_t* dirty_lines;       // height x scanline_multiplier bytes
  const VideoDriver* driver;
  uint32_t color_mask;
  const PaletteInfo* default_palette;
  int32_t scanline_multiplier;
  int32_t cursor_x;
  int32_t cursor_y;
  const FontInfo* font;
  int32_t text_cols;
  int32_t text_rows;
  float aspect;
  uint8_t* key_state;         // 128 bytes
  int32_t refresh_rate;
  TextCell** text_cells;
  ScreenEvent* event_queue;   // 128 records
  int32_t event_tail;
  int32_t event_head;
  SemaphoreBox* event_lock;
  uint32_t flags;
  int32_t lock_count;
};

// Bits of ScreenState::flags.
constexpr uint32_t kScreenPendingNewline = 0x00000004u;
constexpr uint32_t kScreenBlended = 0x00000008u;
constexpr uint32_t kScreenHasMmx = 0x01000000u;
constexpr uint32_t kScreenOpenGL = 0x20000000u;

// The open screen, or null.
extern ScreenState* screen_state;

// The drivers mode setting tries, in order; driver_list unless replaced
// (tests put fake records here).
extern const VideoDriver* const* screen_driver_list;

// The 2048-byte hi-colour expansion table of the blitters; lives with the screen.
extern uint32_t* conversion_table;

int set_screen_mode(int mode, int depth, int pages, int flags, int refresh_rate);
int set_screen_mode_pages(int mode, int work_page, int visible_page);
int set_screen_size(int width, int height, int depth, int pages, int flags, int refresh_rate);
int apply_screen_mode(const ModeInfo* info, int mode, int depth, int pages, int refresh_rate,
                      int flags);
void close_screen_at_exit();
void set_screen_title(const void* text, int size);
const char* screen_title();  // the title in use, or null
uint8_t* screen_pointer();

void screen_lock();
void screen_unlock(int first_line, int last_line);
// The two ranges most unlocks give: none (release only; (1, 0) is the empty
// range) and every line of the screen.
inline void screen_unlock_unmarked() { screen_unlock(1, 0); }
inline void screen_unlock_all_lines() { screen_unlock(-1, -1); }
// Sets dirty_lines for the rows [first, end) when the context draws on the
// visible page; rows outside the screen are dropped.
void mark_changed_rows(const DrawContext* context, int first, int end);
