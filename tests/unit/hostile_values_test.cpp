// Every public operation of the runtime, the screen and the console branches
// called with the values a careless or hostile caller passes: the int
// extremes, -1, 0, the edges of each range, null pointers and lengths that
// disagree with their buffers. Each case then uses the screen (print,
// scroll, clear, locate, page copy, read back), since several faults only
// show later. Every case is its own test, so under ctest each runs in a
// process of its own and one crash cannot hide the others.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "common/key_tables.h"
#include "common/key_translation.h"
#include "common/text_writer.h"
#include "con/console.h"
#include "gfx/data/builtin_data.h"
#include "gfx/draw/draw_context.h"
#include "gfx/draw/frame_picture.h"
#include "gfx/drivers/blitters.h"
#include "gfx/gfx_handlers.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "rt/stepped_sleep.h"
#include "rt/text_value.h"
#include "support/capture.h"
#include "support/hostile_values.h"

namespace {

using hostile::for_each_value;
using hostile::for_each_pair;
using hostile::for_each_triple;
using hostile::kInts;
using hostile::kFewInts;

// The screens every case runs on: none (the console branches), the viewer's
// mode, a 4-bit mode, and two tiny screens of 3 x 2 text cells.
enum class Screen { Console, Mode13, Mode7FourBit, Tiny8, Tiny32 };

const char* screen_name(Screen screen) {
  switch (screen) {
    case Screen::Console: return "console";
    case Screen::Mode13: return "mode13";
    case Screen::Mode7FourBit: return "mode7";
    case Screen::Tiny8: return "tiny8";
    case Screen::Tiny32: return "tiny32";
  }
  return "?";
}

int open_screen(Screen screen) {
  switch (screen) {
    case Screen::Console: return 0;
    case Screen::Mode13: return open_null_screen(13, 8, 2);
    case Screen::Mode7FourBit: return open_null_screen(7, 4, 2);
    case Screen::Tiny8: return set_screen_size(24, 16, 8, 2, -1, 0);
    case Screen::Tiny32: return set_screen_size(24, 16, 32, 2, -1, 0);
  }
  return 1;
}

void no_sleep(uint32_t) {}

void print_text(const std::string& text) {
  print_bytes(reinterpret_cast<const uint8_t*>(text.data()), static_cast<int>(text.size()), 0);
}

// The cursor must stay inside the text grid whatever came before.
void expect_cursor_on_grid() {
  if (!screen_state || screen_state->text_cols <= 0 || screen_state->text_rows <= 0) return;
  int column = 0, row = 0;
  get_cursor(&column, &row);
  EXPECT_GE(column, 1);
  EXPECT_LE(column, screen_state->text_cols);
  EXPECT_GE(row, 1);
  EXPECT_LE(row, screen_state->text_rows);
}

// Uses the screen the way a program goes on after a bad call.
void use_screen() {
  int columns = 0, rows = 0;
  get_text_size(&columns, &rows);
  print_text("abc");
  for (int i = 0; i < rows + 2; ++i) print_text("line\r\n");  // scrolls
  print_text(std::string(static_cast<size_t>(columns) * 2 + 1, 'w'));  // wraps
  expect_cursor_on_grid();
  clear_screen(kNoClearArgument);
  clear_screen(0);
  clear_screen(1);
  clear_screen(2);
  locate(1, 1, -1, nullptr);
  print_text("Z");
  expect_cursor_on_grid();
  if (screen_state) {
    gfx_pcopy(0, 1);
    gfx_screen_set(0, 0);
    gfx_read_cell(1, 1, 0);
    gfx_read_cell(1, 1, 1);
    if (screen_state->text_rows > 0 && screen_state->text_cols > 0 && view_top() == 0) {
      EXPECT_EQ(gfx_read_cell(1, 1, 0), static_cast<uint32_t>('Z'));
    }
    screen_lock();
    screen_unlock(0, screen_state->height - 1);
  }
  set_view_print(0, 0, 0);
  print_text("end\r\n");
  expect_cursor_on_grid();
}

struct Case {
  const char* name;
  std::function<void()> run;
};

// The cases, one per public operation or small group of siblings.
std::vector<Case> all_cases() {
  std::vector<Case> cases;
  auto add = [&cases](const char* name, std::function<void()> run) { cases.push_back({name, run}); };

  // Runtime: error number, context slots, text view, files, semaphores.
  add("set_error", [] { for_each_value(kInts, [](int v) { EXPECT_EQ(set_error(v), v); EXPECT_EQ(get_error(), v); }); set_error(0); });
  add("context_slot", [] {
    for_each_value(kInts, [](int v) {
      if (v < 0 || v > 4) {
        EXPECT_EQ(context_slot(v, 8), nullptr);
      }
    });
    EXPECT_NE(context_slot(kErrorContextSlot, 0), nullptr);
    // A first request for one byte still gets a whole record.
    std::memset(context_slot(3, 1), 0, kMinimumContextRecord);
  });
  add("set_view_rows", [] {
    for_each_pair(kInts, [](int top, int bottom) {
      set_view_rows(top, bottom);
      use_screen();
    });
  });
  add("set_view_rows_then_queries", [] {
    for_each_pair(kFewInts, [](int top, int bottom) {
      set_view_rows(top, bottom);
      int t = 0, b = 0;
      view_rows_1based(&t, &b);
      view_rows_1based(nullptr, nullptr);
      set_view_print(-1, -1, 1);
      use_screen();
    });
  });
  add("set_view_print", [] {
    for_each_triple(kFewInts, [](int top, int bottom, int move) {
      const int result = set_view_print(top, bottom, move);
      if (result != 0) {  // a view of at least one row
        EXPECT_GE(result & 0xFFFF, 1);
        EXPECT_LE(result & 0xFFFF, result >> 16);
      }
      use_screen();
    });
  });
  add("file_record_and_print_value", [] {
    PrintCapture capture;
    for_each_value(kInts, [](int file) {
      FileRecord* record = file_record(file);
      if (file < -1 || file > 254) {
        EXPECT_EQ(record, nullptr);
      }
      print_value(file, nullptr, 0);
      print_value(file, text_literal_z("x"), 1);
      print_value(file, text_empty(), file);
      print_end(file, file);
    });
  });
  add("program_path", [] {
    EXPECT_EQ(program_path(nullptr, 100), nullptr);
    char one[1] = {'q'};
    char* name = program_path(one, sizeof one);
    EXPECT_EQ(name, one);
    EXPECT_EQ(one[0], 0);
  });
  add("semaphore_null", [] {
    semaphore_wait(nullptr);
    semaphore_release(nullptr);
    semaphore_destroy(nullptr);
  });

  // Text values.
  add("text_from_bytes", [] {
    for_each_value(kInts, [](int length) {
      TextValue* value = text_from_bytes(nullptr, length);
      EXPECT_EQ(text_length(value), 0u);
      text_release(value);
      const char two[2] = {'a', 'b'};
      if (length <= 2) {
        value = text_from_bytes(two, length);
        EXPECT_EQ(text_length(value), length > 0 ? static_cast<uint32_t>(length) : 0u);
        text_release(value);
      }
    });
    EXPECT_EQ(text_pool_in_use(), 0);
  });
  add("text_literal_and_temp", [] {
    for_each_value(kInts, [](int length) {
      TextValue* none = text_literal(nullptr, length);
      EXPECT_EQ(text_length(none), 0u);
      text_release(none);
      if (length <= 2) text_release(text_literal("ab", length));
      TextValue descriptor{};
      text_release(text_temp(nullptr, length));
      if (length < 64) text_release(text_temp(&descriptor, length));
      std::free(descriptor.data);  // a program's own variable keeps its buffer
    });
    text_release(text_literal_z(nullptr));
    EXPECT_EQ(text_release(nullptr), -1);
    EXPECT_EQ(text_pool_in_use(), 0);
  });
  add("text_numbers", [] {
    for_each_value(kInts, [](int v) {
      TextValue* value = text_from_int(v);
      EXPECT_EQ(std::string(value->data, text_length(value)), std::to_string(v));
      text_release(value);
      text_release(text_from_uint(static_cast<uint32_t>(v)));
    });
    EXPECT_EQ(text_pool_in_use(), 0);
  });
  add("text_concat_compare_assign", [] {
    TextValue own{};
    for_each_pair(kFewInts, [&own](int a_size, int b_size) {
      if (a_size == kTextValueOperand || b_size == kTextValueOperand) return;  // bytes, not values
      text_release(text_concat(nullptr, nullptr, a_size, "b", b_size));
      text_release(text_concat(nullptr, "a", a_size, nullptr, b_size));
      text_compare(nullptr, a_size, nullptr, b_size);
      text_compare("a", a_size, "b", b_size);
      text_assign(nullptr, a_size, "x", b_size, 0, 0);
      text_assign(&own, kTextValueOperand, nullptr, b_size, ' ', 1);
      char fixed[4] = {};
      if (a_size != 0 && a_size <= 4) text_assign(fixed, a_size, "long text", b_size, ' ', 0);
    });
    text_assign(&own, kTextValueOperand, nullptr, 0, 0, 1);
    EXPECT_EQ(text_pool_in_use(), 0);
  });

  // Routed text operations (console branch without a screen).
  add("locate", [] {
    for_each_triple(kFewInts, [](int row, int column, int cursor) {
      int result = 7;
      const int error = locate(row, column, cursor, &result);
      if (error != 0) {
        EXPECT_EQ(result, 0);
      }
      locate(row, column, cursor, nullptr);
      expect_cursor_on_grid();
    });
    use_screen();
  });
  add("gfx_locate_and_set_cursor", [] {
    for_each_triple(kFewInts, [](int row, int column, int cursor) {
      gfx_locate(row, column, cursor);
      set_cursor(row, column);
      expect_cursor_on_grid();
    });
    use_screen();
  });
  add("set_width", [] {
    for_each_pair(kFewInts, [](int columns, int rows) {
      set_width(columns, rows);
      gfx_width(columns, rows);
      use_screen();
    });
  });
  add("clear_screen", [] {
    for_each_value(kInts, [](int mode) {
      clear_screen(mode);
      gfx_cls(mode);
    });
    clear_screen(kNoClearArgument);
    use_screen();
  });
  add("queries_with_null", [] {
    get_cursor(nullptr, nullptr);
    get_text_size(nullptr, nullptr);
    gfx_get_xy(nullptr, nullptr);
    gfx_get_size(nullptr, nullptr);
    console_get_size(nullptr, nullptr);
    console_get_cursor(nullptr, nullptr);
    get_column();
    get_row();
    gfx_pos();
    gfx_csrlin();
    use_screen();
  });
  add("print_bytes", [] {
    PrintCapture capture;
    const uint8_t text[3] = {'a', '\n', 'b'};
    for_each_pair(kFewInts, [&text](int length, int flags) {
      print_bytes(nullptr, length, flags);
      gfx_print(nullptr, length, flags);
      if (length <= 3) {
        print_bytes(text, length, flags);
        gfx_print(text, length, flags);
      }
    });
    use_screen();
  });
  add("print_wide", [] {
    const uint16_t units[3] = {0xD800, 'a', 0xDBFF};  // a lone surrogate at the end
    for_each_pair(kFewInts, [&units](int length, int flags) {
      print_wide(nullptr, length, flags);
      gfx_print_wide(nullptr, length, flags);
      if (length <= 3) gfx_print_wide(units, length, flags);
    });
    use_screen();
  });
  add("page_set_and_copy", [] {
    for_each_pair(kInts, [](int a, int b) {
      page_set(a, b);
      gfx_screen_set(a, b);
      gfx_pcopy(a, b);
      console_page_set(a, b);
    });
    gfx_screen_set(0, 0);
    use_screen();
  });
  add("fill_text_cells", [] {
    for_each_pair(kFewInts, [](int a, int b) {
      fill_text_cells(a, b, b, a, 0, 'x', 1, 0);
      fill_text_cells(0, 0, a, b, a, 'x', 1, 0);
      fill_text_cells(a, a, b, b, b, 'x', 1, 0);
    });
    use_screen();
  });
  add("cursor_back", [] {
    for (int i = 0; i < 200; ++i) cursor_back();
    expect_cursor_on_grid();
    use_screen();
  });

  // Colours, palette and ports.
  add("gfx_color", [] {
    for_each_triple(kFewInts, [](int foreground, int background, int flags) {
      gfx_color(static_cast<uint32_t>(foreground), static_cast<uint32_t>(background), flags);
    });
    use_screen();
  });
  add("screen_palette", [] {
    for_each_pair(kInts, [](int attribute, int value) {
      screen_palette(attribute, value, value, attribute);
      screen_palette(attribute, value, -1, -1);
      set_palette_entry(attribute, static_cast<uint32_t>(value));
    });
    screen_palette_using(nullptr);
    push_palette();
    use_screen();
  });
  add("vga_ports", [] {
    for_each_pair(kInts, [](int port, int value) {
      gfx_out(port, value);
      gfx_inp(port);
    });
    for (int i = 0; i < 1000; ++i) gfx_inp(0x3C9);  // the read index runs past the last entry
    for (int i = 0; i < 1000; ++i) gfx_out(0x3C9, i);
    use_screen();
  });
  add("colour_conversions", [] {
    for_each_pair(kInts, [](int bytes_per_pixel, int colour) {
      rgb_to_native(bytes_per_pixel, static_cast<uint32_t>(colour));
      native_color(bytes_per_pixel, static_cast<uint32_t>(colour));
    });
  });

  // Mouse, viewport, boxes.
  add("mouse", [] {
    gfx_getmouse(nullptr, nullptr, nullptr, nullptr, nullptr);
    for_each_pair(kInts, [](int x, int y) {
      gfx_setmouse(x, y, x, y);
    });
    use_screen();
  });
  add("viewport_and_box", [] {
    for_each_pair(kFewInts, [](int a, int b) {
      set_viewport(a, b, b, a, 1, 2, 0);
      set_viewport(a, a, b, b, 1, 2, kViewportNoBorder);
      draw_box(a, b, b, a, 3, 1, kSolidLine);
      draw_box(a, a, b, b, 3, 0, kSolidLine);
      clear_screen(1);
    });
    order_corners(nullptr, nullptr, nullptr, nullptr);
    set_viewport(kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate, kOmittedCoordinate,
                 0, 0, 0);
    use_screen();
  });

  // Read-back and line input.
  add("read_cell", [] {
    for_each_triple(kFewInts, [](int column, int row, int flag) { gfx_read_cell(column, row, flag); });
    for_each_pair(kFewInts, [](int column, int row) { decode_text_cell(column, row); });
    use_screen();
  });
  add("line_input", [] {
    for_each_value(kFewInts, [](int size) {
      key_buffer_push('q');
      key_buffer_push('\r');
      gfx_read_line(nullptr, size);
      char buffer[2] = {};
      key_buffer_push('\r');
      if (size <= 2) gfx_read_line(buffer, size);
      key_buffer_push('\r');
      gfx_line_input(nullptr, nullptr, size, ' ', size, size);
      key_buffer_push('\r');
      gfx_line_input_wide(nullptr, nullptr, size, size, size);
    });
    use_screen();
  });

  // Keys, events, sleeping.
  add("keys", [] {
    for_each_value(kInts, [](int code) {
      key_buffer_push(code);
      text_release(read_key_text());
      key_buffer_push(code);
      key_waiting();
      if (key_waiting()) wait_key();
      EXPECT_EQ(key_held(code) == 0 || (code >= 0 && code <= 127), true);
      gfx_multikey(code);
      console_key_held(code);
    });
    EXPECT_EQ(text_pool_in_use(), 0);
  });
  add("events", [] {
    EXPECT_FALSE(take_screen_event(nullptr));
    for_each_value(kInts, [](int v) { post_screen_event(ScreenEvent{v, {v, v, v, v}}); });
    ScreenEvent event{};
    int taken = 0;
    while (take_screen_event(&event)) ++taken;
    EXPECT_LE(taken, kEventQueueSize - 1);
  });
  add("sleep", [] {
    for_each_pair(kFewInts, [](int milliseconds, int flag) {
      // The console sleeps for real, and -1 there waits for a console key no one types.
      if (!screen_state && (milliseconds > 0 || milliseconds == -1)) return;
      if (flag == 1 && milliseconds > 0) return;
      key_buffer_push('k');
      sleep_for(milliseconds, flag);
      key_buffer_push('k');
      gfx_sleep(milliseconds);
    });
  });
  add("stepped_sleep", [] {
    for_each_value(kInts, [](int milliseconds) {
      stepped_sleep(milliseconds, [] { return int32_t{1}; }, true);
    });
  });

  // Screen modes, title, lock.
  add("set_screen_mode", [] {
    for_each_value(kFewInts, [](int mode) {
      for_each_value(kFewInts, [mode](int depth) {
        if (set_screen_mode(mode, depth, 1, -1, 0) == 0) use_screen();
      });
    });
    set_screen_mode(13, 8, INT_MAX, -1, 0);
    set_screen_mode(13, 8, INT_MIN, -1, INT_MIN);
  });
  add("set_screen_size", [] {
    for_each_pair(kFewInts, [](int width, int height) {
      if (set_screen_size(width, height, 8, 1, -1, 0) == 0 && width * height <= 65536) use_screen();
      set_screen_size(width, height, width, height, -1, height);
    });
  });
  add("set_screen_mode_pages", [] {
    set_environment("ZQGFX", "null");
    for_each_pair(kFewInts, [](int work, int visible) {
      if (set_screen_mode_pages(13, work, visible) == 0) use_screen();
    });
    set_environment("ZQGFX", nullptr);
  });
  add("screen_title", [] {
    for_each_value(kInts, [](int size) {
      set_screen_title(nullptr, size);
      if (size != kTextValueOperand) set_screen_title("title", size);
    });
    TextValue value{};
    set_screen_title(&value, kTextValueOperand);
    screen_title();
    screen_pointer();
  });
  add("screen_lock", [] {
    for_each_pair(kInts, [](int first, int last) {
      screen_lock();
      screen_unlock(first, last);
    });
    use_screen();
  });

  // Key tables, translation, the packed data, blitters.
  add("key_tables", [] {
    for_each_value(kInts, [](int v) {
      const int scancode = scancode_from_virtual_key(v);
      EXPECT_GE(scancode, 0);
      EXPECT_LE(scancode, 127);
    });
  });
  add("translate_key", [] {
    for_each_triple(kFewInts, [](int character, int scancode, int virtual_key) {
      for (uint32_t modifiers : {0u, 0xFFFFFFFFu, 0x1u, 0x8u, 0x100u}) {
        const int32_t code = translate_key(character, scancode, virtual_key, modifiers);
        EXPECT_TRUE(code == -1 || (code >= 1 && code <= 255) || (code & 0xFF) == 0xFF) << code;
      }
    });
  });
  add("lzw_decode", [] {
    uint8_t out[16] = {};
    int size = sizeof out;
    const uint8_t junk[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    for_each_value(kInts, [&](int length) {
      lzw_decode(nullptr, length, nullptr, nullptr);
      lzw_decode(nullptr, length, out, &size);
      size = length;
      if (length <= 4) lzw_decode(junk, length, nullptr, &size);
      size = sizeof out;
    });
  });
  add("blitters", [] {
    for_each_pair(kInts, [](int depth, int swap) { select_blitter(depth, swap); });
    fill_conversion_table(nullptr, false);
    if (screen_state) {
      std::vector<uint8_t> out(static_cast<size_t>(screen_state->width) * screen_state->height * 4);
      std::memset(screen_state->dirty_lines, 1, static_cast<size_t>(screen_state->height));
      for (int depth : {15, 16, 24, 32})
        if (Blitter blit = select_blitter(depth, 0)) blit(out.data(), screen_state->width * 4);
    }
  });
  add("text_writer", [] {
    for_each_value(kFewInts, [](int count) {
      TextWriter writer{nullptr, nullptr, nullptr, 0, 0, 3, 1, 0, 0};
      text_writer_write(&writer, nullptr, count, 1);
      text_writer_write(nullptr, nullptr, count, 0);
      text_writer_put_run(nullptr, nullptr, count);
    });
  });
  return cases;
}

const std::vector<Case>& cases() {
  static const std::vector<Case> list = all_cases();
  return list;
}

struct Param {
  size_t index;
  Screen screen;
};

class HostileValues : public ::testing::TestWithParam<Param> {
 protected:
  void SetUp() override {
    saved_sleep_ = stepped_sleep_function;
    stepped_sleep_function = no_sleep;
    ASSERT_EQ(open_screen(GetParam().screen), 0);
  }
  void TearDown() override {
    close_screen();
    stepped_sleep_function = saved_sleep_;
    set_view_rows(-1, -1);
    key_buffer = KeyBuffer{};
    set_error(0);
  }

 private:
  SleepFunction saved_sleep_ = nullptr;
};

TEST_P(HostileValues, LeaveTheScreenUsable) {
  const Case& c = cases()[GetParam().index];
  PrintCapture quiet;  // console branches write to the screen file, not the terminal
  c.run();
  use_screen();
}

std::vector<Param> all_params() {
  std::vector<Param> params;
  for (size_t i = 0; i < cases().size(); ++i)
    for (Screen s : {Screen::Console, Screen::Mode13, Screen::Mode7FourBit, Screen::Tiny8, Screen::Tiny32})
      params.push_back({i, s});
  return params;
}

INSTANTIATE_TEST_SUITE_P(Each, HostileValues, ::testing::ValuesIn(all_params()),
                         [](const ::testing::TestParamInfo<Param>& info) {
                           return std::string(cases()[info.param.index].name) + "_" +
                                  screen_name(info.param.screen);
                         });

}  // namespace
