// STAND-IN until the map's commands land.
#include "app/viewer_commands.h"

#include <atomic>

namespace {
std::atomic<unsigned> pending{0};
void (*save_handler)() = nullptr;
}  // namespace

void post_viewer_command(ViewerCommand command) { pending.fetch_or(1u << static_cast<int>(command)); }

bool take_viewer_command(ViewerCommand* command) {
  unsigned bits = pending.load();
  while (bits != 0) {
    const int index = __builtin_ctz(bits);
    if (pending.compare_exchange_weak(bits, bits & ~(1u << index))) {
      *command = static_cast<ViewerCommand>(index);
      return true;
    }
  }
  return false;
}

void viewer_set_save_report_handler(void (*save)()) { save_handler = save; }

void viewer_apply_commands() {
  ViewerCommand command;
  while (take_viewer_command(&command))
    if (command == ViewerCommand::kSaveReport && save_handler != nullptr) save_handler();
}

bool keyboard_map_is_shown() { return false; }
MapLayout keyboard_map_current_layout() { return MapLayout::kAnsi; }
