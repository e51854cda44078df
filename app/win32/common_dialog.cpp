#include "app/win32/common_dialog.h"

#include <initializer_list>

namespace {

using ExtendedErrorEntry = DWORD(WINAPI*)();

}  // namespace

void show_file_failure(HWND owner, const wchar_t* headline, const char* path, const char* reason) {
  wchar_t text[2 * MAX_PATH + 200];
  lstrcpynW(text, headline, 100);
  int used = lstrlenW(text);
  for (const char* part : {"\n\n", path, "\n", reason}) {
    const int written = MultiByteToWideChar(CP_ACP, 0, part, -1, text + used,
                                            static_cast<int>(sizeof text / sizeof text[0]) - used);
    if (written <= 0) break;
    used += written - 1;
  }
  MessageBoxW(owner, text, L"klimperdetektor", MB_OK | MB_ICONERROR);
}

bool run_file_dialog(HWND owner, const char* entry_name, OPENFILENAMEA* request, const wchar_t* headline) {
  HMODULE library = LoadLibraryA("comdlg32.dll");
  auto entry = library ? reinterpret_cast<FileDialogEntry>(reinterpret_cast<void*>(GetProcAddress(library, entry_name)))
                       : nullptr;
  if (entry == nullptr) {
    show_file_failure(owner, headline, "comdlg32.dll", "Das System hat keinen Datei-Dialog.");
    if (library) FreeLibrary(library);
    return false;
  }
  const bool chosen = entry(request) != FALSE;
  // FALSE is a cancel or a dialog that could not open (a path too long for
  // the buffer, no memory); only the latter has an error code, and it is
  // said, or the choice would be lost unseen.
  auto extended_error = reinterpret_cast<ExtendedErrorEntry>(
      reinterpret_cast<void*>(GetProcAddress(library, "CommDlgExtendedError")));
  const DWORD error = chosen || extended_error == nullptr ? 0 : extended_error();
  FreeLibrary(library);
  if (error != 0) {
    char code[64] = "Der Dialog ging nicht auf, Code 0x";
    const int at = lstrlenA(code);
    for (int shift = 12, i = at; shift >= 0; shift -= 4, ++i) code[i] = "0123456789abcdef"[(error >> shift) & 0xF];
    show_file_failure(owner, headline, request->lpstrFile, code);
  }
  return chosen;
}
