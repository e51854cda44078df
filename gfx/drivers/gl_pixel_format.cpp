// Completing the OpenGL pixel-format request and choosing a format by
// attributes, with the multisample retry.
#include "gfx/drivers/gl_pixel_format.h"

GlAttributes gl_attributes{};

namespace {

// Channel sizes by bytes per pixel less one (capped at 3): 16 bits get
// 5-5-5 without alpha, 24 bits 8-8-8, 32 bits 8-8-8-8.
constexpr int32_t kChannelBits[4] = {0, 5, 8, 8};
constexpr int32_t kAlphaBits[4] = {0, 0, 0, 8};

constexpr int32_t kDefaultDepthBits = 16;
constexpr int32_t kDefaultStencilBits = 8;
constexpr int32_t kDefaultAccumBits = 32;
constexpr int32_t kDefaultSamples = 4;
constexpr int32_t kSampleStep = 2;
constexpr int32_t kMostSamples = 64;

void fill(int32_t* value, int32_t by_default) {
  if (*value == 0) *value = by_default;
}

// Bytes per pixel less one for a size in bits, capped at 3; negative for 0.
int size_class(int32_t bits) {
  const int64_t k = (static_cast<int64_t>(bits) + 7) / 8 - 1;
  return k > 3 ? 3 : static_cast<int>(k);
}

// The sum of four channel sizes, held to the range of a size: sizes set by
// the program may be anything.
int32_t channel_sum(int32_t a, int32_t b, int32_t c, int32_t d) {
  const int64_t sum = static_cast<int64_t>(a) + b + c + d;
  return sum > INT32_MAX ? INT32_MAX : sum < INT32_MIN ? INT32_MIN : static_cast<int32_t>(sum);
}

struct ListWriter {
  int32_t* list;
  int used;
  void pair(int32_t name, int32_t value) {
    // Room is kept for the terminator; the longest list needs 35 entries.
    if (used + 2 >= kGlAttributeListSize) return;
    list[used++] = name;
    list[used++] = value;
  }
  void pair_unless_zero(int32_t name, int32_t value) {
    if (value != 0) pair(name, value);
  }
};

}  // namespace

void gl_complete_attributes(GlAttributes* a, int flags, int screen_depth) {
  if (!a) return;
  fill(&a->color_bits, channel_sum(a->red_bits, a->green_bits, a->blue_bits, a->alpha_bits));
  fill(&a->color_bits, screen_depth);
  const int k = size_class(a->color_bits);
  if (k >= 0) {
    fill(&a->red_bits, kChannelBits[k]);
    fill(&a->green_bits, kChannelBits[k]);
    fill(&a->blue_bits, kChannelBits[k]);
    fill(&a->alpha_bits, kAlphaBits[k]);
  }

  fill(&a->accum_bits, channel_sum(a->accum_red_bits, a->accum_green_bits, a->accum_blue_bits, a->accum_alpha_bits));
  int accum_class = size_class(a->accum_bits);
  if (accum_class < 0 && (flags & kFlagAccumulation)) {
    a->accum_bits = kDefaultAccumBits;
    accum_class = 3;
  }
  if (accum_class >= 0) {
    fill(&a->accum_red_bits, kChannelBits[accum_class]);
    fill(&a->accum_green_bits, kChannelBits[accum_class]);
    fill(&a->accum_blue_bits, kChannelBits[accum_class]);
    fill(&a->accum_alpha_bits, kAlphaBits[accum_class]);
  }

  fill(&a->depth_bits, kDefaultDepthBits);
  if (flags & kFlagStencil) fill(&a->stencil_bits, kDefaultStencilBits);
  if (flags & kFlagMultisample) fill(&a->samples, kDefaultSamples);
}

void gl_build_attribute_list(const GlAttributes& a, int32_t list[kGlAttributeListSize]) {
  if (!list) return;
  ListWriter writer{list, 0};
  writer.pair(kWglDrawToWindow, 1);
  writer.pair(kWglAcceleration, kWglFullAcceleration);
  writer.pair(kWglDoubleBuffer, 1);
  writer.pair(kWglColorBits, a.color_bits);
  writer.pair(kWglRedBits, a.red_bits);
  writer.pair(kWglGreenBits, a.green_bits);
  writer.pair(kWglBlueBits, a.blue_bits);
  writer.pair(kWglAlphaBits, a.alpha_bits);
  writer.pair(kWglDepthBits, a.depth_bits);
  writer.pair_unless_zero(kWglAccumBits, a.accum_bits);
  writer.pair_unless_zero(kWglAccumRedBits, a.accum_red_bits);
  writer.pair_unless_zero(kWglAccumGreenBits, a.accum_green_bits);
  writer.pair_unless_zero(kWglAccumBlueBits, a.accum_blue_bits);
  writer.pair_unless_zero(kWglAccumAlphaBits, a.accum_alpha_bits);
  writer.pair_unless_zero(kWglStencilBits, a.stencil_bits);
  if (a.samples != 0) {
    writer.pair(kWglSampleBuffers, 1);
    writer.pair(kWglSamples, a.samples);
  }
  for (int i = writer.used; i < kGlAttributeListSize; ++i) list[i] = 0;
}

const int32_t* gl_attribute_value(const int32_t* list, int32_t name) {
  if (!list) return nullptr;
  for (int i = 0; i + 1 < kGlAttributeListSize && list[i] != 0; i += 2)
    if (list[i] == name) return &list[i + 1];
  return nullptr;
}

int32_t* gl_attribute_value(int32_t* list, int32_t name) {
  return const_cast<int32_t*>(gl_attribute_value(static_cast<const int32_t*>(list), name));
}

int32_t gl_choose_by_attributes(void* device, int32_t* list, ChooseFormatByAttributes choose) {
  if (!choose || !list) return 0;
  int32_t* samples = gl_attribute_value(list, kWglSamples);
  for (;;) {
    int32_t format = 0;
    uint32_t count = 0;
    if (choose(device, list, &format, &count) && count > 0) return format;  // 0: the plain choice
    // 4, 2, 0, then the plain choice; checked before lowering so that no
    // value can wrap.
    if (!samples || *samples < kSampleStep) return 0;
    // No system offers more samples than this; stepping down by 2 from a
    // larger count would ask (and wait for) the system a billion times.
    *samples = *samples > kMostSamples ? kMostSamples : *samples - kSampleStep;
  }
}

bool gl_multisample_kept(const int32_t* list) {
  const int32_t* samples = gl_attribute_value(list, kWglSamples);
  return samples && *samples > 0;
}
