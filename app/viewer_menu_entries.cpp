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
constexpr UiText kMade = UiText::kCount;
constexpr ViewerMenuEntry kEntries[] = {
    {UiText::kMenuKeyboardMap, ViewerCommand::kToggleMap, kMain},
    {UiText::kMenuAnsi, ViewerCommand::kLayoutAnsi, kLayouts},
    {UiText::kMenuIso, ViewerCommand::kLayoutIso, kLayouts},
    {UiText::kMenuJis, ViewerCommand::kLayoutJis, kLayouts},
    {UiText::kMenuAnsiTkl, ViewerCommand::kLayoutAnsiTkl, kLayouts},
    {UiText::kMenuIsoTkl, ViewerCommand::kLayoutIsoTkl, kLayouts},
    {kMade, ViewerCommand::kThreshold5, kThresholds},
    {kMade, ViewerCommand::kThreshold10, kThresholds},
    {kMade, ViewerCommand::kThreshold15, kThresholds},
    {kMade, ViewerCommand::kThreshold20, kThresholds},
    {kMade, ViewerCommand::kThreshold30, kThresholds},
    {kMade, ViewerCommand::kThreshold50, kThresholds},
    {kMade, ViewerCommand::kThreshold80, kThresholds},
    {kMade, ViewerCommand::kThreshold120, kThresholds},
    {kMade, ViewerCommand::kThresholdCustom, kThresholds},
    {UiText::kMenuReset, ViewerCommand::kReset, kMain},
    {UiText::kMenuOpenLog, ViewerCommand::kOpenLog, kMain},
    {UiText::kMenuSaveReport, ViewerCommand::kSaveReport, kMain},
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

const char* viewer_submenu_label(ViewerSubmenu submenu, UiLanguage language) {
  switch (submenu) {
    case ViewerSubmenu::kLayout: return ui_text(language, UiText::kMenuLayout);
    case ViewerSubmenu::kThreshold: return ui_text(language, UiText::kMenuThreshold);
    default: return "";
  }
}

void viewer_menu_label(const ViewerMenuEntry& entry, UiLanguage language, char* out, int size) {
  if (out == nullptr || size <= 0) return;
  if (entry.label == kMade) {
    viewer_threshold_label(entry.command, out, size);
    return;
  }
  const char* label = ui_text(language, entry.label);
  int length = 0;
  for (; label[length] != '\0' && length + 1 < size; ++length) out[length] = label[length];
  out[length] = '\0';
}

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

void proposed_report_name(int year, int month, int day, int hour, int minute, int second, UiLanguage language,
                          char* out, int size) {
  if (out == nullptr || size <= 0) return;
  // Digits by hand: the formatted-output machinery stays out of the program.
  // The prefix is the table's, kept to 24 bytes so that the name fits.
  char name[48];
  int length = 0;
  for (const char* prefix = ui_text(language, UiText::kProposedName); *prefix != '\0' && length < 24; ++prefix)
    name[length++] = *prefix;
  const struct {
    int value, low, high, digits;
    char after;
  } fields[] = {{year, 0, 9999, 4, '-'}, {month, 1, 12, 2, '-'}, {day, 1, 31, 2, '-'},
                {hour, 0, 23, 2, '\0'},  {minute, 0, 59, 2, '\0'}, {second, 0, 60, 2, '\0'}};
  for (const auto& field : fields) {
    int value = clamp(field.value, field.low, field.high);
    for (int i = field.digits - 1; i >= 0; --i, value /= 10) name[length + i] = static_cast<char>('0' + value % 10);
    length += field.digits;
    if (field.after != '\0') name[length++] = field.after;
  }
  for (const char* extension = ".html"; *extension != '\0'; ++extension) name[length++] = *extension;
  const int kept = length < size ? length : size - 1;
  std::memcpy(out, name, static_cast<size_t>(kept));
  out[kept] = '\0';
}
