#pragma once

#include <gtest/gtest.h>

#include "link/link.h"
#include "support/fake_interface/fake_link_recorder.h"

namespace tarvo::test {

// Every test starts unbound with an empty recorder. Check_Device_Availability is bound but
// never called.
class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    (void)CloseLink();
    FakeLink().Reset();
  }
  void TearDown() override {
    (void)CloseLink();
    EXPECT_TRUE(Fake().CallsOf("Check_Device_Availability").empty());
  }

  static FakeLinkRecorder& Fake() { return FakeLink(); }
};

}  // namespace tarvo::test
