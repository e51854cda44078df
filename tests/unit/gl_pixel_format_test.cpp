// The OpenGL pixel-format request: completing the channel sizes, the
// attribute list, the multisample retry, and the extension text.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "gfx/drivers/gl_extensions.h"
#include "gfx/drivers/gl_pixel_format.h"
#include "gfx/screen.h"

namespace {

// The pairs of a list after the three fixed ones, by name; fails on a list
// that is not ended within its size.
std::map<int32_t, int32_t> built_pairs(int flags, int depth, GlAttributes attributes = {}) {
  gl_complete_attributes(&attributes, flags, depth);
  int32_t list[kGlAttributeListSize];
  gl_build_attribute_list(attributes, list);
  EXPECT_EQ(list[0], kWglDrawToWindow);
  EXPECT_EQ(list[1], 1);
  EXPECT_EQ(list[2], kWglAcceleration);
  EXPECT_EQ(list[3], kWglFullAcceleration);
  EXPECT_EQ(list[4], kWglDoubleBuffer);
  EXPECT_EQ(list[5], 1);
  std::map<int32_t, int32_t> pairs;
  int i = 6;
  for (; i + 1 < kGlAttributeListSize && list[i] != 0; i += 2) {
    EXPECT_EQ(pairs.count(list[i]), 0u) << "twice: " << list[i];
    pairs[list[i]] = list[i + 1];
  }
  EXPECT_EQ(list[i], 0) << "list not ended";
  return pairs;
}

using Pairs = std::map<int32_t, int32_t>;

TEST(GlAttributeList, TrueColourAsksForEightBitChannelsAndNothingOptional) {
  EXPECT_EQ(built_pairs(kFlagOpenGL, 32), (Pairs{{kWglColorBits, 32},
                                                 {kWglRedBits, 8},
                                                 {kWglGreenBits, 8},
                                                 {kWglBlueBits, 8},
                                                 {kWglAlphaBits, 8},
                                                 {kWglDepthBits, 16}}));
}

TEST(GlAttributeList, HiColourAsksForFiveBitChannelsWithoutAlpha) {
  EXPECT_EQ(built_pairs(kFlagOpenGL, 16), (Pairs{{kWglColorBits, 16},
                                                 {kWglRedBits, 5},
                                                 {kWglGreenBits, 5},
                                                 {kWglBlueBits, 5},
                                                 {kWglAlphaBits, 0},
                                                 {kWglDepthBits, 16}}));
  // 15 bits: the same channels; 24 bits: no alpha either.
  EXPECT_EQ(built_pairs(kFlagOpenGL, 15)[kWglRedBits], 5);
  EXPECT_EQ(built_pairs(kFlagOpenGL, 24)[kWglAlphaBits], 0);
  EXPECT_EQ(built_pairs(kFlagOpenGL, 24)[kWglRedBits], 8);
}

TEST(GlAttributeList, AccumulationStencilAndSamplesEachGetTheirOwnEntries) {
  Pairs accumulation = built_pairs(kFlagOpenGL | kFlagAccumulation, 32);
  EXPECT_EQ(accumulation[kWglAccumBits], 32);
  for (int32_t channel : {kWglAccumRedBits, kWglAccumGreenBits, kWglAccumBlueBits, kWglAccumAlphaBits})
    EXPECT_EQ(accumulation[channel], 8) << std::hex << channel;
  EXPECT_EQ(accumulation.count(kWglStencilBits), 0u);
  EXPECT_EQ(accumulation.count(kWglSamples), 0u);

  Pairs stencil = built_pairs(kFlagOpenGL | kFlagStencil, 16);
  EXPECT_EQ(stencil[kWglStencilBits], 8);
  EXPECT_EQ(stencil.count(kWglAccumBits), 0u);

  Pairs samples = built_pairs(kFlagOpenGL | kFlagMultisample, 32);
  EXPECT_EQ(samples[kWglSampleBuffers], 1);
  EXPECT_EQ(samples[kWglSamples], 4);

  // Everything at once still ends within the list.
  EXPECT_EQ(built_pairs(kFlagOpenGL | kFlagAccumulation | kFlagStencil | kFlagMultisample, 32).size(), 14u);
}

TEST(GlAttributes, ChosenValuesAreKeptAndOnlyZerosFilled) {
  // Channels given without a total: the total is their sum, and the
  // defaults of that size fill only what is still 0.
  GlAttributes given{};
  given.red_bits = 5;
  given.green_bits = 6;
  given.blue_bits = 5;
  given.depth_bits = 24;
  given.accum_red_bits = 16;
  given.accum_green_bits = 16;
  gl_complete_attributes(&given, kFlagOpenGL, 32);
  EXPECT_EQ(given.color_bits, 16);
  EXPECT_EQ(given.green_bits, 6);
  EXPECT_EQ(given.alpha_bits, 0);
  EXPECT_EQ(given.depth_bits, 24);
  EXPECT_EQ(given.accum_bits, 32);
  EXPECT_EQ(given.accum_red_bits, 16);
  EXPECT_EQ(given.accum_blue_bits, 8);
  EXPECT_EQ(given.accum_alpha_bits, 8);
  EXPECT_EQ(given.samples, 0);
}

TEST(GlAttributes, ALaterScreenOfAnotherDepthKeepsTheFirstSizes) {
  GlAttributes process{};
  gl_complete_attributes(&process, kFlagOpenGL | kFlagMultisample, 32);
  gl_complete_attributes(&process, kFlagOpenGL, 16);
  EXPECT_EQ(process.color_bits, 32);
  EXPECT_EQ(process.red_bits, 8);
  EXPECT_EQ(process.alpha_bits, 8);
  // Multisampling asked for once stays asked for.
  EXPECT_EQ(process.samples, 4);
}

// A stand-in for the extended choice: records the samples of each request
// and answers as told.
struct FakeChooser {
  std::vector<int32_t> samples_asked;
  int32_t accept_at_samples = -100;  // never
  bool call_fails = false;
  int32_t format_when_accepting = 7;
};

bool fake_choose(void* device, const int32_t* list, int32_t* format, uint32_t* count) {
  auto* fake = static_cast<FakeChooser*>(device);
  const int32_t* samples = gl_attribute_value(list, kWglSamples);
  fake->samples_asked.push_back(samples ? *samples : -1);
  if (fake->call_fails) return false;
  const bool accepted = (samples ? *samples : -1) == fake->accept_at_samples;
  *count = accepted ? 1 : 0;
  *format = accepted ? fake->format_when_accepting : 0;
  return true;
}

std::vector<int32_t> built_list(int flags) {
  GlAttributes attributes{};
  gl_complete_attributes(&attributes, flags, 32);
  std::vector<int32_t> list(kGlAttributeListSize);
  gl_build_attribute_list(attributes, list.data());
  return list;
}

TEST(GlFormatChoice, RefusedMultisamplingIsRetriedDownToTheFallback) {
  for (bool fails : {false, true}) {
    std::vector<int32_t> list = built_list(kFlagOpenGL | kFlagMultisample);
    FakeChooser fake;
    fake.call_fails = fails;
    EXPECT_EQ(gl_choose_by_attributes(&fake, list.data(), fake_choose), 0);
    EXPECT_EQ(fake.samples_asked, (std::vector<int32_t>{4, 2, 0})) << fails;
    EXPECT_FALSE(gl_multisample_kept(list.data()));
  }
}

TEST(GlFormatChoice, TheFirstSampleCountFoundIsKept) {
  std::vector<int32_t> list = built_list(kFlagOpenGL | kFlagMultisample);
  FakeChooser fake;
  fake.accept_at_samples = 2;
  EXPECT_EQ(gl_choose_by_attributes(&fake, list.data(), fake_choose), 7);
  EXPECT_EQ(fake.samples_asked, (std::vector<int32_t>{4, 2}));
  EXPECT_TRUE(gl_multisample_kept(list.data()));
}

TEST(GlFormatChoice, WithoutSamplesThereIsOneRequest) {
  std::vector<int32_t> list = built_list(kFlagOpenGL);
  FakeChooser refusing;
  EXPECT_EQ(gl_choose_by_attributes(&refusing, list.data(), fake_choose), 0);
  EXPECT_EQ(refusing.samples_asked.size(), 1u);
  EXPECT_FALSE(gl_multisample_kept(list.data()));

  // A success that names format 0 goes to the fallback at once.
  std::vector<int32_t> sampled = built_list(kFlagOpenGL | kFlagMultisample);
  FakeChooser zero;
  zero.accept_at_samples = 4;
  zero.format_when_accepting = 0;
  EXPECT_EQ(gl_choose_by_attributes(&zero, sampled.data(), fake_choose), 0);
  EXPECT_EQ(zero.samples_asked.size(), 1u);

  EXPECT_EQ(gl_choose_by_attributes(&zero, sampled.data(), nullptr), 0);
  EXPECT_EQ(gl_choose_by_attributes(&zero, nullptr, fake_choose), 0);
}

std::string composed(const char* gl_text, const char* wgl_text, size_t size = kGlExtensionsSize) {
  std::vector<char> buffer(size, 'x');
  gl_compose_extensions(buffer.data(), size, gl_text, wgl_text);
  EXPECT_NE(std::find(buffer.begin(), buffer.end(), '\0'), buffer.end());
  return buffer.data();
}

TEST(GlExtensions, TheTwoTextsNeverRunTogether) {
  EXPECT_EQ(composed("GL_A GL_EXT_bgra ", "WGL_B "), "GL_A GL_EXT_bgra WGL_B ");
  EXPECT_EQ(composed("GL_A GL_EXT_bgra", "WGL_B"), "GL_A GL_EXT_bgra WGL_B");
  EXPECT_EQ(composed("GL_A", nullptr), "GL_A");
  EXPECT_EQ(composed(nullptr, "WGL_B"), "WGL_B");
  EXPECT_EQ(composed(nullptr, nullptr), "");
}

TEST(GlExtensions, LongTextsAreCutInsideTheBuffer) {
  const std::string gl_text(20000, 'g');
  EXPECT_EQ(composed(gl_text.c_str(), "WGL_B").size(), kGlExtensionsSize - 1);
  const std::string half(10000, 'h');
  const std::string both = composed(half.c_str(), gl_text.c_str());
  EXPECT_EQ(both.size(), kGlExtensionsSize - 1);
  EXPECT_EQ(both.substr(9999, 3), "h g");
  EXPECT_EQ(composed("GL_A GL_B", "WGL_C", 6), "GL_A ");
  gl_compose_extensions(nullptr, 10, "GL_A", "WGL_B");  // no buffer: nothing happens
}

TEST(GlExtensions, OnlyWholeNamesCount) {
  EXPECT_TRUE(extension_listed("GL_EXT_bgra", "GL_EXT_bgra"));
  EXPECT_TRUE(extension_listed("GL_A GL_EXT_bgra GL_B", "GL_EXT_bgra"));
  // The start of a longer name, and the end of one, are not the name.
  EXPECT_FALSE(extension_listed("GL_EXT_bgrax GL_A", "GL_EXT_bgra"));
  EXPECT_FALSE(extension_listed("GL_ARB_multisample WGL_ARB_multisample_x", "WGL_ARB_multisample"));
  EXPECT_FALSE(extension_listed("WGL_ARB_multisample", "GL_ARB_multisample"));
  // A false match earlier does not hide the real one later.
  EXPECT_TRUE(extension_listed("GL_EXT_bgrax GL_EXT_bgra", "GL_EXT_bgra"));
  EXPECT_TRUE(extension_listed("WGL_ARB_multisample GL_ARB_multisample", "GL_ARB_multisample"));
  EXPECT_FALSE(extension_listed("", "GL_EXT_bgra"));
  EXPECT_FALSE(extension_listed(nullptr, "GL_EXT_bgra"));
  EXPECT_FALSE(extension_listed("GL_A", ""));
  EXPECT_FALSE(extension_listed("GL_A", nullptr));
}

}  // namespace
