// File-system operations where they need the device: permission refusals
// (an unprivileged user; root passes every access test) and the device's
// well-known locations.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "sysutil/bounded_string.h"
#include "tests/support/sandbox_guard.h"

namespace {

TEST(FileSystemSandbox, UnreadableEntriesAreNotUsable) {
  KESTREL_REQUIRE_SANDBOX();
  CPathBuffer dir(LocationFile(kLocationRuntime, CBoundedString("locked")));
  ASSERT_EQ(dir.MakeDirectory(), 0);
  ASSERT_EQ(chmod(dir.CStr(), 0300), 0);
  EXPECT_EQ(dir.IsDirectory(), 0);  // exists, but cannot be listed
  chmod(dir.CStr(), 0700);
  EXPECT_EQ(dir.IsDirectory(), 1);
  EXPECT_EQ(dir.RemoveDirectory(), 0);

  CPathBuffer file(LocationFile(kLocationRuntime, CBoundedString("secret")));
  int fd = open(file.CStr(), O_CREAT | O_WRONLY, 0200);
  ASSERT_GE(fd, 0);
  close(fd);
  EXPECT_EQ(file.IsFile(), 0);
  EXPECT_EQ(file.CopyFile(CBoundedString("/var/run/copy")), -1);
  EXPECT_EQ(CBoundedString("/var/run/copy").IsFile(), 0);  // nothing was created
  chmod(file.CStr(), 0600);
  EXPECT_EQ(file.IsFile(), 1);
  EXPECT_EQ(file.Remove(), 0);
}

TEST(FileSystemSandbox, LocationsAreUsablePaths) {
  KESTREL_REQUIRE_SANDBOX();
  CPathBuffer card(LocationDirectory(kLocationCard));
  ASSERT_EQ(card.MakeDirectory(), 0);  // "/mnt/sdcard/": a trailing separator is fine
  EXPECT_EQ(LocationDirectory(kLocationSdkRegistry).MakeDirectory(), 0);
  EXPECT_EQ(LocationDirectory(kLocationSdkRegistry).IsDirectory(), 1);
  EXPECT_EQ(LocationDirectory(kLocationFlash).IsDirectory(), 0);
  EXPECT_GT(LocationDirectory(kLocationRuntime).FreeSpaceKiB(), 0);

  CPathBuffer note(LocationFile(kLocationRuntime, CBoundedString("note")));
  int fd = open(note.CStr(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  close(fd);
  // /var/run and the card are separate file systems: a rename cannot cross, a copy can.
  EXPECT_EQ(note.Rename(LocationFile(kLocationSdkRegistry, CBoundedString("note"))), -1);
  EXPECT_EQ(note.CopyFile(LocationFile(kLocationSdkRegistry, CBoundedString("note"))), 0);
  EXPECT_EQ(CBoundedString("/mnt/sdcard/SdkRegistry/note").IsFile(), 1);
}

}  // namespace
