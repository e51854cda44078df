// What the Save and the Open dialog share: the dialog library loaded by
// name (the program starts on systems without it and needs no more DLLs),
// and the message box that says why a file could not be written or read.
#pragma once

#include <windows.h>

#include <commdlg.h>

using FileDialogEntry = BOOL(WINAPI*)(LPOPENFILENAMEA);

// Runs GetSaveFileNameA or GetOpenFileNameA (entry_name) with request.
// True when a file was chosen. False for a cancel, and for a dialog that
// could not open, which is said in the message box with headline.
bool run_file_dialog(HWND owner, const char* entry_name, OPENFILENAMEA* request, const wchar_t* headline);

// The message box: headline, the path and the reason (both in the system's
// code page).
void show_file_failure(HWND owner, const wchar_t* headline, const char* path, const char* reason);
