#include "app/viewer_commands.h"

#include <atomic>

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

void acquire() {
  while (mailbox.busy.test_and_set(std::memory_order_acquire)) {
  }
}

void release() { mailbox.busy.clear(std::memory_order_release); }

bool known(ViewerCommand command) {
  const int value = static_cast<int>(command);
  return value >= static_cast<int>(ViewerCommand::kToggleMap) &&
         value <= static_cast<int>(ViewerCommand::kSaveReport);
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

void viewer_set_save_report_handler(void (*save)()) { save_report_handler.store(save); }

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
      case ViewerCommand::kReset: keyboard_map_reset(); break;
      case ViewerCommand::kSaveReport:
        if (void (*save)() = save_report_handler.load()) save();
        break;
    }
    ++applied;
  }
  return applied;
}
