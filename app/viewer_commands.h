// Commands for the program's thread from elsewhere (the menu runs on the
// window's event thread): a small mailbox, drained and applied once a pass.
// Portable, so the map's commands are tested natively.
#pragma once

enum class ViewerCommand {
  kToggleMap,
  kLayoutAnsi,
  kLayoutIso,
  kLayoutJis,
  kLayoutAnsiTkl,
  kLayoutIsoTkl,
  kReset,
  kSaveReport
};

// Any thread. A value outside the enum is dropped, and so is a command when
// the mailbox is full (32 waiting: a pass takes them all every 10 ms).
void post_viewer_command(ViewerCommand command);

// The program's thread: the oldest command; false when none waits (or the
// argument is null, which then takes nothing).
bool take_viewer_command(ViewerCommand* command);

// What kSaveReport calls on the program's thread; null for nothing.
void viewer_set_save_report_handler(void (*save)());

// The program's thread, between passes (outside the screen lock): takes
// every waiting command and applies it to the map, or calls the save
// handler. Returns how many were applied.
int viewer_apply_commands();
