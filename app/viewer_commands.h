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
  kSaveReport,
  // The chatter thresholds of the menu, and the one --chatter-ms gave when
  // it is none of them.
  kThreshold5,
  kThreshold10,
  kThreshold15,
  kThreshold20,
  kThreshold30,
  kThreshold50,
  kThreshold80,
  kThreshold120,
  kThresholdCustom,
  kOpenLog,
  // Not in the menu: the Open dialog read a log, which the program thread
  // now shows.
  kShowOpenedLog
};

// The threshold in milliseconds a command sets; 0 for other commands, and
// for kThresholdCustom while no custom value is set.
int viewer_command_threshold_ms(ViewerCommand command);

// The value of kThresholdCustom: ms when it is none of the menu's fixed
// ones and within the log's bounds, else none (0). Any thread.
void viewer_set_custom_threshold(int ms);
int viewer_custom_threshold();

// Any thread. A value outside the enum is dropped, and so is a command when
// the mailbox is full (32 waiting: a pass takes them all every 10 ms).
void post_viewer_command(ViewerCommand command);

// The program's thread: the oldest command; false when none waits (or the
// argument is null, which then takes nothing).
bool take_viewer_command(ViewerCommand* command);

// What kSaveReport and kOpenLog call on the program's thread; null for
// nothing.
void viewer_set_save_report_handler(void (*save)());
void viewer_set_open_log_handler(void (*open)());

// The program's thread, between passes (outside the screen lock): takes
// every waiting command and applies it to the map, or calls the save or
// open handler. Returns how many were applied.
int viewer_apply_commands();
