#include "app/win32/common_dialog.h"

#include <initializer_list>

namespace {

using ExtendedErrorEntry = DWORD(WINAPI*)();

}  // namespace

void show_file_failure(HWND owner, UiText headline, const char* path, const char* reason) {
  wchar_t text[2 * MAX_PATH + 200];
  int used = MultiByteToWideChar(CP_UTF8, 0, ui_text(ui_language(), headline), -1, text, 100);
  used = used > 0 ? used - 1 : 0;
  text[used] = L'\0';
  for (const char* part : {"\n\n", path, "\n", reason}) {
    const int written = MultiByteToWideChar(CP_ACP, 0, part, -1, text + used,
                                            static_cast<int>(sizeof text / sizeof text[0]) - used);
    if (written <= 0) break;
    used += written - 1;
  }
  MessageBoxW(owner, text, L"klimperdetektor", MB_OK | MB_ICONERROR);
}

void dialog_text(UiText id, char* out, int size) {
  if (out == nullptr || size <= 0) return;
  out[0] = '\0';
  wchar_t wide[256];
  if (MultiByteToWideChar(CP_UTF8, 0, ui_text(ui_language(), id), -1, wide, 256) <= 0) return;
  if (WideCharToMultiByte(CP_ACP, 0, wide, -1, out, size, nullptr, nullptr) <= 0) out[size - 1] = '\0';
}

void dialog_filter(const DialogFileType* types, int count, char* out, int size) {
  if (out == nullptr || size < 2) return;
  int used = 0;
  const auto append = [&](const char* text) {
    for (; *text != '\0' && used + 2 < size; ++text) out[used++] = *text;
  };
  // Every piece leaves room for the two zeros that end the list.
  const auto end_piece = [&] {
    if (used + 2 < size) out[used++] = '\0';
  };
  for (int i = 0; i < count && used + 2 < size; ++i) {
    char name[128];
    dialog_text(types[i].name, name, sizeof name);
    append(name);
    append(" (");
    append(types[i].patterns);
    append(")");
    end_piece();
    append(types[i].patterns);
    end_piece();
  }
  out[used] = '\0';
  out[used + 1] = '\0';
}

OPENFILENAMEA file_dialog_request(HWND owner, const char* filter, const char* title, char* path, DWORD size,
                                  DWORD flags) {
  OPENFILENAMEA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = owner;
  request.lpstrFilter = filter;
  request.nFilterIndex = 1;
  request.lpstrFile = path;
  request.nMaxFile = size;
  request.lpstrTitle = title;
  request.Flags = OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | flags;
  return request;
}

bool run_file_dialog(HWND owner, const char* entry_name, OPENFILENAMEA* request, UiText headline) {
  HMODULE library = LoadLibraryA("comdlg32.dll");
  auto entry = library ? reinterpret_cast<FileDialogEntry>(reinterpret_cast<void*>(GetProcAddress(library, entry_name)))
                       : nullptr;
  if (entry == nullptr) {
    char reason[128];
    dialog_text(UiText::kNoFileDialog, reason, sizeof reason);
    show_file_failure(owner, headline, "comdlg32.dll", reason);
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
    char code[128];
    dialog_text(UiText::kDialogFailed, code, sizeof code - 5);
    const int at = lstrlenA(code);
    for (int shift = 12, i = at; shift >= 0; shift -= 4, ++i) code[i] = "0123456789abcdef"[(error >> shift) & 0xF];
    code[at + 4] = '\0';
    show_file_failure(owner, headline, request->lpstrFile, code);
  }
  return chosen;
}
