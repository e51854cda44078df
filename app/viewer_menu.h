// The viewer's commands for the mouse: a popup menu on a right click and the
// same entries in the window menu, and the Save dialog of the report. Every
// key is under test, so no key is a command.
#pragma once

// Gives the window layer the menu and the program thread the save handler.
// On builds without a window system it does nothing.
void viewer_menu_install();
