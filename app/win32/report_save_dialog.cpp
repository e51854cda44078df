// The Save dialog of the report. It runs on the window's event thread as a
// modal loop (window_run_modal), like the window menu: the dialog has its
// window as owner, so the window takes no clicks meanwhile, and the page goes
// on being drawn. The dialog library is loaded by name, as the drivers load
// theirs: the program starts on systems without it and needs no more DLLs.
#include <windows.h>

#include <commdlg.h>

#include <ctime>
#include <initializer_list>

#include "app/report_save_dialog.h"
#include "app/viewer_menu_entries.h"
#include "app/viewer_report.h"
#include "gfx/win32/window_modal_loop.h"

namespace {

using GetSaveFileNameEntry = BOOL(WINAPI*)(LPOPENFILENAMEA);
using ExtendedErrorEntry = DWORD(WINAPI*)();

// Event thread only, one dialog at a time (window_run_modal).
char chosen_path[MAX_PATH];

void show_failure(HWND owner, const char* path, const char* reason) {
  // The path and the system's reason come in the system's code page.
  wchar_t text[2 * MAX_PATH + 200] = L"Der Bericht konnte nicht gespeichert werden.\n\n";
  int used = lstrlenW(text);
  for (const char* part : {path, "\n", reason}) {
    const int written = MultiByteToWideChar(CP_ACP, 0, part, -1, text + used,
                                            static_cast<int>(sizeof text / sizeof text[0]) - used);
    if (written <= 0) break;
    used += written - 1;
  }
  MessageBoxW(owner, text, L"klimperdetektor", MB_OK | MB_ICONERROR);
}

void proposed_name(char* out, int size) {
  const std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (local == nullptr) {
    proposed_report_name(0, 1, 1, 0, 0, 0, out, size);
    return;
  }
  proposed_report_name(local->tm_year + 1900, local->tm_mon + 1, local->tm_mday, local->tm_hour,
                       local->tm_min, local->tm_sec, out, size);
}

void run_dialog(HWND owner, void*) {
  HMODULE library = LoadLibraryA("comdlg32.dll");
  auto get_save_file_name =
      library ? reinterpret_cast<GetSaveFileNameEntry>(
                    reinterpret_cast<void*>(GetProcAddress(library, "GetSaveFileNameA")))
              : nullptr;
  if (get_save_file_name == nullptr) {
    show_failure(owner, "comdlg32.dll", "Das System hat keinen Speichern-Dialog.");
    if (library) FreeLibrary(library);
    return;
  }
  proposed_name(chosen_path, sizeof chosen_path);
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = "HTML-Bericht (*.html)\0*.html;*.htm\0Textbericht (*.txt)\0*.txt\0Alle Dateien\0*.*\0";
  request.nFilterIndex = 1;
  request.lpstrFile = chosen_path;
  request.nMaxFile = sizeof chosen_path;
  request.lpstrTitle = "Bericht speichern";
  request.lpstrDefExt = "html";
  request.Flags = OFN_EXPLORER | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  const bool chosen = get_save_file_name(&request) != FALSE;
  // FALSE is a cancel or a dialog that could not open (a path too long for
  // the buffer, no memory); only the latter has an error code, and it is
  // said, or the report would be lost unseen.
  auto extended_error = reinterpret_cast<ExtendedErrorEntry>(
      reinterpret_cast<void*>(GetProcAddress(library, "CommDlgExtendedError")));
  const DWORD error = chosen || extended_error == nullptr ? 0 : extended_error();
  FreeLibrary(library);
  if (error != 0) {
    char code[64] = "Der Speichern-Dialog ging nicht auf, Code 0x";
    const int at = lstrlenA(code);
    for (int shift = 12, i = at; shift >= 0; shift -= 4, ++i) code[i] = "0123456789abcdef"[(error >> shift) & 0xF];
    show_failure(owner, chosen_path, code);
  }
  if (!chosen) return;  // cancelled, or said above
  char reason[256] = "";
  if (viewer_report_write_taken(chosen_path, reason, sizeof reason) != 0) show_failure(owner, chosen_path, reason);
}

}  // namespace

void report_save_dialog_open() {
  // Not while a dialog runs: its snapshot is being written from.
  if (window_modal_run_active()) return;
  viewer_report_take();
  window_run_modal(run_dialog, nullptr);
}
