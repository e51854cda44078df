#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "keys/log/key_log_export.h"
#include "keys/log/key_log_reader.h"

namespace {

const int kA = make_key_id(0x1E, kNoPrefix);
const int kS = make_key_id(0x1F, kNoPrefix);
const int kShift = make_key_id(0x2A, kNoPrefix);
const int kKeypadEnter = make_key_id(0x1C, kPrefixE0);
const int kPause = make_key_id(0x45, kPrefixE1);
const int kKeypadComma = make_key_id(0x7E, kNoPrefix);  // "Keypad ,": a comma in a CSV field

struct Record {
  std::unique_ptr<KeyRecord> record = std::make_unique<KeyRecord>();
  ~Record() { key_record_clear(record.get()); }
  KeyRecord* get() { return record.get(); }
};

KeyEvent event(int64_t time_us, int key, KeyEventKind kind, int device = 0) {
  return KeyEvent{time_us, static_cast<uint16_t>(key), kind, static_cast<uint8_t>(device), 0};
}

std::vector<KeyEvent> events_of(const KeyRecord* record) {
  std::vector<KeyEvent> events;
  for (uint32_t i = 0; i < key_record_count(record); ++i) events.push_back(*key_record_at(record, i));
  return events;
}

bool same_events(const std::vector<KeyEvent>& a, const std::vector<KeyEvent>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].time_us != b[i].time_us || a[i].key != b[i].key || a[i].kind != b[i].kind || a[i].device != b[i].device)
      return false;
  return true;
}

void append_text(void* context, const char* text, size_t length) {
  static_cast<std::string*>(context)->append(text, length);
}

std::string exported(LogFormat format, const KeyRecord* record, const KeyLogExport& settings) {
  std::string text;
  EXPECT_TRUE(write_key_log_from_record(LogWriter{append_text, &text}, format, record, settings));
  return text;
}

struct Read {
  int result;
  std::string error;
  KeyLogReadResult info;
  std::vector<KeyEvent> events;
};

Read read(const std::string& text) {
  Record record;
  Read out{};
  char error[160];
  std::memset(error, 'x', sizeof error);
  out.result = read_key_log(text.data(), text.size(), record.get(), &out.info, error, sizeof error);
  out.error = error;
  out.events = events_of(record.get());
  return out;
}

KeyboardDevice keyboard(int number, const char* id, const char* name, int64_t events) {
  KeyboardDevice device{};
  device.number = number;
  std::strcpy(device.id, id);
  std::strcpy(device.name, name);
  device.events = events;
  if (std::strncmp(id, "VID_", 4) == 0) {
    device.has_vendor = true;
    device.vendor = static_cast<uint16_t>(std::stoul(std::string(id + 4, 4), nullptr, 16));
    device.product = static_cast<uint16_t>(std::stoul(std::string(id + 13, 4), nullptr, 16));
  }
  return device;
}

// A test with what each form has to carry: two keyboards (a name with
// quotes and brackets, an unnamed one), chatter and a zero gap at 20 ms,
// keys with both prefixes, a key whose name holds a comma, one without a
// name, a focus loss
// with two keys held, one focus-lost release, a restart, and times long
// enough to push the text columns into each other.
struct Sample {
  Record record;
  KeyboardDevice keyboards[2] = {keyboard(1, "VID_046D&PID_C31C", "Desk \"K\" (rev 2), US", 12),
                                 keyboard(2, "ACPI\\PNP0303", "", 6)};
  KeyLogExport settings{20, LogClockInfo{1000, "message time"}, keyboards, 2, 123456789999000, nullptr};
  std::vector<KeyEvent> expected;  // as read back: the focus loss as its releases

  Sample() {
    const std::vector<KeyEvent> events = {
        event(1000, kA, KeyEventKind::kDown, 1),         event(51000, kA, KeyEventKind::kUp, 1),
        event(61000, kA, KeyEventKind::kDown, 1),        // 10 ms: chatter
        event(70000, kA, KeyEventKind::kUp, 1),          event(70200, kA, KeyEventKind::kDown, 1),  // zero gap
        event(80000, kA, KeyEventKind::kUp, 1),          event(200000, kKeypadEnter, KeyEventKind::kDown, 2),
        event(210000, kPause, KeyEventKind::kDown, 2),   event(220000, 0, KeyEventKind::kRestart),
        event(300000, 0, KeyEventKind::kFocusLost),      event(400000, kShift, KeyEventKind::kDown, 1),
        event(450000, kShift, KeyEventKind::kFocusLostUp), event(500000, kKeypadComma, KeyEventKind::kDown, 2),
        event(123456789012000, kKeypadComma, KeyEventKind::kUp, 2),
        event(123456789013000, kS, KeyEventKind::kDown),  // no keyboard known
        event(123456789014000, kS, KeyEventKind::kUp),
        // A key the names do not know, logged as "Unknown".
        event(123456789015000, make_key_id(0x7F, kPrefixE1), KeyEventKind::kDown, 1),
        event(123456789016000, make_key_id(0x7F, kPrefixE1), KeyEventKind::kUp, 1),
    };
    for (const KeyEvent& e : events) key_record_append(record.get(), e);
    expected = events;
    // The focus loss comes back as the releases it gave, in id order, each
    // with its press's keyboard.
    expected.erase(expected.begin() + 9);
    expected.insert(expected.begin() + 9, {event(300000, kKeypadEnter, KeyEventKind::kFocusLostUp, 2),
                                           event(300000, kPause, KeyEventKind::kFocusLostUp, 2)});
    expected[12].device = 1;  // the lone focus-lost release: its press's keyboard
  }
};

TEST(KeyLogReader, EachFormReadsBackAsWritten) {
  Sample sample;
  for (LogFormat format : {LogFormat::kText, LogFormat::kCsv, LogFormat::kJsonl}) {
    SCOPED_TRACE(static_cast<int>(format));
    const std::string file = exported(format, sample.record.get(), sample.settings);
    Read back = read(file);
    ASSERT_EQ(back.result, 0) << back.error << "\n" << file;
    EXPECT_EQ(back.error, "");
    EXPECT_EQ(back.info.format, format);
    EXPECT_TRUE(same_events(back.events, sample.expected));
    EXPECT_EQ(back.info.events, sample.expected.size());
    const bool csv = format == LogFormat::kCsv;
    EXPECT_EQ(back.info.chatter_ms, csv ? 0 : 20);
    EXPECT_EQ(back.info.has_summary, !csv);
    EXPECT_EQ(back.info.end_us, csv ? 123456789016000 : 123456789999000);
    EXPECT_STREQ(back.info.clock_source, csv ? "" : "message time");
    ASSERT_EQ(back.info.keyboard_count, 2);
    for (int i = 0; i < 2; ++i) {
      const KeyboardDevice& got = back.info.keyboards[i];
      const KeyboardDevice& want = sample.keyboards[i];
      EXPECT_EQ(got.number, want.number);
      EXPECT_STREQ(got.id, want.id);
      EXPECT_STREQ(got.name, want.name);
      EXPECT_EQ(got.has_vendor, want.has_vendor);
      EXPECT_EQ(got.vendor, want.vendor);
      EXPECT_EQ(got.product, want.product);
      // Without a summary: the presses and releases counted from it.
      EXPECT_EQ(got.events, csv ? (i == 0 ? 9 : 4) : want.events);
    }

    // What was read writes the same file again, and Windows line ends read alike.
    Record again;
    for (const KeyEvent& e : back.events) key_record_append(again.get(), e);
    KeyLogExport settings = sample.settings;
    settings.chatter_ms = csv ? 20 : back.info.chatter_ms;
    settings.keyboards = back.info.keyboards;
    EXPECT_EQ(exported(format, again.get(), settings), file);
    std::string crlf;
    for (char c : file) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(read(crlf).result, 0) << read(crlf).error;
  }
}

TEST(KeyLogReader, SummariesAsTheProgramEndsThem) {
  // The live log's text summary may be followed by the map's; the JSON
  // summary may carry the map's members. Both are the program's own.
  Sample sample;
  std::string text = exported(LogFormat::kText, sample.record.get(), sample.settings);
  text += "map: ANSI, tested 3 of 104 keys, most held at once 2\nuntested: Escape (1)\n"
          "stuck (held over 8 s): none\nthe map counts keyboard 1 only\n";
  EXPECT_EQ(read(text).result, 0) << read(text).error;
  std::string json = exported(LogFormat::kJsonl, sample.record.get(), sample.settings);
  json.insert(json.size() - 2, ",\"map\":{\"layout\":\"ANSI\"},\"counted_keyboard\":\"keyboard 1\"");
  EXPECT_EQ(read(json).result, 0) << read(json).error;
  // CSV with its standard error in the same file: the keyboards' lines
  // where the live log puts them, the text summary at the end.
  const std::string csv = exported(LogFormat::kCsv, sample.record.get(), sample.settings);
  const std::string both = csv + text.substr(text.find("summary: "));
  const Read back = read(both);
  EXPECT_EQ(back.result, 0) << back.error;
  EXPECT_TRUE(same_events(back.events, sample.expected));
  EXPECT_EQ(back.info.end_us, 123456789999000);
  EXPECT_EQ(back.info.keyboards[0].events, 12);  // the summary's figure
  std::string miscounted = both;
  const size_t row = miscounted.find("\nA                   30      3        1");
  ASSERT_NE(row, std::string::npos) << both;
  miscounted[row + 38] = '2';
  EXPECT_EQ(read(miscounted).error, "line 25: the summary does not match the events");
  // No keyboards at all.
  KeyLogExport bare = sample.settings;
  bare.keyboards = nullptr;
  Record empty;
  const std::string none = exported(LogFormat::kText, empty.get(), bare);
  EXPECT_NE(none.find("keyboards: none\n"), std::string::npos);
  EXPECT_EQ(read(none).result, 0) << read(none).error;
  EXPECT_EQ(read(none).info.end_us, 123456789999000);
}

TEST(KeyLogReader, AFileSavedIsReadInPieces) {
  // Large enough that lines straddle the pieces the file is read in.
  Record record;
  for (int i = 0; i < 20000; ++i)
    key_record_append(record.get(), event(i * 40000 + (i % 2) * 25000, kA, i % 2 ? KeyEventKind::kUp : KeyEventKind::kDown, 1));
  const KeyboardDevice keyboards[] = {keyboard(1, "VID_845E&PID_0002", "Wine HID keyboard", 20000)};
  const KeyLogExport settings{30, LogClockInfo{1000, "message time"}, keyboards, 1, 800000000, nullptr};
  const char* const path = "key_log_reader_test.jsonl";
  char reason[128];
  ASSERT_EQ(write_key_log_file(path, LogFormat::kJsonl, record.get(), settings, reason, sizeof reason), 0) << reason;
  Record back;
  KeyLogReadResult info;
  ASSERT_EQ(read_key_log_file(path, back.get(), &info, reason, sizeof reason), 0) << reason;
  std::remove(path);
  EXPECT_TRUE(same_events(events_of(back.get()), events_of(record.get())));
  EXPECT_EQ(info.keyboards[0].events, 20000);
  EXPECT_EQ(info.end_us, 800000000);
}

const char kCsv[] = "time_ms,event,scancode,extended,key,held,gap_ms,mark,device\n";
const char kText[] = "# klimperdetektor 1.1.0: chatter within 30 ms, time stamps in steps of 1.000 ms (message time)\n";
const char kJson[] =
    "{\"type\":\"meta\",\"program\":\"klimperdetektor\",\"version\":\"1.1.0\",\"chatter_ms\":30,"
    "\"timer_resolution_ms\":1.000,\"timer\":\"message time\"}\n";

TEST(KeyLogReader, WhatTheProgramWouldNotWriteIsRefusedWithLineAndReason) {
  const std::string csv = kCsv, text = kText, json = kJson;
  const std::string a_down = "1.000,down,30,,A,1,,,1\n", a_up = "2.000,up,30,,A,0,,,1\n";
  const struct {
    std::string file;
    const char* error;
  } cases[] = {
      {"", "not a key log: the file is empty"},
      {"hello\n", "not a key log: the first line is no header the program writes"},
      {std::string("\x89PNG\r\n\x1a\n\0\0", 10), "not a key log: the first line is no header the program writes"},
      {"time_ms,event", "line 1: cut short"},
      {"<html>", "not a key log: the first line is no header the program writes"},
      {csv + "1.000,down,30,,A,1,,,1", "line 2: cut short"},
      {csv + a_down + "0.500,up,30,,A,0,,,1\n", "line 3: time goes backwards"},
      {csv + "1.000,down,127,e1,Num Lock,1,,,\n", "line 2: the key's name is not that of its scancode (Unknown)"},
      {csv + "1.000,down,300,,A,1,,,\n", "line 2: unknown key 0x0000012c"},
      {csv + a_down + a_down, "line 3: the key A is pressed again without a release"},
      {csv + a_up, "line 2: the key A is released without a press"},
      {csv + "1.000,down,30,,A,2,,,1\n", "line 2: held 2, but 1 keys are held"},
      {csv + "1.000,down,30,,A,1,,,17\n", "line 2: keyboard 17 is not numbered from 1 to 16"},
      {csv + "1.000,down,30,,A,1,,,0\n", "line 2: not laid out as the program writes it"},
      {csv + "1.000,down,30,,A,1,,\n", "line 2: 8 fields, not 9"},
      {csv + "1.000,down,30,,B,1,,,\n", "line 2: the key's name is not that of its scancode (A)"},
      {csv + "1.0,down,30,,A,1,,,\n", "line 2: not a time in milliseconds"},
      {csv + "99999999999999999.000,down,30,,A,1,,,\n", "line 2: not a time in milliseconds"},
      {csv + "1.000,press,30,,A,1,,,\n", "line 2: the event is neither down nor up"},
      {csv + "1.000,down,30,e2,A,1,,,\n", "line 2: the prefix is none of e0 and e1"},
      {csv + a_down + a_up + "12.000,down,30,,A,1,5.000,chatter,1\n", "line 4: the gap does not follow from the times"},
      {csv + a_down + a_up + "12.000,down,30,,A,1,10.000,bounce,1\n", "line 4: an unknown mark"},
      {csv + a_down + a_up + "2.300,down,30,,A,1,0.300,,1\n", "line 4: the mark does not follow from the gap"},
      {csv + a_down + a_up + "3.000,down,30,,A,1,1.000,,1\n", "line 4: no one chatter threshold gives these marks"},
      {csv + a_down + a_up + "12.000,down,30,,A,1,10.000,chatter,1\n13.000,up,30,,A,0,,,1\n"
           "18.000,down,30,,A,1,5.000,,1\n",
       "line 6: no one chatter threshold gives these marks"},
      {csv + "1.000,down,30,,A,1,,focus-lost,1\n", "line 2: the mark does not follow from the gap"},
      {csv + a_down + "2.000,up,30,,A,0,,focus-lost,2\n", "line 3: not the keyboard of the press"},
      {csv + "1.000,down,30,,A,1,,,1\n2.000,up,30,,A,0,,,\x01\n", "line 3: a control character"},
      {csv + a_down + "summary: 2 events in 5.000 ms\n", "line 3: the summary does not match the events"},
      {csv + "# a comment\n", "line 2: not a line of a key log"},
      {csv + "# restart at 1.0 ms\n", "line 2: not laid out as the program writes it"},
      {csv + "# keyboard 1: unnamed\n# keyboard 1: unnamed\n", "line 3: keyboard 1 is named twice"},
      {csv + a_down + "# keyboard 1: unnamed\n", "line 3: keyboard 1 is named after its first event"},
      {csv + "# keyboard 1: \"\"\n", "line 2: not a keyboard's description"},
      {"# klimperdetektor 1.1.0: chatter within 0 ms, time stamps in steps of 1.000 ms (x)\n",
       "line 1: the chatter threshold is not from 1 to 1000 ms"},
      {"# klimperdetektor 1.1.0 chatter within 30 ms\n", "line 1: the header is not as the program writes it"},
      {text + "1.000       down  30     A                   held 1\n"
              "2.000       up    30     A                   held 0\n"
              "12.000      down  30     A                   held 1  gap 10.000\n",
       "line 4: the mark does not follow from the gap"},
      {text + "1.000       down  30     A                   held 1 \n", "line 2: not laid out as the program writes it"},
      {text + "1.000       down  30     A                   held 1\n"
              "summary: 1 events in 5.000 ms\n"
              "key                 scan    presses  chatter  zero-gap  smallest gap ms\n"
              "A                   30      2        0        0         -\n",
       "line 5: the summary does not match the events"},
      {text + "summary: 0 events in 5.000 ms\n", "line 3: cut short"},
      {text + "summary: 0 events in 5.000 ms\nkey                 scan    presses  chatter  zero-gap  smallest gap ms\n"
              "most keys held at once: 0\n",
       "line 5: cut short"},
      {text + "summary: 0 events in 5.000 ms\nkey                 scan    presses  chatter  zero-gap  smallest gap ms\n"
              "most keys held at once: 0\nkeyboards: none\n1.000       down  30     A                   held 1\n",
       "line 6: a line after the summary"},
      {json + "{\"type\":\"key\",\"time_ms\":1.000,\"scancode\":30,\"event\":\"down\",\"extended\":\"\",\"key\":\"A\","
              "\"held\":1,\"mark\":\"\",\"device\":null}\n",
       "line 2: the event is neither down nor up"},
      {json + "{\"type\":\"key\",\"time_ms\":1.000,\"event\":\"down\",\"scancode\":30,\"extended\":\"\",\"key\":\"A\","
              "\"held\":1,\"mark\":\"\",\"device\":null} \n",
       "line 2: not laid out as the program writes it"},
      {json + "{\"type\":\"keyboard\",\"device\":1,\"id\":\"VID_046D&PID_C31C\",\"vendor\":\"046D\","
              "\"product\":\"C31D\",\"name\":null}\n",
       "line 2: the keyboard's id and numbers disagree"},
      {json + "{\"type\":\"summary\",\"total_ms\":5.000,\"events\":0,\"keys\":[],\"most_held\":0,"
              "\"most_held_keys\":[],\"keyboards\":[]}\n{\"type\":\"restart\",\"time_ms\":6.000}\n",
       "line 3: a line after the summary"},
      {json + "{\"type\":\"summary\",\"total_ms\":5.000,\"events\":1,\"keys\":[],\"most_held\":0,"
              "\"most_held_keys\":[],\"keyboards\":[]}\n",
       "line 2: the summary does not match the events"},
      {json + "{\"type\":\"note\"}\n", "line 2: not a line of a key log"},
      {csv + std::string(size_t{1} << 21, '1') + "\n", "line 2: longer than any line the program writes"},
  };
  for (const auto& c : cases) {
    const Read back = read(c.file);
    EXPECT_EQ(back.result, -1) << c.file;
    EXPECT_EQ(back.error, c.error) << c.file.substr(0, 400);
    EXPECT_TRUE(back.events.empty());  // refused whole: nothing kept
    EXPECT_EQ(back.info.format, LogFormat::kNone);
  }
}

TEST(KeyLogReader, HostileCallsAndFiles) {
  Record record, full;
  KeyLogReadResult info;
  char error[128];
  EXPECT_EQ(read_key_log(kCsv, sizeof kCsv - 1, nullptr, &info, error, sizeof error), -1);
  EXPECT_EQ(read_key_log(kCsv, sizeof kCsv - 1, record.get(), nullptr, nullptr, 0), -1);
  EXPECT_EQ(read_key_log(nullptr, 5, record.get(), &info, error, sizeof error), -1);
  EXPECT_STREQ(error, "not a key log: the file is empty");
  EXPECT_EQ(read_key_log(kCsv, sizeof kCsv - 1, record.get(), &info, error, 8), 0);  // a header alone is a log
  key_record_append(full.get(), event(0, kA, KeyEventKind::kDown));
  EXPECT_EQ(read_key_log(kCsv, sizeof kCsv - 1, full.get(), &info, error, 9), -1);
  EXPECT_STREQ(error, "the reco");  // cut to its buffer
  EXPECT_EQ(key_record_count(full.get()), 1u);  // a record not empty is left alone

  Record from_file;
  EXPECT_EQ(read_key_log_file("no_such_folder/keys.csv", from_file.get(), &info, error, sizeof error), -1);
  EXPECT_STREQ(error, "cannot open no_such_folder/keys.csv (No such file or directory)");
  EXPECT_EQ(read_key_log_file(nullptr, from_file.get(), &info, error, sizeof error), -1);
#ifndef _WIN32
  EXPECT_EQ(read_key_log_file("/", from_file.get(), &info, error, sizeof error), -1);
  EXPECT_STREQ(error, "cannot read / (Is a directory)");
#endif
}

}  // namespace
