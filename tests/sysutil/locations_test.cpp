#include "sysutil/locations.h"

#include <gtest/gtest.h>

#include <string>

#include "sysutil/bounded_string.h"

namespace {

std::string Str(const CBoundedString& s) { return std::string(s.Data(), s.Length()); }

TEST(Locations, DirectoriesAndFiles) {
  const struct {
    int type;
    const char* directory;
  } cases[] = {
      {kLocationRuntime, "/var/run/"},
      {kLocationFlash, "/mnt/flash/"},
      {kLocationSdkRegistry, "/mnt/sdcard/SdkRegistry/"},
      {kLocationCard, "/mnt/sdcard/"},
      {kLocationCardData, "/mnt/sdcard/"},
      {0, "/mnt/sdcard/"},
      {-7, "/mnt/sdcard/"},
      {1000, "/mnt/sdcard/"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(LocationDirectory(c.type).CStr(), c.directory) << c.type;
  }
  EXPECT_STREQ(LocationFile(kLocationRuntime, CBoundedString("x")).CStr(), "/var/run/x");
  // Every call shares one buffer...
  CBoundedString& first = LocationDirectory(kLocationFlash);
  EXPECT_EQ(&first, &LocationFile(kLocationCard, CBoundedString("a")));
  // ...and a name that is an earlier result survives the overwrite.
  EXPECT_STREQ(LocationFile(kLocationRuntime, LocationDirectory(kLocationFlash)).CStr(),
               "/var/run//mnt/flash/");

  CPathBuffer longName;
  longName.AppendChar('n', 300);
  CBoundedString& clipped = LocationFile(kLocationRuntime, longName);
  EXPECT_EQ(clipped.Length(), 255);
  EXPECT_EQ(Str(clipped.Left(9)), "/var/run/");
}

}  // namespace
