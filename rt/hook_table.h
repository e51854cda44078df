// The routing slots through which the runtime's console operations reach the
// graphics screen while one is open. An empty slot means: use the console.
#pragma once

#include <cstdint>

struct TextValue;

// The slot order is the table's layout; fill it by name.
struct HookTable {
  TextValue* (*read_key_text)();
  int (*wait_key)();
  int (*key_waiting)();
  void (*clear_screen)(int32_t mode);
  uint32_t (*set_color)(uint32_t foreground, uint32_t background, int flags);
  int (*locate)(int row, int column, int cursor);
  int (*set_width)(int columns, int rows);
  int (*get_column)();
  int (*get_row)();
  void (*get_cursor)(int* column, int* row);
  void (*get_text_size)(int* columns, int* rows);
  void (*print_bytes)(const uint8_t* bytes, int length, int flags);
  void (*print_wide)(const uint16_t* units, int length, int flags);
  char* (*read_line)(char* buffer, int size);
  int (*key_held)(int scancode);
  int (*get_mouse)(int* x, int* y, int* wheel, int* buttons, int* clip);
  int (*set_mouse)(int x, int y, int cursor, int clip);
  int (*port_in)(int port);
  int (*port_out)(int port, int value);
  void (*view_changed)();
  int (*line_input)(TextValue* prompt, void* destination, int size, int fill, int question,
                    int newline);
  int (*line_input_wide)(const uint16_t* prompt, uint16_t* destination, int size, int question,
                         int newline);
  uint32_t (*read_screen)(int column, int row, int flag);
  void (*sleep_wait)(int milliseconds);
  int (*console_query)();
  int (*page_copy)(int source, int destination);
  int (*page_set)(int work, int visible);
};

static_assert(sizeof(HookTable) == 27 * sizeof(void*), "the hook table has 27 slots");

HookTable& hook_table();

// A key_held handler that answers 0, and touches nothing, for every code
// above `highest`. While the key_held slot holds that handler the routed
// query answers those codes itself: the viewer asks for 65535 codes a pass
// and all but 127 of them need no call. `next_held`, when set, gives the
// first code from its argument (at least 1) to `highest` that the handler
// answers held, or 0: the routed scan (next_key_held) then takes a few
// calls a pass instead of one per code.
struct BoundedKeyHeld {
  int (*handler)(int scancode);
  int32_t highest;
  int (*next_held)(int first);
};
extern BoundedKeyHeld bounded_key_held;

// Fills every slot with the graphics screen's handlers in one step.
void hook_table_fill_graphics();
// Empties every slot at once; the console branches take over.
void hook_table_clear();
