#include <gtest/gtest.h>

#include "rt/runtime.h"

int main(int argc, char** argv) {
  runtime_start();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
