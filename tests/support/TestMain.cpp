// gtest main for the tests without Qt: each test in a world of its own.
#include <gtest/gtest.h>

#include "support/IsolatedEnvironment.h"

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  orvane::test::IsolateEveryTest();
  return RUN_ALL_TESTS();
}
