// Vector forms of the block and span routines. Each writes exactly what its
// plain twin writes, for every count and alignment.
#pragma once

#include "gfx/draw/draw_context.h"

struct VectorRoutines {
  BlockFillFn block_fill;
  BlockCopyFn block_copy;
  FillSpanFn fill_span_16;
  FillSpanFn fill_span_32;
  PutPixelFn put_pixel_blend_32;
  FillSpanFn fill_span_blend_32;
};

// The vector routines for this processor, chosen once; null entries where no
// vector form applies.
const VectorRoutines& vector_routines();
