// The main of every test program: GoogleTest with the safe stand-ins of
// test_environment.h installed before each test and after the last.
#include <gtest/gtest.h>

#include "device/device_seams.h"
#include "tests/support/test_environment.h"
#include "ui/ui_seams.h"

namespace {

class CTestDefaults : public ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo&) override { InstallTestDefaults(); }
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new CTestDefaults);
  InstallTestDefaults();
  int result = RUN_ALL_TESTS();
  // Nothing process-wide may outlive the stand-ins it points to.
  ResetUIForTesting();
  ResetDeviceForTesting();
  return result;
}
