#include "tests/support/golden.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "device/frame_buffer.h"
#include "emu/png_image.h"

namespace {

CRgbPicture PictureOf(MFrameBuffer& fb) {
  CRgbPicture p;
  p.Resize(fb.GetWidth(), fb.GetHeight());
  for (uint32_t y = 0; y < p.height; ++y)
    for (uint32_t x = 0; x < p.width; ++x) {
      Color c;
      std::memcpy(&c, fb.GetBuffer() + fb.GetPixelOffset(static_cast<int32_t>(x), static_cast<int32_t>(y)), 2);
      ExpandRgb565(c, p.At(x, y));
    }
  return p;
}

std::string GoldenPath(const std::string& name) { return std::string(KESTREL_GOLDEN_DIR) + "/" + name + ".png"; }

std::string OutPath(const std::string& name, const char* kind) {
  const std::string dir = std::string(KESTREL_GOLDEN_OUT_DIR);
  mkdir(dir.c_str(), 0755);
  return dir + "/" + name + "." + kind + ".png";
}

}  // namespace

::testing::AssertionResult MatchesGolden(MFrameBuffer& fb, const std::string& name) {
  const CRgbPicture actual = PictureOf(fb);
  const std::string golden = GoldenPath(name);
  const char* update = std::getenv("KESTREL_UPDATE_GOLDENS");
  if (update != nullptr && std::strcmp(update, "1") == 0) {
    if (!WritePng(golden, actual)) return ::testing::AssertionFailure() << "cannot write " << golden;
    return ::testing::AssertionSuccess() << "wrote " << golden;
  }
  CRgbPicture expected;
  const bool read = ReadPng(golden, expected);
  CRgbPicture diff;
  const long differing = read ? ComparePictures(actual, expected, &diff) : -1;
  if (differing == 0) return ::testing::AssertionSuccess();
  const std::string actualPath = OutPath(name, "actual");
  WritePng(actualPath, actual);
  auto failure = ::testing::AssertionFailure();
  if (!read) {
    failure << "no golden " << golden << " (tools/update-goldens writes it)";
  } else if (expected.width != actual.width || expected.height != actual.height) {
    failure << golden << " is " << expected.width << "x" << expected.height << ", the screen "
            << actual.width << "x" << actual.height;
  } else {
    const std::string diffPath = OutPath(name, "diff");
    WritePng(diffPath, diff);
    failure << differing << " pixels differ from " << golden << "; difference in " << diffPath;
  }
  return failure << "; actual image in " << actualPath;
}
