// Commands from the menu (the event thread) to the program thread.
#pragma once

enum class ViewerCommand { kToggleMap, kLayoutAnsi, kLayoutIso, kLayoutJis, kLayoutAnsiTkl,
                           kLayoutIsoTkl, kReset, kSaveReport };

void post_viewer_command(ViewerCommand command);   // any thread (the menu's event thread)
bool take_viewer_command(ViewerCommand* command);  // the program thread, each pass
void viewer_set_save_report_handler(void (*save)()); // called for kSaveReport on the program thread

// STAND-IN until the map's commands land: drains the mailbox and runs the
// save handler; the map commands are dropped.
void viewer_apply_commands();
bool keyboard_map_is_shown();
#include "keys/map/keyboard_layouts.h"
MapLayout keyboard_map_current_layout();
