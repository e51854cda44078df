// The pixel format an OpenGL screen asks for: the channel sizes chosen once
// per process, the attribute list given to the extended format choice, and
// the multisample retry. No window system here; the OpenGL driver supplies
// the calls.
#pragma once

#include <cstdint>

// Screen flags that only the OpenGL driver reads.
constexpr int32_t kFlagStencil = 0x10000;
constexpr int32_t kFlagAccumulation = 0x20000;
constexpr int32_t kFlagMultisample = 0x40000;

// 0 means not chosen yet; completing fills only such values.
struct GlAttributes {
  int32_t color_bits;
  int32_t red_bits;
  int32_t green_bits;
  int32_t blue_bits;
  int32_t alpha_bits;
  int32_t depth_bits;
  int32_t stencil_bits;
  int32_t accum_bits;
  int32_t accum_red_bits;
  int32_t accum_green_bits;
  int32_t accum_blue_bits;
  int32_t accum_alpha_bits;
  int32_t samples;
};

// The process's request. Never reset: a later OpenGL screen keeps what the
// first one chose, whatever its depth.
extern GlAttributes gl_attributes;

// Fills the values still 0 from the flags and the screen's depth.
void gl_complete_attributes(GlAttributes* attributes, int flags, int screen_depth);

// Names of the extended pixel-format attributes used here.
constexpr int32_t kWglDrawToWindow = 0x2001;
constexpr int32_t kWglAcceleration = 0x2003;
constexpr int32_t kWglDoubleBuffer = 0x2011;
constexpr int32_t kWglColorBits = 0x2014;
constexpr int32_t kWglRedBits = 0x2015;
constexpr int32_t kWglGreenBits = 0x2017;
constexpr int32_t kWglBlueBits = 0x2019;
constexpr int32_t kWglAlphaBits = 0x201B;
constexpr int32_t kWglAccumBits = 0x201D;
constexpr int32_t kWglAccumRedBits = 0x201E;
constexpr int32_t kWglAccumGreenBits = 0x201F;
constexpr int32_t kWglAccumBlueBits = 0x2020;
constexpr int32_t kWglAccumAlphaBits = 0x2021;
constexpr int32_t kWglDepthBits = 0x2022;
constexpr int32_t kWglStencilBits = 0x2023;
constexpr int32_t kWglFullAcceleration = 0x2027;
constexpr int32_t kWglSampleBuffers = 0x2041;
constexpr int32_t kWglSamples = 0x2042;

constexpr int kGlAttributeListSize = 64;

// Name-value pairs ended by 0: the fixed window, acceleration and double
// buffer pairs, the colour and depth sizes, then accumulation, stencil and
// samples only where they are not 0.
void gl_build_attribute_list(const GlAttributes& attributes, int32_t list[kGlAttributeListSize]);

// The value slot of a name in an attribute list, or null.
int32_t* gl_attribute_value(int32_t* list, int32_t name);
const int32_t* gl_attribute_value(const int32_t* list, int32_t name);

// Asks for one format matching the list; false when the call itself failed.
using ChooseFormatByAttributes = bool (*)(void* device, const int32_t* list, int32_t* format,
                                          uint32_t* count);

// The format the extended choice gives, or 0 to fall back on the plain
// choice. A multisampled request that finds nothing is asked again with 2
// and then 0 samples; the list keeps the value last asked for.
int32_t gl_choose_by_attributes(void* device, int32_t* list, ChooseFormatByAttributes choose);

// Multisampling is switched on only when the list still asks for samples.
bool gl_multisample_kept(const int32_t* list);
