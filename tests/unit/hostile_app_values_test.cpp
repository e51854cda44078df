// The key log, its options and the portable driver helpers called with the
// values a careless or hostile caller passes: the int and time extremes,
// unknown key ids, null pointers and buffers too small for what they get.
// Every result must be the documented one for bad input; nothing may crash,
// overflow (the sanitizers watch) or hang.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "keys/log/key_log.h"
#include "keys/log/key_log_format.h"
#include "keys/log/key_logger.h"
#include "keys/key_names.h"
#include "app/options.h"
#include "keys/source/raw_key_decode.h"
#include "gfx/drivers/blitters.h"
#include "gfx/drivers/changed_lines.h"
#include "gfx/drivers/gl_extensions.h"
#include "gfx/drivers/gl_pixel_format.h"
#include "gfx/drivers/video_driver.h"
#include "gfx/screen.h"
#include "support/hostile_values.h"

namespace {

using hostile::for_each_pair;
using hostile::for_each_triple;
using hostile::for_each_value;
using hostile::kFewInts;
using hostile::kInts;

constexpr int64_t kTimes[] = {INT64_MIN, INT64_MIN + 1, -1000001, -1, 0, 1, 499, 500, 30000,
                              INT32_MAX, INT64_MAX - 1, INT64_MAX};

void collect(void* context, const char* text, size_t length) {
  static_cast<std::string*>(context)->append(text, length);
}

// Every line a format writes ends in a newline and holds no NUL.
void expect_whole_lines(const std::string& text) {
  if (text.empty()) return;
  EXPECT_EQ(text.back(), '\n');
  EXPECT_EQ(text.find('\0'), std::string::npos);
}

constexpr LogFormat kFormats[] = {LogFormat::kNone, LogFormat::kText, LogFormat::kCsv, LogFormat::kJsonl,
                                  static_cast<LogFormat>(-1), static_cast<LogFormat>(99)};

TEST(HostileOptions, AnyArgumentCountAndNullEntriesAreNoArguments) {
  const char* const argv[] = {"prog", nullptr, "--bogus"};
  for_each_value(kInts, [&](int argc) {
    ViewerOptions options;
    options.help = true;
    char error[8] = "x";
    // Counts beyond the list stop at its null entry.
    EXPECT_EQ(parse_options(argc, argv, &options, error, sizeof error), 0) << argc;
    EXPECT_FALSE(options.help);
    EXPECT_STREQ(error, "");
    EXPECT_EQ(parse_options(argc, nullptr, &options, error, sizeof error), 0);
    EXPECT_EQ(parse_options(argc, argv, nullptr, error, sizeof error), -1);
  });
  const char* const null_first[] = {nullptr, "--log", nullptr};
  ViewerOptions options;
  EXPECT_EQ(parse_options(2, null_first, &options, nullptr, 0), 0);
  EXPECT_EQ(options.log_format, LogFormat::kText);
}

TEST(HostileOptions, HugeNumbersAndOddValuesAreRefusedWithACutMessage) {
  const std::string long_digits(5000, '9');
  const std::string long_argument = "--" + std::string(5000, 'x');
  const char* const values[] = {"0", "-1", "1001", "2147483648", "4294967297", "99999999999999999999",
                                long_digits.c_str(), "", " 5", "5 ", "+5", "0x10", "1e3"};
  for (const char* value : values) {
    const std::string joined = std::string("--chatter-ms=") + value;
    for (size_t size : {size_t{0}, size_t{1}, size_t{2}, size_t{16}, size_t{4096}}) {
      ViewerOptions options;
      std::string error(size + 1, '#');
      const char* const separate[] = {"p", "--chatter-ms", value};
      EXPECT_EQ(parse_options(3, separate, &options, size ? error.data() : nullptr, size), -1) << value;
      const char* const together[] = {"p", joined.c_str()};
      EXPECT_EQ(parse_options(2, together, &options, error.data(), size), -1) << value;
      EXPECT_EQ(error[size], '#');  // nothing written past the given size
      if (size > 0) {
        EXPECT_LT(std::strlen(error.c_str()), size);
      }
      EXPECT_EQ(options.chatter_ms, kDefaultChatterMs);
    }
  }
  for (const char* arg : {"--chatter-ms", "--log=", "--log=TEXT", "-", long_argument.c_str(), ""}) {
    const char* const argv[] = {"p", arg};
    ViewerOptions options;
    char error[32];
    EXPECT_EQ(parse_options(2, argv, &options, error, sizeof error), -1) << arg;
    EXPECT_LT(std::strlen(error), sizeof error);
  }
  // A language's value of any bytes: refused, the message within its size.
  const std::string long_language = "d" + std::string(5000, 'e');
  for (const char* value : {"d", "dee", "de ", " de", "de\n", "\xC3\xA4", "e\xFF", "de-AT", "en_US.UTF-8",
                            long_language.c_str(), ""}) {
    for (size_t size : {size_t{0}, size_t{1}, size_t{16}, size_t{4096}}) {
      ViewerOptions options;
      std::string error(size + 1, '#');
      const char* const separate[] = {"p", "--lang", value};
      EXPECT_EQ(parse_options(3, separate, &options, size ? error.data() : nullptr, size), -1) << value;
      EXPECT_EQ(error[size], '#');
      if (size > 0) {
        EXPECT_LT(std::strlen(error.c_str()), size);
      }
      EXPECT_FALSE(options.language_given);
    }
  }
  const char* const bounds[] = {"p", "--chatter-ms", "1000", "--chatter-ms=1"};
  ViewerOptions options;
  EXPECT_EQ(parse_options(4, bounds, &options, nullptr, 0), 0);
  EXPECT_EQ(options.chatter_ms, 1);
}

TEST(HostileKeyNames, EveryIntNamesAKeyOrUnknown) {
  for_each_value(kInts, [](int key) {
    ASSERT_NE(key_name(key), nullptr);
    ASSERT_NE(key_prefix_text(key), nullptr);
    if (key < 0 || key >= kKeyIdCount) {
      EXPECT_STREQ(key_name(key), "Unknown") << key;
    }
    EXPECT_GE(key_id_scancode(key), 0);
    EXPECT_LE(key_id_scancode(key), 0xFF);
    EXPECT_GE(key_id_prefix(key), 0);
    EXPECT_LE(key_id_prefix(key), 3);
  });
  for_each_pair(kInts, [](int scancode, int prefix) {
    const int key = make_key_id(scancode, prefix);
    EXPECT_GE(key, 0);
    EXPECT_LT(key, 4 << 8);
    EXPECT_NE(key_name(key), nullptr);
  });
  for (int key = 0; key < (4 << 8); ++key) EXPECT_NE(key_name(key), nullptr);
}

TEST(HostileRawKeys, AnyRecordGivesAKeyIdOrMinusOne) {
  for_each_triple(kFewInts, [](int make_code, int flags, int virtual_key) {
    const int key = raw_key_id(make_code, flags, virtual_key);
    EXPECT_GE(key, -1);
    EXPECT_LT(key, kKeyIdCount);
  });
  for (int make_code : {-1, 0, 0x7F, 0x80, 0xFF, 0x100}) {
    for (int virtual_key = -1; virtual_key <= 0x100; ++virtual_key) {
      const int key = raw_key_id(make_code, kRawKeyE0 | kRawKeyE1 | kRawKeyBreak, virtual_key);
      EXPECT_GE(key, -1);
      EXPECT_LT(key, kKeyIdCount);
    }
  }
}

TEST(HostileKeyLog, ExtremeTimesKeysAndCapacities) {
  auto* log = static_cast<KeyLog*>(std::calloc(1, sizeof(KeyLog)));
  ASSERT_NE(log, nullptr);
  key_log_reset(nullptr, 5);
  for_each_value(kInts, [&](int chatter_ms) {
    key_log_reset(log, chatter_ms);
    EXPECT_GE(log->chatter_us, kMinChatterMs * 1000);
    EXPECT_LE(log->chatter_us, kMaxChatterMs * 1000);
  });
  KeyLogLine line{};
  for_each_value(kInts, [&](int key) {
    if (key >= 0 && key < kKeyIdCount) return;
    EXPECT_FALSE(key_log_record(log, 0, key, true, &line)) << key;
  });
  EXPECT_FALSE(key_log_record(nullptr, 0, 1, true, &line));
  EXPECT_FALSE(key_log_record(log, 0, 1, true, nullptr));
  // Presses and releases at every pair of extreme times: the gap is never
  // negative, and a press after a release at a time from the start on has
  // one (times before the start are no release to measure from).
  for (int64_t release : kTimes) {
    for (int64_t press : kTimes) {
      key_log_reset(log, 30);
      ASSERT_TRUE(key_log_record(log, 0, 0x1E, true, &line));
      ASSERT_TRUE(key_log_record(log, release, 0x1E, false, &line));
      ASSERT_TRUE(key_log_record(log, press, 0x1E, true, &line));
      EXPECT_GE(line.gap_us, release < 0 ? -1 : 0) << release << " " << press;
      EXPECT_GE(log->keys[0x1E].smallest_gap_us, release < 0 ? -1 : 0);
    }
  }
  // Release-all with capacities that disagree with the buffer it is given.
  key_log_reset(log, 30);
  for (int key = 0; key < 40; ++key) key_log_record(log, key, key, true, &line);
  KeyLogLine lines[16];
  for_each_value(kInts, [&](int capacity) {
    if (capacity > 0) return;
    EXPECT_EQ(key_log_release_all(log, 0, lines, capacity), 0) << capacity;
  });
  EXPECT_EQ(key_log_release_all(nullptr, 0, lines, 16), 0);
  EXPECT_EQ(key_log_release_all(log, 0, nullptr, 16), 0);
  int released = 0;
  for (int count; (count = key_log_release_all(log, INT64_MIN, lines, 16)) > 0;) released += count;
  EXPECT_EQ(released, 40);
  EXPECT_EQ(log->held, 0);
  std::free(log);
}

TEST(HostileKeyLogFormat, ExtremeLinesAndSummariesInEveryFormat) {
  auto* log = static_cast<KeyLog*>(std::calloc(1, sizeof(KeyLog)));
  ASSERT_NE(log, nullptr);
  key_log_reset(log, 1);
  KeyLogLine line{};
  for (int key = 0; key < kKeyIdCount; ++key) key_log_record(log, 0, key, true, &line);
  for (int key = 0; key < kKeyIdCount; ++key) key_log_record(log, INT64_MIN, key, false, &line);
  for (int key = 0; key < kKeyIdCount; ++key) key_log_record(log, INT64_MAX, key, true, &line);
  const LogWriter no_writer{nullptr, nullptr};
  const LogClockInfo clocks[] = {{INT64_MIN, nullptr}, {INT64_MAX, "quote\" and \\"}, {-1, ""}};
  const KeyMark marks[] = {KeyMark::kNone, KeyMark::kChatter, KeyMark::kZeroGap, KeyMark::kFocusLost,
                           static_cast<KeyMark>(-1), static_cast<KeyMark>(77)};
  for (LogFormat format : kFormats) {
    std::string text;
    const LogWriter writer{collect, &text};
    for (const LogClockInfo& clock : clocks) {
      for_each_value(kFewInts, [&](int chatter_ms) {
        write_log_header(writer, format, chatter_ms, clock);
        write_log_header(no_writer, format, chatter_ms, clock);
      });
    }
    for (int64_t time : kTimes) {
      for_each_value(kFewInts, [&](int value) {
        for (KeyMark mark : marks) {
          const KeyLogLine odd{time, value, value % 2 != 0, value, time, mark, value};
          write_log_line(writer, format, odd);
          write_log_line(no_writer, format, odd);
        }
      });
      write_log_summary(writer, format, *log, time);
      write_log_summary(no_writer, format, *log, time);
    }
    expect_whole_lines(text);
    if (format == LogFormat::kNone || static_cast<int>(format) < 0 || static_cast<int>(format) > 3) {
      EXPECT_TRUE(text.empty());
    } else {
      EXPECT_NE(text.find("-9223372036854775.808"), std::string::npos);
      EXPECT_NE(text.find("9223372036854775.807"), std::string::npos);
    }
  }
  std::free(log);
}

TEST(HostileKeyLogger, ExtremeEventsWithoutAStartAndAfterTheFinish) {
  const LogClockInfo clock{1, nullptr};
  // Not started: nothing is counted or written.
  key_logger_key(INT64_MIN, INT_MIN, true);
  key_logger_focus_lost(INT64_MAX);
  key_logger_finish(INT64_MIN);
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  key_logger_start(static_cast<LogFormat>(42), INT_MAX, clock);
  key_logger_key(0, 0x1E, true);
  key_logger_finish(0);
  key_logger_start(LogFormat::kJsonl, INT_MIN, clock);
  for (int64_t time : kTimes) {
    for_each_value(kInts, [&](int key) { key_logger_key(time, key, key % 2 == 0); });
    key_logger_focus_lost(time);
    EXPECT_EQ(key_logger_held(), 0);
  }
  key_logger_finish(INT64_MAX);
  key_logger_finish(INT64_MIN);
  key_logger_key(0, 0x1E, true);
  const std::string out = testing::internal::GetCapturedStdout();
  testing::internal::GetCapturedStderr();
  expect_whole_lines(out);
  EXPECT_EQ(out.find("\"type\":\"summary\""), out.rfind("\"type\":\"summary\""));
}

// A record whose entries are all null, and one that refuses every open.
int refuse(const char*, int, int, int, int, int) { return -1; }
int closes = 0;
int count_close() { return ++closes; }
const VideoDriver kEmpty{};
const VideoDriver kNameless{.init = refuse};
const VideoDriver kRefusing{.name = "Refusing", .init = refuse, .exit = count_close};

TEST(HostileDriverSelect, NullListsNamesAndTitlesAndExtremeSizes) {
  const VideoDriver* const empty[] = {nullptr};
  const VideoDriver* const odd[] = {&kEmpty, &kRefusing, nullptr};
  const VideoDriver* const nameless[] = {&kNameless, &kRefusing, nullptr};
  const VideoDriver* const refusing[] = {&kRefusing, nullptr};
  EXPECT_FALSE(driver_name_equals(nullptr, nullptr));
  EXPECT_FALSE(driver_name_equals("a", nullptr));
  EXPECT_TRUE(driver_name_equals("", ""));
  for (const char* name : {static_cast<const char*>(nullptr), "", "refusing", "Null", "none"}) {
    for (const char* title : {static_cast<const char*>(nullptr), ""}) {
      for (const VideoDriver* const* list : {static_cast<const VideoDriver* const*>(nullptr), empty, odd, nameless}) {
        const VideoDriver* chosen = select_driver(list, name, title, INT_MIN, INT_MAX, -1, INT_MIN, 0);
        EXPECT_EQ(chosen, driver_name_equals(name, "null") ? &null_driver : nullptr);
      }
      for_each_triple(kFewInts, [&](int width, int height, int flags) {
        closes = 0;
        const VideoDriver* chosen = select_driver(refusing, name, title, width, height, width, height, flags);
        EXPECT_EQ(chosen, flags == kFlagNullDriver || driver_name_equals(name, "null") ? &null_driver : nullptr);
        if (!chosen) {
          EXPECT_GT(closes, 0);  // every refused open is closed again
        }
      });
    }
  }
}

TEST(HostileBlitters, AnyDepthGivesAnIndexOrMinusOneAndNoBlitterWithoutScreen) {
  for_each_value(kInts, [](int depth) {
    const int source = blitter_source_class(depth);
    const int column = blitter_column(depth);
    EXPECT_GE(source, -1);
    EXPECT_LE(source, kTrueColourSource);
    EXPECT_GE(column, -1);
    EXPECT_LT(column, kBlitterColumns);
    if (source >= 0 && column >= 0) {
      EXPECT_LT(blitter_index(source, column), kBlitterCount);
    }
  });
  for (int depth = -2; depth <= 40; ++depth) {
    const int source = blitter_source_class(depth);
    const int column = blitter_column(depth);
    if (source >= 0 && column >= 0) {
      EXPECT_GE(blitter_index(source, column), 0);
      EXPECT_LT(blitter_index(source, column), kBlitterCount);
    }
  }
  fill_conversion_table(nullptr, true);
  set_screen_mode(0, 0, 0, 0, 0);
  for_each_pair(kFewInts, [](int depth, int swap) { EXPECT_EQ(select_blitter(depth, swap), nullptr); });
  for (int depth : {8, 16, 32}) {
    ASSERT_EQ(set_screen_size(8, 4, depth, 1, kFlagNullDriver, 0), 0);
    for_each_pair(kInts, [](int destination_depth, int swap) {
      const Blitter blitter = select_blitter(destination_depth, swap);
      if (blitter_column(destination_depth) < 0) {
        EXPECT_EQ(blitter, nullptr) << destination_depth;
      }
    });
    set_screen_mode(0, 0, 0, 0, 0);
  }
}

TEST(HostileChangedLines, SizesPitchesAndCountsThatDisagree) {
  SentLines sent{};
  for_each_pair(kInts, [&](int count, int bytes) {
    // Sizes that may be allocated are left out: up to 2 GiB would be.
    if (count > 0 && bytes > 0 && static_cast<int64_t>(count) * bytes <= INT32_MAX) return;
    EXPECT_EQ(sent_lines_open(&sent, count, bytes), -1) << count << " x " << bytes;
    EXPECT_EQ(sent.lines, nullptr);
  });
  EXPECT_EQ(sent_lines_open(nullptr, 4, 4), -1);
  sent_lines_close(nullptr);
  sent_lines_forget(nullptr);
  const uint32_t colours[257] = {};
  for_each_value(kInts, [&](int count) {
    const int before = sent.colour_count;
    EXPECT_EQ(sent_lines_check_colours(&sent, colours, count), count > 0 && count <= 256 && count != before ? 1 : 0);
    EXPECT_EQ(sent_lines_check_colours(&sent, nullptr, count), 0);
    EXPECT_EQ(sent_lines_check_colours(nullptr, colours, count), 0);
  });
  ASSERT_EQ(sent_lines_open(&sent, 4, 8), 0);
  uint8_t page[4 * 16] = {};
  for_each_pair(kFewInts, [&](int pitch, int count) {
    uint8_t dirty[4] = {1, 1, 0, 1};
    // A pitch too small or a count beyond the record sends every marked
    // line. The page and the marks are the caller's buffers: only pitches
    // and counts they hold are given here.
    if (count > 4 || pitch > 16) return;
    const int marked = sent_lines_filter(&sent, page, pitch, dirty, count);
    EXPECT_GE(marked, 0);
    EXPECT_LE(marked, count > 0 ? count : 0);
    EXPECT_EQ(sent_lines_filter(&sent, nullptr, pitch, dirty, count), 0);
    EXPECT_EQ(sent_lines_filter(&sent, page, pitch, nullptr, count), 0);
    EXPECT_EQ(sent_lines_filter(nullptr, page, pitch, dirty, count), 0);
  });
  sent_lines_close(&sent);
  sent_lines_close(&sent);
  uint8_t dirty[4] = {1, 1, 1, 1};
  EXPECT_EQ(sent_lines_filter(&sent, page, 16, dirty, 4), 4);  // closed: nothing cleared
}

TEST(HostileGlPixelFormat, ExtremeSizesFlagsAndDepths) {
  gl_complete_attributes(nullptr, -1, 32);
  for_each_pair(kInts, [](int bits, int depth) {
    for (int flags : {0, -1, INT_MIN, INT_MAX}) {
      GlAttributes attributes{bits, bits, bits, bits, bits, 0, 0, 0, bits, bits, bits, bits, 0};
      gl_complete_attributes(&attributes, flags, depth);
      GlAttributes fresh{};
      gl_complete_attributes(&fresh, flags, depth);
      int32_t list[kGlAttributeListSize];
      gl_build_attribute_list(attributes, list);
      EXPECT_EQ(list[kGlAttributeListSize - 1], 0);
      EXPECT_EQ(list[kGlAttributeListSize - 2], 0);
      EXPECT_EQ(*gl_attribute_value(list, kWglColorBits), attributes.color_bits);
    }
  });
  gl_build_attribute_list(GlAttributes{}, nullptr);
  EXPECT_EQ(gl_attribute_value(static_cast<int32_t*>(nullptr), kWglSamples), nullptr);
  EXPECT_FALSE(gl_multisample_kept(nullptr));
  // A list with no end within its size is read no further than its size.
  int32_t unended[kGlAttributeListSize];
  for (int32_t& value : unended) value = 7;
  EXPECT_EQ(gl_attribute_value(unended, kWglSamples), nullptr);
  for_each_value(kInts, [](int samples) {
    int32_t list[kGlAttributeListSize] = {kWglSamples, samples, 0};
    // A choice that always refuses ends after a few requests whatever the
    // sample count: each request is a call into the system.
    static int requests;
    requests = 0;
    EXPECT_EQ(gl_choose_by_attributes(nullptr, list, [](void*, const int32_t*, int32_t*, uint32_t*) {
      ++requests;
      return false;
    }), 0);
    EXPECT_LT(list[1], 2);
    EXPECT_LE(requests, 34) << samples;
    EXPECT_EQ(gl_choose_by_attributes(nullptr, list, nullptr), 0);
    EXPECT_EQ(gl_choose_by_attributes(nullptr, nullptr, [](void*, const int32_t*, int32_t*, uint32_t*) { return true; }), 0);
  });
}

TEST(HostileGlExtensions, NullTextsAndBuffersOfEverySmallSize) {
  gl_compose_extensions(nullptr, 100, "a", "b");
  char guard[8];
  std::memset(guard, '#', sizeof guard);
  gl_compose_extensions(guard, 0, "GL_a", "WGL_b");
  EXPECT_EQ(guard[0], '#');
  for (size_t size = 1; size < sizeof guard; ++size) {
    for (const char* gl : {static_cast<const char*>(nullptr), "", "GL_a", "GL_a "}) {
      for (const char* wgl : {static_cast<const char*>(nullptr), "", "WGL_bb"}) {
        std::memset(guard, '#', sizeof guard);
        gl_compose_extensions(guard, size, gl, wgl);
        EXPECT_LT(std::strlen(guard), size);
        for (size_t i = size; i < sizeof guard; ++i) EXPECT_EQ(guard[i], '#');
      }
    }
  }
  EXPECT_FALSE(extension_listed(nullptr, "GL_a"));
  EXPECT_FALSE(extension_listed("GL_a", nullptr));
  EXPECT_FALSE(extension_listed("GL_a", ""));
  EXPECT_FALSE(extension_listed("", "GL_a"));
  EXPECT_TRUE(extension_listed("GL_a", "GL_a"));
}

}  // namespace
