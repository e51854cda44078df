// Stand-in until the keyboard list and the --keyboard filter land: the
// same declarations as keys/source/keyboard_devices.h and keyboard_filter.h
// will carry. Delete this file and its .cpp then.
#pragma once

#include "keys/source/keyboard_devices.h"

int keyboard_device_count();
bool keyboard_device_copy(int number, KeyboardDevice* out);
const char* keyboard_filter_text();
