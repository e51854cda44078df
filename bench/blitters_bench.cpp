// Pixel conversion speed: our blitters against SDL2 and pixman doing the same
// conversion of the same frame, and memcpy of the destination frame as the
// limit. Every line is dirty. Names: conversion/implementation/size. Each
// row also reports whether it left the wide registers dirty (wide_state.h).
#include <benchmark/benchmark.h>

#include <SDL.h>
#include <pixman.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "app/viewer.h"
#include "bench/wide_state.h"
#include "keys/map/keyboard_map.h"
#include "gfx/drivers/blitters.h"
#include "gfx/input/key_input.h"
#include "gfx/screen.h"
#include "rt/runtime.h"

namespace {

struct Size {
  int width, height;
};
constexpr Size kSizes[] = {{320, 200}, {1024, 768}};

struct SourceFormat {
  const char* name;
  int depth;
  int sdl;
  pixman_format_code_t pixman;
};
const SourceFormat kSources[] = {
    {"pal8", 8, SDL_PIXELFORMAT_INDEX8, PIXMAN_c8},
    {"rgb565", 16, SDL_PIXELFORMAT_RGB565, PIXMAN_r5g6b5},
    {"xrgb32", 32, SDL_PIXELFORMAT_XRGB8888, PIXMAN_x8r8g8b8},
};

// Native order keeps blue in the low bits; swapped exchanges red and blue.
struct DestinationFormat {
  const char* name;
  int depth;
  int swapped;
  int sdl;
  pixman_format_code_t pixman;
};
const DestinationFormat kDestinations[] = {
    {"rgb555", 15, 0, SDL_PIXELFORMAT_XRGB1555, PIXMAN_x1r5g5b5},
    {"rgb565", 16, 0, SDL_PIXELFORMAT_RGB565, PIXMAN_r5g6b5},
    {"rgb24", 24, 0, SDL_PIXELFORMAT_BGR24, PIXMAN_r8g8b8},
    {"rgb32", 32, 0, SDL_PIXELFORMAT_XRGB8888, PIXMAN_x8r8g8b8},
    {"bgr555", 15, 1, SDL_PIXELFORMAT_XBGR1555, PIXMAN_x1b5g5r5},
    {"bgr565", 16, 1, SDL_PIXELFORMAT_BGR565, PIXMAN_b5g6r5},
    {"bgr24", 24, 1, SDL_PIXELFORMAT_RGB24, PIXMAN_b8g8r8},
    {"bgr32", 32, 1, SDL_PIXELFORMAT_XBGR8888, PIXMAN_x8b8g8r8},
};

const bool kWideStateReadable = wide_state::readable();

// Around a row's timed loop: "wide_dirty" is 1 when the loop left the wide
// registers dirty (the row's fault, then cleaned so that it is not charged
// to the next row), "wide_dirty_before" when they were dirty as it began
// (left by set-up or by code between rows, cleaned so the row starts as in
// a well-behaved program).
class WideStateCheck {
 public:
  explicit WideStateCheck(benchmark::State& state) : state_(state) {
    if (!kWideStateReadable) return;
    const bool dirty = wide_state::dirty();
    state_.counters["wide_dirty_before"] = dirty;
    if (dirty) wide_state::clean();
  }
  void after_loop() {
    if (!kWideStateReadable) return;
    const bool dirty = wide_state::dirty();
    state_.counters["wide_dirty"] = dirty;
    if (dirty) wide_state::clean();
  }

 private:
  benchmark::State& state_;
};

int bytes_for(int depth) { return depth == 24 ? 3 : depth == 32 ? 4 : depth <= 8 ? 1 : 2; }

void set_rate(benchmark::State& state, const Size& size) {
  const double pixels = static_cast<double>(size.width) * size.height;
  state.counters["Mpix/s"] =
      benchmark::Counter(pixels * static_cast<double>(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}

// A screen of the source format with random pixels and palette, every line dirty.
bool open_source(const SourceFormat& source, const Size& size) {
  if (set_screen_size(size.width, size.height, source.depth, 1, -1, 0) != 0) return false;
  std::mt19937 rng(1);
  ScreenState* screen = screen_state;
  const size_t bytes = static_cast<size_t>(screen->pitch) * screen->height;
  for (size_t i = 0; i < bytes; ++i) screen->visible_page[i] = static_cast<uint8_t>(rng());
  for (int i = 0; i < 256; ++i) screen->device_palette[i] = rng() & 0x00FFFFFFu;
  std::memset(screen->dirty_lines, 1, static_cast<size_t>(screen->height) * screen->scanline_multiplier);
  return true;
}

std::vector<uint8_t> destination_frame(const DestinationFormat& destination, const Size& size) {
  return std::vector<uint8_t>(static_cast<size_t>(size.width) * bytes_for(destination.depth) * size.height);
}

void run_ours(benchmark::State& state, const SourceFormat& source, const DestinationFormat& destination,
              const Size& size, bool scalar) {
  if (!open_source(source, size)) return state.SkipWithError("screen");
  Blitter blitter = select_blitter(destination.depth, destination.swapped);
  const int index = 4 * (source.depth == 8 ? 0 : source.depth == 16 ? 1 : 2) + (destination.depth == 15 ? 0 : destination.depth == 16 ? 1 : destination.depth == 24 ? 2 : 3);
  if (scalar && blitter != copy_lines) blitter = (destination.swapped ? swapped_blitters : native_blitters)[index];
  if (!blitter) return state.SkipWithError("no blitter");
  const bool vector = blitter == (destination.swapped ? swapped_blitters_mmx : native_blitters_mmx)[index];
  if (vector && source.depth == 32 && destination.depth <= 16 && vector_blitters_wide()) state.SetLabel("avx2");
  std::vector<uint8_t> frame = destination_frame(destination, size);
  const int pitch = size.width * bytes_for(destination.depth);
  WideStateCheck wide(state);
  for (auto _ : state) {
    blitter(frame.data(), pitch);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  wide.after_loop();
  set_rate(state, size);
  close_screen_at_exit();
}

void run_sdl(benchmark::State& state, const SourceFormat& source, const DestinationFormat& destination,
             const Size& size) {
  if (!open_source(source, size)) return state.SkipWithError("screen");
  SDL_Surface* from = SDL_CreateRGBSurfaceWithFormatFrom(screen_state->visible_page, size.width, size.height,
                                                         source.depth, screen_state->pitch, source.sdl);
  std::vector<uint8_t> frame = destination_frame(destination, size);
  const int pitch = size.width * bytes_for(destination.depth);
  SDL_Surface* to = SDL_CreateRGBSurfaceWithFormatFrom(frame.data(), size.width, size.height,
                                                       bytes_for(destination.depth) * 8, pitch, destination.sdl);
  if (!from || !to) return state.SkipWithError(SDL_GetError());
  if (source.depth == 8) {
    SDL_Color colours[256];
    for (int i = 0; i < 256; ++i) {
      const uint32_t e = screen_state->device_palette[i];
      colours[i] = {static_cast<uint8_t>(e), static_cast<uint8_t>(e >> 8), static_cast<uint8_t>(e >> 16), 255};
    }
    SDL_SetPaletteColors(from->format->palette, colours, 0, 256);
  }
  SDL_SetSurfaceBlendMode(from, SDL_BLENDMODE_NONE);
  WideStateCheck wide(state);
  for (auto _ : state) {
    if (SDL_BlitSurface(from, nullptr, to, nullptr) != 0) return state.SkipWithError(SDL_GetError());
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  wide.after_loop();
  set_rate(state, size);
  SDL_FreeSurface(to);
  SDL_FreeSurface(from);
  close_screen_at_exit();
}

void run_pixman(benchmark::State& state, const SourceFormat& source, const DestinationFormat& destination,
                const Size& size) {
  if (!open_source(source, size)) return state.SkipWithError("screen");
  pixman_image_t* from = pixman_image_create_bits(source.pixman, size.width, size.height,
                                                  reinterpret_cast<uint32_t*>(screen_state->visible_page),
                                                  screen_state->pitch);
  static pixman_indexed_t palette;
  if (source.depth == 8) {
    palette.color = 1;
    for (int i = 0; i < 256; ++i) {
      const uint32_t e = screen_state->device_palette[i];
      palette.rgba[i] = 0xFF000000u | (e & 0xFF) << 16 | (e & 0xFF00) | ((e >> 16) & 0xFF);
    }
    pixman_image_set_indexed(from, &palette);
  }
  std::vector<uint8_t> frame = destination_frame(destination, size);
  const int pitch = size.width * bytes_for(destination.depth);
  pixman_image_t* to = pixman_image_create_bits(destination.pixman, size.width, size.height,
                                                reinterpret_cast<uint32_t*>(frame.data()), pitch);
  if (!from || !to) return state.SkipWithError("pixman image");
  WideStateCheck wide(state);
  for (auto _ : state) {
    pixman_image_composite32(PIXMAN_OP_SRC, from, nullptr, to, 0, 0, 0, 0, 0, 0, size.width, size.height);
    benchmark::DoNotOptimize(frame.data());
    benchmark::ClobberMemory();
  }
  wide.after_loop();
  set_rate(state, size);
  pixman_image_unref(to);
  pixman_image_unref(from);
  close_screen_at_exit();
}

void run_memcpy(benchmark::State& state, int bytes_per_pixel, const Size& size) {
  const size_t bytes = static_cast<size_t>(size.width) * size.height * bytes_per_pixel;
  std::vector<uint8_t> from(bytes, 1), to(bytes);
  WideStateCheck wide(state);
  for (auto _ : state) {
    std::memcpy(to.data(), from.data(), bytes);
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
  }
  wide.after_loop();
  set_rate(state, size);
}

// One viewer pass on the Null screen. In instructions (callgrind, counted by
// tools/count_viewer_pass.sh, which run_benchmarks.sh runs after this):
// 43,831 a pass; 72,824 before glyph rows were stored eight pixels at a
// time; 612,089 before the routed key scan (a query per code, answered
// above 127 without a call); 680,530 before 8-bit glyphs were stored without
// a call per pixel; 2,578,504 before the routed key queries were inlined.
void run_viewer(benchmark::State& state) {
  if (set_screen_mode(13, 8, 1, -1, 0) != 0) return state.SkipWithError("screen");
  for (auto _ : state) viewer_draw_page();
  state.SetItemsProcessed(state.iterations());
  close_screen_at_exit();
}

// The same pass with the keyboard map drawn under the page (--map=ansi):
// tools/count_viewer_pass.sh counts it beside the plain one.
void run_viewer_map(benchmark::State& state) {
  if (set_screen_mode(13, 8, 1, -1, 0) != 0) return state.SkipWithError("screen");
  keyboard_map_start(MapLayout::kAnsi, false, kDefaultChatterMs);
  // The boxes are placed once, at the first pass: outside the count, which
  // is of the passes after it (tools/count_viewer_pass.sh counts only inside
  // viewer_draw_page).
  keyboard_map_pass(8);
  viewer_set_below_page(keyboard_map_pass);
  for (auto _ : state) viewer_draw_page();
  viewer_set_below_page(nullptr);
  state.SetItemsProcessed(state.iterations());
  close_screen_at_exit();
}

// The same with the mouse over the box of a pressed key: its figures on the
// status line in place of the count.
void run_viewer_map_hover(benchmark::State& state) {
  if (set_screen_mode(13, 8, 1, -1, 0) != 0) return state.SkipWithError("screen");
  keyboard_map_start(MapLayout::kAnsi, false, kDefaultChatterMs);
  const KeyConsumer map = keyboard_map_consumer();
  constexpr int kA = 0x1E;
  map.key(nullptr, 1000, kA, true, 1);
  map.key(nullptr, 90000, kA, false, 1);
  map.key(nullptr, 150000, kA, true, 1);
  map.key(nullptr, 240000, kA, false, 1);
  keyboard_map_pass(8);
  // The middle of A's box on the ANSI map under the page (tests/e2e).
  post_screen_event(ScreenEvent{MouseMove, {31, 131, 0, 0}});
  keyboard_map_pass(8);  // takes the move, outside the count
  viewer_set_below_page(keyboard_map_pass);
  for (auto _ : state) viewer_draw_page();
  viewer_set_below_page(nullptr);
  state.SetItemsProcessed(state.iterations());
  close_screen_at_exit();
}

// The same with findings marked in their boxes: the number row and the
// letters chattering (their stripes), A marked defect by a click (a cross
// over the stripes), Space held past the stuck time (a bar); a test that
// found much costs this.
int64_t bench_clock_us() { return 100'000'000; }
void run_viewer_map_marks(benchmark::State& state) {
  if (set_screen_mode(13, 8, 1, -1, 0) != 0) return state.SkipWithError("screen");
  keyboard_map_set_clock(bench_clock_us);
  keyboard_map_start(MapLayout::kAnsi, false, kDefaultChatterMs);
  const KeyConsumer map = keyboard_map_consumer();
  int64_t now = 1000;
  for (int key = 0x02; key <= 0x32; ++key) {  // 1 .. M, scancode order
    map.key(nullptr, now, key, true, 1);
    map.key(nullptr, now + 50000, key, false, 1);
    map.key(nullptr, now + 60000, key, true, 1);  // 10 ms after the release
    map.key(nullptr, now + 110000, key, false, 1);
    now += 200000;
  }
  map.key(nullptr, now, 0x39, true, 1);
  keyboard_map_pass(8);
  post_screen_event(ScreenEvent{MouseMove, {31, 131, 0, 0}});
  post_screen_event(ScreenEvent{MouseButtonPress, {kMouseLeftButton, 0, 0, 0}});
  post_screen_event(ScreenEvent{MouseLeave, {0, 0, 0, 0}});
  keyboard_map_pass(8);  // takes the click, outside the count
  viewer_set_below_page(keyboard_map_pass);
  for (auto _ : state) viewer_draw_page();
  viewer_set_below_page(nullptr);
  keyboard_map_set_clock(nullptr);
  state.SetItemsProcessed(state.iterations());
  close_screen_at_exit();
}

std::string size_name(const Size& size) { return std::to_string(size.width) + "x" + std::to_string(size.height); }

void register_all() {
  for (const Size& size : kSizes) {
    for (const SourceFormat& source : kSources) {
      for (const DestinationFormat& destination : kDestinations) {
        const std::string prefix = std::string(source.name) + "_to_" + destination.name + "/";
        const std::string suffix = "/" + size_name(size);
        benchmark::RegisterBenchmark((prefix + "ours" + suffix).c_str(), run_ours, source, destination, size, false);
        benchmark::RegisterBenchmark((prefix + "ours_scalar" + suffix).c_str(), run_ours, source, destination, size, true);
        benchmark::RegisterBenchmark((prefix + "sdl2" + suffix).c_str(), run_sdl, source, destination, size);
        benchmark::RegisterBenchmark((prefix + "pixman" + suffix).c_str(), run_pixman, source, destination, size);
      }
    }
    for (int bytes : {2, 3, 4}) {
      const char* name = bytes == 2 ? "memcpy_rgb565" : bytes == 3 ? "memcpy_rgb24" : "memcpy_rgb32";
      benchmark::RegisterBenchmark((std::string(name) + "/memcpy/" + size_name(size)).c_str(), run_memcpy, bytes, size);
    }
  }
  benchmark::RegisterBenchmark("viewer_pass/ours/null", run_viewer);
  benchmark::RegisterBenchmark("viewer_pass_map/ours/null", run_viewer_map);
  benchmark::RegisterBenchmark("viewer_pass_map_hover/ours/null", run_viewer_map_hover);
  benchmark::RegisterBenchmark("viewer_pass_map_marks/ours/null", run_viewer_map_marks);
}

}  // namespace

int main(int argc, char** argv) {
  runtime_start();
  register_all();
  benchmark::AddCustomContext("wide_path", vector_blitters_wide() ? "avx2" : "none");
  benchmark::AddCustomContext("wide_state_check", kWideStateReadable ? "xgetbv" : "unavailable");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
