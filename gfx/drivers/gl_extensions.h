// The extension names an OpenGL implementation reports, kept as one text.
#pragma once

#include <cstddef>

constexpr size_t kGlExtensionsSize = 16384;

// Writes the OpenGL names followed by the window-system names into buffer
// (size bytes, always terminated inside it); either text may be null. A
// space is put between the two when the first does not end in one, so that
// its last name and the other's first cannot run together.
void gl_compose_extensions(char* buffer, size_t size, const char* gl_text, const char* wgl_text);

// True when name stands in text as a whole name: preceded by the start or a
// space and followed by a space or the end.
bool extension_listed(const char* text, const char* name);
