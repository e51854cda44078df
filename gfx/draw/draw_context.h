// The drawing state of the graphics screen and its per-depth pixel routines.
#pragma once

#include <cstdint>

struct DrawContext;

using PutPixelFn = void (*)(DrawContext* context, int x, int y, uint32_t colour);
using GetPixelFn = uint32_t (*)(DrawContext* context, int x, int y);
using FillSpanFn = void (*)(uint8_t* address, uint32_t colour, int count);
using CopySpanFn = void (*)(uint8_t* address, const uint8_t* source, int count);
using BlockFillFn = void (*)(void* address, int byte, uint32_t count);
using BlockCopyFn = void (*)(void* address, const void* source, uint32_t count);

struct DrawContext {
  int32_t screen_id;
  int32_t work_page;
  uint8_t** lines;
  int32_t line_capacity;
  int32_t target_bytes_per_pixel;
  int32_t target_pitch;
  float last_x, last_y;
  int32_t view_x, view_y, view_width, view_height;
  uint32_t foreground, background;
  PutPixelFn put_pixel;
  GetPixelFn get_pixel;
  FillSpanFn fill_span;
  uint32_t flags;
};

constexpr uint32_t kContextRebuildLines = 0x1;
constexpr uint32_t kContextViewportSet = 0x10;

// The process-wide routine set, chosen by select_depth_routines.
struct DepthRoutines {
  PutPixelFn put_pixel;
  PutPixelFn put_pixel_blend;
  GetPixelFn get_pixel;
  FillSpanFn fill_span;
  FillSpanFn fill_span_blend;
  CopySpanFn copy_span;
};
extern DepthRoutines depth_routines;
extern BlockFillFn block_fill;
extern BlockCopyFn block_copy;

DrawContext* get_draw_context();
void use_screen_target(DrawContext* context);
void select_color_routines(DrawContext* context, uint32_t colour);
void select_depth_routines(int bytes_per_pixel);
uint32_t cpu_features();

// The context's work page is the visible page.
bool work_page_is_visible(const DrawContext* context);

// The blend of colour s (alpha in its top byte) over pixel d: each colour
// byte becomes d + floor((s - d) * a / 256); the alpha byte is the colour's.
uint32_t blend_pixel(uint32_t s, uint32_t d);

// The plain forms, for the vector forms' tests and fallbacks.
void plain_fill_span_16(uint8_t* address, uint32_t colour, int count);
void plain_fill_span_32(uint8_t* address, uint32_t colour, int count);
