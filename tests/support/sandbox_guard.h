#pragma once
// Tests that touch the device's fixed paths (/var/run, /mnt, /dev, /proc/corvina)
// run only inside the device sandbox. Put KESTREL_REQUIRE_SANDBOX() first in
// such a test: outside the sandbox it fails instead of touching the host.

#include <gtest/gtest.h>

bool InDeviceSandbox();

#define KESTREL_REQUIRE_SANDBOX() \
  ASSERT_TRUE(InDeviceSandbox()) << "run this test through kestrel-sandbox (ctest does)"
