#include "app/viewer_menu_entries.h"

#include <cstring>

namespace {

constexpr unsigned kFirstId = 0x1000;  // kWindowMenuFirstId of the window layer
constexpr unsigned kIdStep = 16;

constexpr ViewerSubmenu kMain = ViewerSubmenu::kNone;
constexpr ViewerSubmenu kLayouts = ViewerSubmenu::kLayout;
constexpr ViewerSubmenu kThresholds = ViewerSubmenu::kThreshold;

// The custom threshold sits among the fixed ones by its value when the menu
// is built.
constexpr ViewerMenuEntry kEntries[] = {
    {"&Tastaturkarte", ViewerCommand::kToggleMap, kMain},
    {"&ANSI", ViewerCommand::kLayoutAnsi, kLayouts},
    {"&ISO", ViewerCommand::kLayoutIso, kLayouts},
    {"&JIS", ViewerCommand::kLayoutJis, kLayouts},
    {"ANSI &ohne Ziffernblock", ViewerCommand::kLayoutAnsiTkl, kLayouts},
    {"ISO o&hne Ziffernblock", ViewerCommand::kLayoutIsoTkl, kLayouts},
    {nullptr, ViewerCommand::kThreshold5, kThresholds},
    {nullptr, ViewerCommand::kThreshold10, kThresholds},
    {nullptr, ViewerCommand::kThreshold15, kThresholds},
    {nullptr, ViewerCommand::kThreshold20, kThresholds},
    {nullptr, ViewerCommand::kThreshold30, kThresholds},
    {nullptr, ViewerCommand::kThreshold50, kThresholds},
    {nullptr, ViewerCommand::kThreshold80, kThresholds},
    {nullptr, ViewerCommand::kThreshold120, kThresholds},
    {nullptr, ViewerCommand::kThresholdCustom, kThresholds},
    {"&Neu beginnen", ViewerCommand::kReset, kMain},
    {"Protokoll \xC3\xB6&ffnen\xE2\x80\xA6", ViewerCommand::kOpenLog, kMain},
    {"&Bericht speichern\xE2\x80\xA6", ViewerCommand::kSaveReport, kMain},
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
const char kThresholdSubmenuLabel[] = "&Prellschwelle";

void viewer_threshold_label(ViewerCommand command, char* out, int size) {
  if (out == nullptr || size <= 0) return;
  char label[16];
  int length = 0;
  const int ms = viewer_command_threshold_ms(command);
  if (ms > 0) {
    char digits[8];
    int count = 0;
    for (int value = ms; value > 0 && count < 7; value /= 10) digits[count++] = static_cast<char>('0' + value % 10);
    while (count > 0) label[length++] = digits[--count];
    for (const char* unit = " ms"; *unit != '\0'; ++unit) label[length++] = *unit;
  }
  const int kept = length < size ? length : size - 1;
  std::memcpy(out, label, static_cast<size_t>(kept));
  out[kept] = '\0';
}

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

bool viewer_menu_present(ViewerCommand command) {
  return command != ViewerCommand::kThresholdCustom || viewer_custom_threshold() > 0;
}

bool viewer_menu_checked(ViewerCommand command, bool map_shown, MapLayout layout, int chatter_ms) {
  if (command == ViewerCommand::kToggleMap) return map_shown;
  if (const int ms = viewer_command_threshold_ms(command)) return ms == chatter_ms;
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
