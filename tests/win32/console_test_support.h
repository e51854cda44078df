// A console of the test program's own, shared by the console tests.
//
// Started from a shell with redirected handles, a program under Wine sits in
// no usable console: standard input has no input queue and no screen buffer
// can be created. Leaving it and allocating a new one gives a console window
// with a real input queue as standard input; standard output and error are
// put back so that the test's report still reaches its pipe.
#pragma once

#include <windows.h>

inline bool console_input_available() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

// Idempotent: once a console is attached, later calls change nothing.
inline bool attach_test_console() {
  if (console_input_available()) return true;
  HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  FreeConsole();
  if (!AllocConsole()) return false;
  SetStdHandle(STD_OUTPUT_HANDLE, output);
  SetStdHandle(STD_ERROR_HANDLE, error);
  return console_input_available();
}
