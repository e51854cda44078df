#include "app/viewer_commands.h"

#include <atomic>

#include "app/viewer_replay.h"
#include "keys/log/log_settings.h"
#include "keys/map/keyboard_map.h"

namespace {

constexpr int kSlots = 32;

// A ring behind a spin flag: posts are rare (a menu choice) and the held
// section is a few stores, so neither side waits for long, and no lock
// object is needed that would differ between the builds.
struct Mailbox {
  std::atomic_flag busy = ATOMIC_FLAG_INIT;
  ViewerCommand slots[kSlots];
  int first = 0;
  int count = 0;
};

Mailbox mailbox;
std::atomic<void (*)()> save_report_handler{nullptr};
std::atomic<void (*)()> open_log_handler{nullptr};
std::atomic<int> custom_threshold{0};

constexpr int kFixedThresholds[] = {5, 10, 15, 20, 30, 50, 80, 120};

void acquire() {
  while (mailbox.busy.test_and_set(std::memory_order_acquire)) {
  }
}

void release() { mailbox.busy.clear(std::memory_order_release); }

bool known(ViewerCommand command) {
  const int value = static_cast<int>(command);
  return value >= static_cast<int>(ViewerCommand::kToggleMap) &&
         value <= static_cast<int>(ViewerCommand::kShowOpenedLog);
}

}  // namespace

void post_viewer_command(ViewerCommand command) {
  if (!known(command)) return;
  acquire();
  if (mailbox.count < kSlots) {
    mailbox.slots[(mailbox.first + mailbox.count) % kSlots] = command;
    ++mailbox.count;
  }
  release();
}

bool take_viewer_command(ViewerCommand* command) {
  if (command == nullptr) return false;
  acquire();
  const bool taken = mailbox.count > 0;
  if (taken) {
    *command = mailbox.slots[mailbox.first];
    mailbox.first = (mailbox.first + 1) % kSlots;
    --mailbox.count;
  }
  release();
  return taken;
}

int viewer_command_threshold_ms(ViewerCommand command) {
  if (command == ViewerCommand::kThresholdCustom) return custom_threshold.load();
  const int index = static_cast<int>(command) - static_cast<int>(ViewerCommand::kThreshold5);
  return index >= 0 && index < static_cast<int>(sizeof kFixedThresholds / sizeof kFixedThresholds[0])
             ? kFixedThresholds[index]
             : 0;
}

void viewer_set_custom_threshold(int ms) {
  bool fixed = false;
  for (const int value : kFixedThresholds) fixed = fixed || value == ms;
  custom_threshold.store(fixed || ms < kMinChatterMs || ms > kMaxChatterMs ? 0 : ms);
}

int viewer_custom_threshold() { return custom_threshold.load(); }

void viewer_set_save_report_handler(void (*save)()) { save_report_handler.store(save); }
void viewer_set_open_log_handler(void (*open)()) { open_log_handler.store(open); }

int viewer_apply_commands() {
  int applied = 0;
  ViewerCommand command;
  while (take_viewer_command(&command)) {
    switch (command) {
      case ViewerCommand::kToggleMap: keyboard_map_show(!keyboard_map_is_shown()); break;
      case ViewerCommand::kLayoutAnsi: keyboard_map_choose_layout(MapLayout::kAnsi); break;
      case ViewerCommand::kLayoutIso: keyboard_map_choose_layout(MapLayout::kIso); break;
      case ViewerCommand::kLayoutJis: keyboard_map_choose_layout(MapLayout::kJis); break;
      case ViewerCommand::kLayoutAnsiTkl: keyboard_map_choose_layout(MapLayout::kAnsiTkl); break;
      case ViewerCommand::kLayoutIsoTkl: keyboard_map_choose_layout(MapLayout::kIsoTkl); break;
      case ViewerCommand::kReset:
        keyboard_map_reset();
        viewer_replay_live_again();
        break;
      case ViewerCommand::kShowOpenedLog: viewer_replay_show(true); break;
      case ViewerCommand::kSaveReport:
        if (void (*save)() = save_report_handler.load()) save();
        break;
      case ViewerCommand::kOpenLog:
        if (void (*open)() = open_log_handler.load()) open();
        break;
      default:
        if (const int ms = viewer_command_threshold_ms(command)) keyboard_map_set_chatter_ms(ms);
        break;
    }
    ++applied;
  }
  return applied;
}
