// A screen in OpenGL mode: 320 x 200, cleared red while A is held and blue
// otherwise, each frame presented through the page copy (which also reads
// the keyboard and the window's messages). The close key ends it with exit
// code 0; a screen that cannot be opened ends it with the error number.
//
// "--frames N" draws N frames without pausing and ends: the flip loop at
// full speed, for measuring.
#include <windows.h>

#include <GL/gl.h>

#include <cstdlib>
#include <cstring>

#include "gfx/screen.h"
#include "rt/routed.h"
#include "rt/runtime.h"
#include "rt/text_value.h"

namespace {

constexpr int kScancodeA = 30;
constexpr char kCloseKey[] = "\xFFk";
constexpr int kPauseMs = 10;

using ClearColor = void(WINAPI*)(GLclampf, GLclampf, GLclampf, GLclampf);
using Clear = void(WINAPI*)(GLbitfield);

// The library is the one the driver loaded: linking it would keep the
// program from starting where it is missing, instead of failing the screen.
template <typename Function>
Function gl_entry(const char* name) {
  HMODULE library = GetModuleHandleA("opengl32.dll");
  return library ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(library, name)))
                 : nullptr;
}

int frame_limit(int argc, char** argv) {
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--frames") == 0) return std::atoi(argv[i + 1]);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  runtime_set_args(argc, argv, nullptr);
  const int frames = frame_limit(argc, argv);
  if (set_screen_size(320, 200, 32, 1, kFlagOpenGL, 0) != 0) end_program(get_error());
  const auto clear_color = gl_entry<ClearColor>("glClearColor");
  const auto clear = gl_entry<Clear>("glClear");
  if (!clear_color || !clear) end_program(1);

  for (int frame = 0; frames <= 0 || frame < frames; ++frame) {
    const bool held = key_held(kScancodeA) != 0;
    clear_color(held ? 1.0f : 0.0f, 0.0f, held ? 0.0f : 1.0f, 1.0f);
    clear(GL_COLOR_BUFFER_BIT);
    page_copy(-1, -1);
    if (text_compare(read_key_text(), kTextValueOperand, kCloseKey, 2) == 0) break;
    if (frames <= 0) sleep_for(kPauseMs, kSleepPlain);
  }
  end_program(0);
}
