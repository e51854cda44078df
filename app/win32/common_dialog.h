// What the Save and the Open dialog share: the dialog library loaded by
// name (the program starts on systems without it and needs no more DLLs),
// the message box that says why a file could not be written or read, and
// the dialog's texts from the tables in the system's code page.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include "keys/texts/ui_texts.h"

using FileDialogEntry = BOOL(WINAPI*)(LPOPENFILENAMEA);

// A request for the dialog of owner: its file types (filter, the first
// chosen), its title, the buffer of the name (which holds the proposed
// name or ""), and the dialog's own flags beside the ones both take.
OPENFILENAMEA file_dialog_request(HWND owner, const char* filter, const char* title, char* path, DWORD size,
                                  DWORD flags);

// Runs GetSaveFileNameA or GetOpenFileNameA (entry_name) with request.
// True when a file was chosen. False for a cancel, and for a dialog that
// could not open, which is said in the message box with headline.
bool run_file_dialog(HWND owner, const char* entry_name, OPENFILENAMEA* request, UiText headline);

// The message box: headline in the program's language, the path and the
// reason (both in the system's code page).
void show_file_failure(HWND owner, UiText headline, const char* path, const char* reason);

// A text of the program's language in the system's code page, for the
// dialog's fields (a character it lacks becomes '?'). Cut to size, ended.
void dialog_text(UiText id, char* out, int size);

// A dialog's filter: pairs of a type's name (from the table) and its
// patterns, as "name (patterns)\0patterns\0...\0". Cut to size, ended.
struct DialogFileType {
  UiText name;
  const char* patterns;
};
void dialog_filter(const DialogFileType* types, int count, char* out, int size);
