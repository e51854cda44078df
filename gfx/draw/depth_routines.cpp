// The per-depth pixel routines for 1, 2 and 4 bytes per pixel and their
// selection once per screen.
#include <cstring>

#include "gfx/draw/draw_context.h"
#include "gfx/screen.h"
#include "gfx/draw/vector_routines.h"

void plain_fill_span_16(uint8_t* address, uint32_t colour, int count) {
  const auto value = static_cast<uint16_t>(colour);
  for (int i = 0; i < count; ++i) std::memcpy(address + 2 * i, &value, 2);
}

void plain_fill_span_32(uint8_t* address, uint32_t colour, int count) {
  for (int i = 0; i < count; ++i) std::memcpy(address + 4 * i, &colour, 4);
}

namespace {

void plain_block_fill(void* address, int byte, uint32_t count) { std::memset(address, byte, count); }
void plain_block_copy(void* address, const void* source, uint32_t count) {
  std::memmove(address, source, count);
}

void put_pixel_8(DrawContext* context, int x, int y, uint32_t colour) {
  context->lines[y][x] = static_cast<uint8_t>(colour);
}
void put_pixel_16(DrawContext* context, int x, int y, uint32_t colour) {
  const auto value = static_cast<uint16_t>(colour);
  std::memcpy(context->lines[y] + 2 * x, &value, 2);
}
void put_pixel_32(DrawContext* context, int x, int y, uint32_t colour) {
  std::memcpy(context->lines[y] + 4 * x, &colour, 4);
}

uint32_t get_pixel_8(DrawContext* context, int x, int y) { return context->lines[y][x]; }
uint32_t get_pixel_16(DrawContext* context, int x, int y) {
  uint16_t value;
  std::memcpy(&value, context->lines[y] + 2 * x, 2);
  return value;
}
uint32_t get_pixel_32(DrawContext* context, int x, int y) {
  uint32_t value;
  std::memcpy(&value, context->lines[y] + 4 * x, 4);
  return value;
}

void fill_span_8(uint8_t* address, uint32_t colour, int count) {
  if (count > 0) block_fill(address, static_cast<uint8_t>(colour), static_cast<uint32_t>(count));
}
constexpr FillSpanFn fill_span_16 = plain_fill_span_16;
constexpr FillSpanFn fill_span_32 = plain_fill_span_32;

void copy_span_8(uint8_t* address, const uint8_t* source, int count) {
  if (count > 0) block_copy(address, source, static_cast<uint32_t>(count));
}
void copy_span_16(uint8_t* address, const uint8_t* source, int count) {
  if (count > 0) block_copy(address, source, static_cast<uint32_t>(count) * 2);
}
void copy_span_32(uint8_t* address, const uint8_t* source, int count) {
  if (count > 0) block_copy(address, source, static_cast<uint32_t>(count) * 4);
}

bool screen_blends() { return screen_state && (screen_state->flags & kScreenBlended); }

void put_pixel_blend_32(DrawContext* context, int x, int y, uint32_t colour) {
  if (!screen_blends()) {
    put_pixel_32(context, x, y, colour);
    return;
  }
  uint32_t old;
  std::memcpy(&old, context->lines[y] + 4 * x, 4);
  const uint32_t blended = blend_pixel(colour, old);
  std::memcpy(context->lines[y] + 4 * x, &blended, 4);
}

void fill_span_blend_32(uint8_t* address, uint32_t colour, int count) {
  if (!screen_blends()) {
    fill_span_32(address, colour, count);
    return;
  }
  for (int i = 0; i < count; ++i) {
    uint32_t old;
    std::memcpy(&old, address + 4 * i, 4);
    const uint32_t blended = blend_pixel(colour, old);
    std::memcpy(address + 4 * i, &blended, 4);
  }
}

template <typename T>
T pick(T vector, T plain, bool use_vector) {
  return use_vector && vector ? vector : plain;
}

}  // namespace

DepthRoutines depth_routines{put_pixel_8, put_pixel_8, get_pixel_8, fill_span_8, fill_span_8, copy_span_8};
BlockFillFn block_fill = plain_block_fill;
BlockCopyFn block_copy = plain_block_copy;

uint32_t blend_pixel(uint32_t s, uint32_t d) {
  const uint32_t a = s >> 24;
  const uint32_t rb =
      ((d & 0x00FF00FFu) + ((((s & 0x00FF00FFu) - (d & 0x00FF00FFu)) * a) >> 8)) & 0x00FF00FFu;
  const uint32_t g =
      ((d & 0x0000FF00u) + ((((s & 0x0000FF00u) - (d & 0x0000FF00u)) * a) >> 8)) & 0x0000FF00u;
  return rb | g | (s & 0xFF000000u);
}

void select_depth_routines(int bytes_per_pixel) {
  const bool mmx = (cpu_features() & (1u << 23)) != 0;
  const VectorRoutines& vector = vector_routines();
  if (mmx && screen_state) screen_state->flags |= kScreenHasMmx;
  block_fill = pick(vector.block_fill, plain_block_fill, mmx);
  block_copy = pick(vector.block_copy, plain_block_copy, mmx);
  const bool use_vector = screen_state && (screen_state->flags & kScreenHasMmx);

  if (bytes_per_pixel == 1) {
    depth_routines = {put_pixel_8, put_pixel_8, get_pixel_8, fill_span_8, fill_span_8, copy_span_8};
  } else if (bytes_per_pixel == 2) {
    FillSpanFn fill = pick(vector.fill_span_16, fill_span_16, use_vector);
    depth_routines = {put_pixel_16, put_pixel_16, get_pixel_16, fill, fill, copy_span_16};
  } else {
    depth_routines = {put_pixel_32,
                      pick(vector.put_pixel_blend_32, put_pixel_blend_32, use_vector),
                      get_pixel_32,
                      pick(vector.fill_span_32, fill_span_32, use_vector),
                      pick(vector.fill_span_blend_32, fill_span_blend_32, use_vector),
                      copy_span_32};
  }
}
