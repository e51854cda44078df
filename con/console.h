// The console branches of the routed operations, used while no graphics
// screen is open.
#pragma once

#include <cstdint>

struct TextValue;

// Text output.
void console_print(const uint8_t* bytes, int length, int flags);
void console_print_wide(const uint16_t* units, int length, int flags);
void console_clear(int32_t mode);
int console_locate(int row, int column, int cursor);
int console_set_width(int columns, int rows);
void console_get_size(int* columns, int* rows);
void console_get_cursor(int* column, int* row);
int console_get_column();
int console_page_set(int work, int visible);
void console_view_changed();

// Keys and sleeping.
void console_sleep(int milliseconds);
TextValue* console_read_key_text();
int console_wait_key();
int console_key_waiting();
int console_key_held(int scancode);

// Resets the console state shared by the routines above (runtime start).
void console_reset_state();
