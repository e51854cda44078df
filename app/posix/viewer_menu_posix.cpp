// No window system, no menu and no dialogs.
#include "app/log_open_dialog.h"
#include "app/viewer_menu.h"

void viewer_menu_install() {}
void log_open_dialog_open() {}
