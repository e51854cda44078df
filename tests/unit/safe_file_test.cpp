#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "keys/safe_file.h"

namespace {

namespace fs = std::filesystem;

// Content of a given length, in pieces as a report writes it.
struct Content {
  size_t length;
  bool makes_it = true;
};

bool write_content(const LogWriter& writer, const void* context) {
  const auto* content = static_cast<const Content*>(context);
  if (!content->makes_it) return false;
  const std::string piece(100, 'n');
  for (size_t done = 0; done < content->length; done += piece.size())
    writer.write(writer.context, piece.data(), std::min(piece.size(), content->length - done));
  return true;
}

std::string contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

std::vector<std::string> names_in(const fs::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  return names;
}

struct Folder {
  fs::path path = fs::absolute("safe_file_test_folder");
  Folder() {
    fs::remove_all(path);
    fs::create_directory(path);
  }
  ~Folder() {
    std::error_code ignored;
    fs::permissions(path / "old.txt", fs::perms::owner_all, ignored);
    fs::remove_all(path, ignored);
  }
  std::string file(const char* name) const { return (path / name).string(); }
};

int save(const std::string& path, const Content& content, std::string* reason, int64_t limit = -1) {
  char text[128];
  const int result = write_file_safely(path.c_str(), write_content, &content, text, sizeof text, limit);
  *reason = text;
  return result;
}

TEST(SafeFile, AFailedSaveKeepsTheOlderFileAndLeavesNothingBehind) {
  Folder folder;
  const std::string target = folder.file("old.txt");
  std::string reason;
  ASSERT_EQ(save(target, Content{1000}, &reason), 0) << reason;
  EXPECT_EQ(reason, "");
  EXPECT_EQ(contents(target), std::string(1000, 'n'));

  // The disk fills half-way through a larger save; then the content
  // cannot be made at all. Either way the old file stays whole.
  ASSERT_EQ(save(target, Content{5000}, &reason, 2500), -1);
  EXPECT_EQ(reason, "No space left on device");
  ASSERT_EQ(save(target, Content{5000, false}, &reason), -1);
  EXPECT_EQ(reason, "not enough memory");
  EXPECT_EQ(contents(target), std::string(1000, 'n'));
  EXPECT_EQ(names_in(folder.path), std::vector<std::string>{"old.txt"});

  // A complete save replaces it.
  ASSERT_EQ(save(target, Content{3000}, &reason, 3000), 0) << reason;
  EXPECT_EQ(contents(target).size(), 3000u);
  EXPECT_EQ(names_in(folder.path), std::vector<std::string>{"old.txt"});

#ifndef _WIN32
  // A private file stays private when it is replaced.
  fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(save(target, Content{20}, &reason), 0) << reason;
  EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(save(target, Content{3000}, &reason), 0) << reason;
#endif

  // A read-only file is refused with the system's reason, even where a
  // rename over it would succeed, and is left as it was.
  fs::permissions(target, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  ASSERT_EQ(save(target, Content{10}, &reason), -1);
  EXPECT_NE(reason.find("denied"), std::string::npos) << reason;
  EXPECT_EQ(contents(target).size(), 3000u);
  EXPECT_EQ(names_in(folder.path), std::vector<std::string>{"old.txt"});
}

TEST(SafeFile, NamesThatCannotBeSavedSayWhy) {
  Folder folder;
  std::string reason;
  EXPECT_EQ(save(folder.file("no_such_folder/report.txt"), Content{10}, &reason), -1);
  EXPECT_NE(reason, "");
  EXPECT_TRUE(names_in(folder.path).empty());
  EXPECT_EQ(save("", Content{10}, &reason), -1);
  EXPECT_EQ(reason, "no file name");
  char cut[4];
  EXPECT_EQ(write_file_safely(nullptr, write_content, nullptr, cut, sizeof cut), -1);
  EXPECT_STREQ(cut, "no ");
  EXPECT_EQ(write_file_safely("x.txt", nullptr, nullptr, nullptr, 0), -1);
  // A folder is no file to replace: written directly, which fails.
  EXPECT_EQ(save(folder.path.string(), Content{10}, &reason), -1);
  EXPECT_NE(reason, "");
  EXPECT_TRUE(fs::is_directory(folder.path));
  // Standard output is written as it is.
  EXPECT_EQ(save("-", Content{0}, &reason), 0) << reason;
#ifndef _WIN32
  // A device is written directly, never replaced by a renamed file.
  EXPECT_EQ(save("/dev/full", Content{10}, &reason), -1);
  EXPECT_EQ(reason, "No space left on device");
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
  EXPECT_EQ(save("/dev/null", Content{100000}, &reason), 0) << reason;
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
#endif
}

}  // namespace
