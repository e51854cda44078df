// The console window of a program that is alone on its console: started from
// Explorer, a console program gets a console window of its own, which is of
// no use while the graphics window shows the page. It is hidden then, and
// shown again when the console is where the page goes after all. A console
// shared with a prompt (or none, or a console without a window) is never
// touched: the prompt's window is not ours to hide.
#pragma once

// Hides the console window when this process is the only one on its console;
// true when it did.
bool console_window_hide_if_alone();
// Shows the console window again if console_window_hide_if_alone hid it.
void console_window_restore();
