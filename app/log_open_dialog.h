// "Protokoll öffnen…": the system's Open dialog, and the key log it gives
// read as the test.
#pragma once

// The program thread's handler of the open command: has the event thread
// show the dialog (the page goes on being drawn) and read the file; a file
// that is no key log is said in a message box with the line and the reason,
// and the test shown stays. A log read is shown by the program thread at
// its next command. Nothing while a dialog is already open.
void log_open_dialog_open();
