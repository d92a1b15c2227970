// The emulator's command line.
#include "emu/emu_options.h"

#include <gtest/gtest.h>

namespace {

TEST(EmuOptions, ReadsTheOptionsAndTheProgram) {
  EmuOptions o;
  std::string error;
  ASSERT_TRUE(ParseEmuOptions({"--card", "/c", "--writable-card", "--model", "144", "--scenario", "s.txt", "--out",
                               "o", "--goldens", "g", "--log", "l", "--timeout", "9", "--", "qemu-arm", "-L", "/x",
                               "prog", "--card"},
                              o, error))
      << error;
  EXPECT_EQ("/c", o.card);
  EXPECT_TRUE(o.writableCard);
  EXPECT_EQ(144, o.model);
  EXPECT_EQ("s.txt", o.scenario);
  EXPECT_EQ("o", o.outDir);
  EXPECT_EQ("g", o.goldenDir);
  EXPECT_EQ("l", o.log);
  EXPECT_EQ(9, o.timeoutSeconds);
  EXPECT_EQ((std::vector<std::string>{"qemu-arm", "-L", "/x", "prog", "--card"}), o.command);
  EmuOptions w;
  ASSERT_TRUE(ParseEmuOptions({"--window", "--scale", "3"}, w, error));
  EXPECT_TRUE(w.window);
  EXPECT_EQ(3, w.scale);
  EXPECT_EQ(27, w.model);
}

TEST(EmuOptions, BadOptionsAreNamed) {
  const struct {
    std::vector<std::string> args;
    const char* error;
  } cases[] = {
      {{"--frobnicate"}, "unknown option \"--frobnicate\""},
      {{"--card"}, "--card needs a value"},
      {{"--model", "27x"}, "--model takes a whole number from 0 to 1000000, not \"27x\""},
      {{"--scale", "9"}, "--scale takes a whole number from 1 to 8, not \"9\""},
      {{"--timeout", "0"}, "--timeout takes a whole number from 1 to 3600, not \"0\""},
      {{"--"}, "-- must be followed by the program to run"},
      {{"--window", "--scenario", "s"}, "--window and --scenario cannot be used together"},
  };
  for (const auto& c : cases) {
    EmuOptions o;
    std::string error;
    EXPECT_FALSE(ParseEmuOptions(c.args, o, error)) << c.args[0];
    EXPECT_EQ(c.error, error);
  }
}

}  // namespace
