// Every platform test starts and ends with a fresh stand-in.
#pragma once

#include "platform/driver.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::driver::reset(); }
  void TearDown() override { platform::driver::reset(); }
};
