// The routing slots through which the runtime's console operations reach the
// graphics screen while one is open. An empty slot means: use the console.
#pragma once

#include <cstdint>

struct TextValue;

struct HookTable {
  TextValue* (*read_key_text)();                                   // 0
  int (*wait_key)();                                               // 1
  int (*key_waiting)();                                            // 2
  void (*clear_screen)(int32_t mode);                              // 3
  uint32_t (*set_color)(uint32_t foreground, uint32_t background, int flags);  // 4
  int (*locate)(int row, int column, int cursor);                  // 5
  int (*set_width)(int columns, int rows);                         // 6
  int (*get_column)();                                             // 7
  int (*get_row)();                                                // 8
  void (*get_cursor)(int* column, int* row);                       // 9
  void (*get_text_size)(int* columns, int* rows);                  // 10
  void (*print_bytes)(const uint8_t* bytes, int length, int flags);   // 11
  void (*print_wide)(const uint16_t* units, int length, int flags);   // 12
  char* (*read_line)(char* buffer, int size);                      // 13
  int (*key_held)(int scancode);                                   // 14
  int (*get_mouse)(int* x, int* y, int* wheel, int* buttons, int* clip);  // 15
  int (*set_mouse)(int x, int y, int cursor, int clip);            // 16
  int (*port_in)(int port);                                        // 17
  int (*port_out)(int port, int value);                            // 18
  void (*view_changed)();                                          // 19
  int (*line_input)(TextValue* prompt, void* destination, int size, int fill, int question,
                    int newline);                                  // 20
  int (*line_input_wide)(const uint16_t* prompt, uint16_t* destination, int size, int question,
                         int newline);                             // 21
  uint32_t (*read_screen)(int column, int row, int flag);          // 22
  void (*sleep_wait)(int milliseconds);                            // 23
  int (*console_query)();                                          // 24
  int (*page_copy)(int source, int destination);                   // 25
  int (*page_set)(int work, int visible);                          // 26
};

static_assert(sizeof(HookTable) == 27 * sizeof(void*), "the hook table has 27 slots");

HookTable& hook_table();

// A key_held handler that answers 0, and touches nothing, for every code
// above `highest`. While the key_held slot holds that handler the routed
// query answers those codes itself: the viewer asks for 65535 codes a pass
// and all but 127 of them need no call.
struct BoundedKeyHeld {
  int (*handler)(int scancode);
  int32_t highest;
};
extern BoundedKeyHeld bounded_key_held;

// Fills every slot with the graphics screen's handlers in one step.
void hook_table_fill_graphics();
// Empties every slot at once; the console branches take over.
void hook_table_clear();
