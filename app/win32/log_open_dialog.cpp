// The Open dialog of a saved key log, a modal loop on the window's event
// thread like the Save dialog.
#include <windows.h>

#include <commdlg.h>

#include "app/log_open_dialog.h"
#include "app/viewer_commands.h"
#include "app/viewer_replay.h"
#include "app/win32/common_dialog.h"
#include "gfx/win32/window_modal_loop.h"

namespace {

constexpr UiText kHeadline = UiText::kOpenFailed;
// Each form is told by its content, so every file may be offered.
constexpr DialogFileType kTypes[] = {{UiText::kTypeKeyLog, "*.csv;*.jsonl;*.txt;*.log"},
                                     {UiText::kTypeAllFiles, "*.*"}};

// Event thread only, one dialog at a time (window_run_modal).
char chosen_path[MAX_PATH];

void run_dialog(HWND owner, void*) {
  chosen_path[0] = '\0';
  char filter[256], title[128];
  dialog_filter(kTypes, 2, filter, sizeof filter);
  dialog_text(UiText::kOpenTitle, title, sizeof title);
  OPENFILENAMEA request =
      file_dialog_request(owner, filter, title, chosen_path, sizeof chosen_path, OFN_FILEMUSTEXIST);
  if (!run_file_dialog(owner, "GetOpenFileNameA", &request, kHeadline)) return;
  char reason[256] = "";
  if (viewer_replay_read(chosen_path, reason, sizeof reason) != 0) {
    show_file_failure(owner, kHeadline, chosen_path, reason);
    return;
  }
  post_viewer_command(ViewerCommand::kShowOpenedLog);
}

}  // namespace

void log_open_dialog_open() {
  if (window_modal_run_active()) return;
  window_run_modal(run_dialog, nullptr);
}
