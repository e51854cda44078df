// The key log's output when it cannot be written: said once, with the
// system's reason, and nothing more written.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "keys/checked_output.h"

namespace {

TEST(CheckedOutput, AFullDiskIsSaidOnceAndTheLogStops) {
  FILE* full = std::fopen("/dev/full", "w");
  if (full == nullptr) GTEST_SKIP() << "no /dev/full here";
  FILE* good = std::tmpfile();
  ASSERT_NE(good, nullptr);
  checked_output_reset();

  const LogWriter to_good = checked_writer(good);
  to_good.write(to_good.context, "first\n", 6);
  EXPECT_FALSE(checked_output_failed());

  testing::internal::CaptureStderr();
  const LogWriter to_full = checked_writer(full);
  to_full.write(to_full.context, "lost\n", 5);
  to_full.write(to_full.context, "lost again\n", 11);
  to_good.write(to_good.context, "after\n", 6);  // the log has stopped
  const std::string said = testing::internal::GetCapturedStderr();

  EXPECT_TRUE(checked_output_failed());
  EXPECT_EQ(said,
            "klimperdetektor: cannot write the key log to standard output (No space left on "
            "device); nothing more is logged, the exit code will be 3\n");
  std::rewind(good);
  char kept[32] = {};
  EXPECT_EQ(std::fread(kept, 1, sizeof kept - 1, good), 6u);
  EXPECT_STREQ(kept, "first\n");
  std::fclose(full);
  std::fclose(good);
  checked_output_reset();
  EXPECT_FALSE(checked_output_failed());
}

}  // namespace
