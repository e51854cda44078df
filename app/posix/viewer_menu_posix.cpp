// No window system, no menu.
#include "app/viewer_menu.h"

void viewer_menu_install() {}
