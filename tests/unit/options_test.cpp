#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/options.h"

namespace {

struct Parsed {
  int result;
  ViewerOptions options;
  std::string error;
};

Parsed parse(std::vector<const char*> args) {
  args.insert(args.begin(), "klimperdetektor.exe");
  Parsed parsed;
  char error[200];
  std::memset(error, 'x', sizeof error);
  parsed.result = parse_options(static_cast<int>(args.size()), args.data(), &parsed.options,
                                error, sizeof error);
  parsed.error = error;
  return parsed;
}

TEST(Options, NoArgumentsChangeNothing) {
  const Parsed parsed = parse({});
  EXPECT_EQ(parsed.result, 0);
  EXPECT_EQ(parsed.error, "");
  EXPECT_FALSE(parsed.options.help);
  EXPECT_FALSE(parsed.options.version);
  EXPECT_EQ(parsed.options.log_format, LogFormat::kNone);
  EXPECT_EQ(parsed.options.chatter_ms, 30);
  EXPECT_EQ(parsed.options.scale, kWindowScaleAuto);
  ViewerOptions options;
  EXPECT_EQ(parse_options(0, nullptr, &options, nullptr, 0), 0);
  EXPECT_EQ(parse_options(-5, nullptr, &options, nullptr, 0), 0);
  EXPECT_EQ(parse_options(1, nullptr, nullptr, nullptr, 0), -1);
  // What the options held before is not kept.
  const char* const only_name[] = {"k"};
  options.help = true;
  options.version = true;
  options.log_format = LogFormat::kCsv;
  options.chatter_ms = 500;
  options.scale = 3;
  EXPECT_EQ(parse_options(1, only_name, &options, nullptr, 0), 0);
  EXPECT_EQ(options.scale, kWindowScaleAuto);
  EXPECT_FALSE(options.help);
  EXPECT_FALSE(options.version);
  EXPECT_EQ(options.log_format, LogFormat::kNone);
  EXPECT_EQ(options.chatter_ms, 30);
}

TEST(Options, LogFormatsAndThreshold) {
  EXPECT_EQ(parse({"--log"}).options.log_format, LogFormat::kText);
  EXPECT_EQ(parse({"--log=text"}).options.log_format, LogFormat::kText);
  EXPECT_EQ(parse({"--log=csv"}).options.log_format, LogFormat::kCsv);
  EXPECT_EQ(parse({"--log=jsonl"}).options.log_format, LogFormat::kJsonl);
  EXPECT_EQ(parse({"--log=csv", "--log"}).options.log_format, LogFormat::kText);  // last wins

  EXPECT_EQ(parse({"--chatter-ms", "1"}).options.chatter_ms, 1);
  EXPECT_EQ(parse({"--chatter-ms=1000"}).options.chatter_ms, 1000);
  const Parsed both = parse({"--chatter-ms", "8", "--log=jsonl"});
  EXPECT_EQ(both.result, 0);
  EXPECT_EQ(both.options.chatter_ms, 8);
  EXPECT_EQ(both.options.log_format, LogFormat::kJsonl);
  const struct {
    std::vector<const char*> args;
    int scale;
  } scales[] = {{{"--scale", "1"}, 1}, {{"--scale=8"}, 8}, {{"--scale", "3", "--scale=auto"}, kWindowScaleAuto},
                {{"--scale", "auto", "--log"}, kWindowScaleAuto}};
  for (const auto& c : scales) {
    const Parsed parsed = parse(c.args);
    EXPECT_EQ(parsed.result, 0) << parsed.error;
    EXPECT_EQ(parsed.options.scale, c.scale) << c.args[0];
  }
  EXPECT_TRUE(parse({"--help"}).options.help);
  EXPECT_TRUE(parse({"-h"}).options.help);
  EXPECT_TRUE(parse({"--version"}).options.version);
}

TEST(Options, MapLayouts) {
  struct Case {
    std::vector<const char*> args;
    bool map;
    bool from_system;
    MapLayout layout;
  };
  const Case cases[] = {
      {{}, false, false, MapLayout::kAnsi},
      {{"--map"}, true, true, MapLayout::kAnsi},
      {{"--map=jis"}, true, false, MapLayout::kJis},
      {{"--map=iso-tkl", "--log"}, true, false, MapLayout::kIsoTkl},
      // The last wins: a named layout after --map is no longer the system's.
      {{"--map", "--map=iso"}, true, false, MapLayout::kIso},
      {{"--map=iso", "--map"}, true, true, MapLayout::kIso},
  };
  for (const Case& c : cases) {
    const Parsed parsed = parse(c.args);
    EXPECT_EQ(parsed.result, 0);
    EXPECT_EQ(parsed.options.map, c.map);
    EXPECT_EQ(parsed.options.map_from_system, c.from_system);
    EXPECT_EQ(parsed.options.map_layout, c.layout);
  }
  const Parsed bad = parse({"--map=xyz"});
  EXPECT_EQ(bad.result, -1);
  EXPECT_EQ(bad.error, "klimperdetektor: --map takes ansi, iso, jis, ansi-tkl or iso-tkl, not 'xyz'");
  EXPECT_EQ(parse({"--maps"}).result, -1);
}

TEST(Options, BadValuesGiveOneLineErrors) {
  const char* const bad_thresholds[] = {"0", "x", "1001", "-5", "+5", "", " 5", "5ms",
                                        "99999999999999999999", "0x10", "30.5"};
  for (const char* value : bad_thresholds) {
    const Parsed parsed = parse({"--chatter-ms", value});
    EXPECT_EQ(parsed.result, -1) << value;
    EXPECT_NE(parsed.error.find("--chatter-ms"), std::string::npos) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
  }
  for (const char* value : {"0", "9", "10", "x", "", "-1", " 2", "2 ", "AUTO", "auto2", "1.5"}) {
    const Parsed parsed = parse({"--scale", value});
    EXPECT_EQ(parsed.result, -1) << value;
    EXPECT_NE(parsed.error.find(std::string("--scale takes auto or a whole number from 1 to 8, not '") + value + "'"),
              std::string::npos)
        << parsed.error;
  }
  for (const char* value : {"0", "3601", "", "-1", "8s", "1e3", "99999999999"}) {
    const Parsed parsed = parse({"--stuck-s", value});
    EXPECT_EQ(parsed.result, -1) << value;
    EXPECT_EQ(parsed.error, std::string("klimperdetektor: --stuck-s takes a whole number of seconds from 1 to 3600, not '") +
                                value + "'");
  }
  EXPECT_EQ(parse({"--stuck-s"}).result, -1);  // value missing
  EXPECT_EQ(parse({}).options.stuck_s, 8);
  EXPECT_EQ(parse({"--stuck-s", "1"}).options.stuck_s, 1);
  EXPECT_EQ(parse({"--stuck-s=3600"}).options.stuck_s, 3600);
  EXPECT_EQ(parse({"--keyboard=2"}).options.keyboard.number, 2);
  EXPECT_EQ(parse({"--keyboard", "046d:c31g"}).result, -1);
  EXPECT_EQ(parse({"--scale"}).result, -1);  // value missing
  EXPECT_EQ(parse({"--scale="}).result, -1);
  EXPECT_EQ(parse({"--chatter-ms"}).result, -1);  // value missing
  EXPECT_EQ(parse({"--chatter-ms="}).result, -1);

  for (const char* arg : {"--log=xml", "--log=", "--log=TEXT", "--logx", "--nonsense", "-l",
                          "--", ""}) {
    const Parsed parsed = parse({arg});
    EXPECT_EQ(parsed.result, -1) << arg;
    EXPECT_EQ(parsed.error.rfind("klimperdetektor: ", 0), 0u) << parsed.error;
    EXPECT_EQ(parsed.error.find('\n'), std::string::npos);
  }
  EXPECT_NE(parse({"--log=xml"}).error.find("'xml'"), std::string::npos);
  EXPECT_NE(parse({"--nonsense"}).error.find("unknown option '--nonsense'"), std::string::npos);
  EXPECT_NE(parse({"keys.csv", "extra"}).error.find("one key log at a time, not 'keys.csv' and 'extra'"),
            std::string::npos);
  // An option that only begins with a known one is unknown, whatever follows.
  for (const char* arg : {"--chatter-msx", "--chatter-ms5", "--chatter-ms-5", "--scalex", "--scale2"}) {
    const Parsed parsed = parse({arg, "10"});
    EXPECT_EQ(parsed.result, -1) << arg;
    EXPECT_NE(parsed.error.find("unknown option"), std::string::npos) << parsed.error;
  }
}

TEST(Options, ErrorIsCutToItsBuffer) {
  const char* args[] = {"k", "--a-very-long-unknown-option-that-does-not-fit"};
  ViewerOptions options;
  char error[16];
  std::memset(error, 'x', sizeof error);
  EXPECT_EQ(parse_options(2, args, &options, error, sizeof error), -1);
  EXPECT_EQ(std::strlen(error), sizeof error - 1);
  EXPECT_EQ(parse_options(2, args, &options, nullptr, 0), -1);
  char one[1] = {'x'};
  EXPECT_EQ(parse_options(2, args, &options, one, 1), -1);
  EXPECT_EQ(one[0], '\0');
}

}  // namespace

TEST(Options, ReportAndLabel) {
  const Parsed parsed = parse({"--report", "out.html", "--label=<S/N 1>"});
  EXPECT_EQ(parsed.result, 0) << parsed.error;
  EXPECT_STREQ(parsed.options.report_path, "out.html");
  EXPECT_STREQ(parsed.options.label, "<S/N 1>");
  EXPECT_STREQ(parse({"--report=-"}).options.report_path, "-");
  EXPECT_STREQ(parse({"--label", ""}).options.label, "");  // an empty label is a label
  for (const auto& args : std::vector<std::vector<const char*>>{{"--report"}, {"--report="}, {"--report", ""},
                                                                 {"--label"}}) {
    const Parsed bad = parse(args);
    EXPECT_EQ(bad.result, -1) << args[0];
    EXPECT_NE(bad.error.find(args[0][2] == 'r' ? "--report needs a file name" : "--label needs"), std::string::npos)
        << bad.error;
  }
}

TEST(Options, OneKeyLogToReplay) {
  const struct {
    std::vector<const char*> args;
    const char* replay;
  } accepted[] = {
      {{}, nullptr},
      {{"--replay", "keys.csv"}, "keys.csv"},
      {{"--replay=C:\\Users\\a b\\keys.jsonl"}, "C:\\Users\\a b\\keys.jsonl"},
      {{"keys.log"}, "keys.log"},  // what a file dropped onto the icon gives
      {{"--chatter-ms", "10", "keys.csv", "--report", "out.html"}, "keys.csv"},
      {{"--replay", "-x.csv"}, "-x.csv"},  // the value of --replay may begin with a dash
  };
  for (const auto& c : accepted) {
    const Parsed parsed = parse(c.args);
    EXPECT_EQ(parsed.result, 0) << parsed.error;
    if (c.replay == nullptr) EXPECT_EQ(parsed.options.replay_path, nullptr);
    else EXPECT_STREQ(parsed.options.replay_path, c.replay);
  }
  EXPECT_STREQ(parse({"--replay", "a.csv", "--report", "out.html"}).options.report_path, "out.html");

  const struct {
    std::vector<const char*> args;
    const char* error;
  } refused[] = {
      {{"--replay"}, "klimperdetektor: --replay needs the file name of a key log"},
      {{"--replay="}, "klimperdetektor: --replay needs the file name of a key log"},
      {{"a.csv", "b.csv"}, "klimperdetektor: one key log at a time, not 'a.csv' and 'b.csv'"},
      {{"--replay", "a.csv", "b.csv"}, "klimperdetektor: one key log at a time, not 'a.csv' and 'b.csv'"},
      {{"a.csv", "--replay=a.csv"}, "klimperdetektor: one key log at a time, not 'a.csv' and 'a.csv'"},
      {{"--replays", "a.csv"}, "klimperdetektor: unknown option '--replays' (see --help)"},
  };
  for (const auto& c : refused) {
    const Parsed parsed = parse(c.args);
    EXPECT_EQ(parsed.result, -1) << c.error;
    EXPECT_EQ(parsed.error, c.error);
  }
  EXPECT_NE(std::string(options_usage()).find("--replay LOG"), std::string::npos);
}

TEST(Options, LanguageByItsCodeOrNone) {
  const struct {
    std::vector<const char*> args;
    bool given;
    UiLanguage language;
  } accepted[] = {
      {{}, false, UiLanguage::kEnglish},
      {{"--lang", "de"}, true, UiLanguage::kGerman},
      {{"--lang=en"}, true, UiLanguage::kEnglish},
      {{"--lang", "en", "--lang=de"}, true, UiLanguage::kGerman},  // the last one counts
      {{"--lang", "de", "keys.csv"}, true, UiLanguage::kGerman},
  };
  for (const auto& c : accepted) {
    const Parsed parsed = parse(c.args);
    EXPECT_EQ(parsed.result, 0) << parsed.error;
    EXPECT_EQ(parsed.options.language_given, c.given);
    EXPECT_EQ(parsed.options.language, c.language);
  }
  // Only a table's own code: a region, a name or another case is refused
  // rather than guessed.
  const struct {
    std::vector<const char*> args;
    const char* error;
  } refused[] = {
      {{"--lang"}, "klimperdetektor: --lang takes en or de"},
      {{"--lang="}, "klimperdetektor: --lang takes en or de, not ''"},
      {{"--lang", "fr"}, "klimperdetektor: --lang takes en or de, not 'fr'"},
      {{"--lang", "DE"}, "klimperdetektor: --lang takes en or de, not 'DE'"},
      {{"--lang", "de_DE"}, "klimperdetektor: --lang takes en or de, not 'de_DE'"},
      {{"--lang", "german"}, "klimperdetektor: --lang takes en or de, not 'german'"},
      {{"--lang", "--map"}, "klimperdetektor: --lang takes en or de, not '--map'"},
      {{"--language", "de"}, "klimperdetektor: unknown option '--language' (see --help)"},
  };
  for (const auto& c : refused) {
    const Parsed parsed = parse(c.args);
    EXPECT_EQ(parsed.result, -1) << c.error;
    EXPECT_EQ(parsed.error, c.error);
  }
  // A message cut to its buffer stays one terminated line.
  const char* const args[] = {"k", "--lang", "klingonisch-und-noch-viel-mehr"};
  ViewerOptions options;
  char small[24];
  EXPECT_EQ(parse_options(3, args, &options, small, sizeof small), -1);
  EXPECT_EQ(std::string(small), std::string("klimperdetektor: --lang takes en or de").substr(0, 23));
  EXPECT_NE(std::string(options_usage()).find("--lang de|en"), std::string::npos);
}
