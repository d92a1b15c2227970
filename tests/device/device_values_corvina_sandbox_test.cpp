// Device values read from /proc/corvina, and the model number kept from them.
#include "device/device_values.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "device/device_seams.h"
#include "tests/support/sandbox_guard.h"

namespace {

void WriteModel(const std::string& text) { std::ofstream("/proc/corvina/modelid") << text; }

class DeviceValuesTest : public ::testing::Test {
 protected:
  // The model read from /proc/corvina, not the tests' stand-in.
  void SetUp() override { ResetDeviceForTesting(); }
  void TearDown() override {
    unlink("/proc/corvina/modelid");
    ResetDeviceForTesting();
  }
};

TEST_F(DeviceValuesTest, MissingModelGivesSevenAndOneMessage) {
  KESTREL_REQUIRE_SANDBOX();
  testing::internal::CaptureStdout();
  EXPECT_EQ(7, GetModelId());
  WriteModel("57");
  EXPECT_EQ(7, GetModelId()) << "kept, the file is not read again";
  EXPECT_EQ("GetProcInt: Unable to open /proc/corvina/modelid: No such file or directory\n",
            testing::internal::GetCapturedStdout());
}

TEST_F(DeviceValuesTest, ModelValues) {
  KESTREL_REQUIRE_SANDBOX();
  struct Case {
    const char* text;
    int32_t model;
    const char* output;
  } cases[] = {
      {"57", 57, ""},
      {"  \n144\n", 144, ""},
      {"27abc", 27, ""},
      {"+0000000000000000000000000000000000000000528", 528, ""},
      {"abc", 7, "GetProcInt: Unable to read value from /proc/corvina/modelid\n"},
      {"", 7, "GetProcInt: Unable to read value from /proc/corvina/modelid\n"},
      {"-", 7, "GetProcInt: Unable to read value from /proc/corvina/modelid\n"},
      {"99999999999", 7, "GetProcInt: Unable to read value from /proc/corvina/modelid\n"},
      {"-2147483648", INT32_MIN, ""},
      {"2147483648", 7, "GetProcInt: Unable to read value from /proc/corvina/modelid\n"},
  };
  for (const Case& c : cases) {
    ResetDeviceForTesting();
    WriteModel(c.text);
    testing::internal::CaptureStdout();
    EXPECT_EQ(c.model, GetModelId()) << c.text;
    EXPECT_EQ(c.output, testing::internal::GetCapturedStdout()) << c.text;
  }
}

TEST_F(DeviceValuesTest, MinusOneIsReadAgainEachTime) {
  KESTREL_REQUIRE_SANDBOX();
  WriteModel("-1");
  EXPECT_EQ(-1, GetModelId());
  EXPECT_EQ(-1, GetModelId());
  WriteModel("121");
  EXPECT_EQ(121, GetModelId());
}

TEST_F(DeviceValuesTest, GetProcIntReadsAnyValue) {
  KESTREL_REQUIRE_SANDBOX();
  std::ofstream("/proc/corvina/battery") << "-42";
  int32_t v = 5;
  EXPECT_TRUE(GetProcInt("battery", v));
  EXPECT_EQ(-42, v);
  unlink("/proc/corvina/battery");
  // An overlong name is cut to the path buffer, and simply not found.
  testing::internal::CaptureStdout();
  EXPECT_FALSE(GetProcInt(std::string(300, 'n').c_str(), v));
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(std::string("GetProcInt: Unable to open /proc/corvina/") + std::string(113, 'n') + ": ",
            out.substr(0, out.find(':', 20) + 2));
  EXPECT_EQ(-42, v);
}

TEST_F(DeviceValuesTest, SeamModelWinsWithoutReadingTheFile) {
  KESTREL_REQUIRE_SANDBOX();
  WriteModel("57");
  SetModelIdForTesting(400);
  testing::internal::CaptureStdout();
  EXPECT_EQ(400, GetModelId());
  EXPECT_EQ("", testing::internal::GetCapturedStdout());
  ResetDeviceForTesting();
  EXPECT_EQ(57, GetModelId()) << "forgotten on reset: the file again";
}

}  // namespace
