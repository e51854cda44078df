// The program around the page: options, the screen, the key log, the exit code.
#pragma once

// The program: opens mode 13, runs the loop and ends with exit code 0.
[[noreturn]] void viewer_main(int argc, char** argv);
