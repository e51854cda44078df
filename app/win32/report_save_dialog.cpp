// The Save dialog of the report and the key log. It runs on the window's
// event thread as a modal loop (window_run_modal), like the window menu: the
// dialog has its window as owner, so the window takes no clicks meanwhile,
// and the page goes on being drawn.
#include <windows.h>

#include <commdlg.h>

#include <ctime>

#include "app/report_save_dialog.h"
#include "app/save_form.h"
#include "app/viewer_menu_entries.h"
#include "app/viewer_report.h"
#include "app/win32/common_dialog.h"
#include "gfx/win32/window_modal_loop.h"

namespace {

constexpr UiText kHeadline = UiText::kSaveFailed;

// The file types in save_type_form's order.
constexpr DialogFileType kTypes[kSaveTypeCount] = {{UiText::kTypeHtmlReport, "*.html;*.htm"},
                                                   {UiText::kTypeTextReport, "*.txt"},
                                                   {UiText::kTypeCsvLog, "*.csv"},
                                                   {UiText::kTypeJsonlLog, "*.jsonl"}};

// Event thread only, one dialog at a time (window_run_modal).
char chosen_path[MAX_PATH];

void proposed_name(char* out, int size) {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) {
    proposed_report_name(0, 1, 1, 0, 0, 0, ui_language(), out, size);
    return;
  }
  proposed_report_name(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour,
                       local->tm_min, local->tm_sec, ui_language(), out, size);
}

void run_dialog(HWND owner, void*) {
  char proposed[48];
  proposed_name(proposed, sizeof proposed);
  char filter[512], title[128];
  dialog_filter(kTypes, kSaveTypeCount, filter, sizeof filter);
  dialog_text(UiText::kSaveTitle, title, sizeof title);
  lstrcpynA(chosen_path, proposed, sizeof chosen_path);
  OPENFILENAMEA request =
      file_dialog_request(owner, filter, title, chosen_path, sizeof chosen_path, OFN_OVERWRITEPROMPT);
  request.lpstrDefExt = "html";
  if (!run_file_dialog(owner, "GetSaveFileNameA", &request, kHeadline)) return;  // cancelled, or said
  const SaveForm form =
      save_form_for(chosen_path, sizeof chosen_path, static_cast<int>(request.nFilterIndex), proposed);
  char reason[256] = "";
  if (viewer_save_taken(chosen_path, form, reason, sizeof reason) != 0)
    show_file_failure(owner, kHeadline, chosen_path, reason);
}

}  // namespace

void report_save_dialog_open() {
  // Not while a dialog runs: its snapshot is being written from.
  if (window_modal_run_active()) return;
  viewer_report_take();
  window_run_modal(run_dialog, nullptr);
}
