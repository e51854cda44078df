#include "app/viewer_menu_entries.h"

#include <cstring>

namespace {

constexpr unsigned kFirstId = 0x1000;  // kWindowMenuFirstId of the window layer
constexpr unsigned kIdStep = 16;

constexpr ViewerMenuEntry kEntries[] = {
    {"&Tastaturkarte", ViewerCommand::kToggleMap, false},
    {"&ANSI", ViewerCommand::kLayoutAnsi, true},
    {"&ISO", ViewerCommand::kLayoutIso, true},
    {"&JIS", ViewerCommand::kLayoutJis, true},
    {"ANSI &ohne Ziffernblock", ViewerCommand::kLayoutAnsiTkl, true},
    {"ISO o&hne Ziffernblock", ViewerCommand::kLayoutIsoTkl, true},
    {"&Neu beginnen", ViewerCommand::kReset, false},
    {"&Bericht speichern\xE2\x80\xA6", ViewerCommand::kSaveReport, false},
};
constexpr int kEntryCount = static_cast<int>(sizeof kEntries / sizeof kEntries[0]);

bool layout_of(ViewerCommand command, MapLayout* layout) {
  switch (command) {
    case ViewerCommand::kLayoutAnsi: *layout = MapLayout::kAnsi; return true;
    case ViewerCommand::kLayoutIso: *layout = MapLayout::kIso; return true;
    case ViewerCommand::kLayoutJis: *layout = MapLayout::kJis; return true;
    case ViewerCommand::kLayoutAnsiTkl: *layout = MapLayout::kAnsiTkl; return true;
    case ViewerCommand::kLayoutIsoTkl: *layout = MapLayout::kIsoTkl; return true;
    default: return false;
  }
}

int clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

const char kLayoutSubmenuLabel[] = "Tastatur&layout";

const ViewerMenuEntry* viewer_menu_entries(int* count) {
  if (count != nullptr) *count = kEntryCount;
  return kEntries;
}

unsigned viewer_menu_id(int entry_index) {
  return kFirstId + static_cast<unsigned>(clamp(entry_index, 0, kEntryCount - 1)) * kIdStep;
}

bool viewer_menu_command(unsigned id, ViewerCommand* command) {
  if (id < kFirstId || (id - kFirstId) % kIdStep != 0) return false;
  const unsigned index = (id - kFirstId) / kIdStep;
  if (index >= static_cast<unsigned>(kEntryCount)) return false;
  if (command != nullptr) *command = kEntries[index].command;
  return true;
}

bool viewer_menu_checked(ViewerCommand command, bool map_shown, MapLayout layout) {
  if (command == ViewerCommand::kToggleMap) return map_shown;
  MapLayout entry_layout;
  return layout_of(command, &entry_layout) && entry_layout == layout;
}

void proposed_report_name(int year, int month, int day, int hour, int minute, int second, char* out,
                          int size) {
  if (out == nullptr || size <= 0) return;
  // Digits by hand: the formatted-output machinery stays out of the program.
  char name[40] = "Tastaturtest-YYYY-MM-DD-hhmmss.html";
  const struct {
    int value, low, high, at, digits;
  } fields[] = {{year, 0, 9999, 13, 4}, {month, 1, 12, 18, 2}, {day, 1, 31, 21, 2},
                {hour, 0, 23, 24, 2},   {minute, 0, 59, 26, 2}, {second, 0, 60, 28, 2}};
  for (const auto& field : fields) {
    int value = clamp(field.value, field.low, field.high);
    for (int i = field.digits - 1; i >= 0; --i, value /= 10) name[field.at + i] = static_cast<char>('0' + value % 10);
  }
  const size_t length = std::strlen(name);
  const size_t kept = length < static_cast<size_t>(size) ? length : static_cast<size_t>(size) - 1;
  std::memcpy(out, name, kept);
  out[kept] = '\0';
}
