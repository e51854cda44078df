// "Bericht speichern…": the system's Save dialog and the report written to
// the file it gives.
#pragma once

// The program thread's handler of the save command: takes the report's
// snapshot and has the event thread show the dialog (the page goes on being
// drawn), then write the report; a failure is shown in a message box with
// the system's reason. Nothing while a dialog is already open.
void report_save_dialog_open();
