// QEMU's screen dumps read back as the RGB565 screens they show.
#include "emu/ppm_image.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool Parse(const std::string& bytes, CRgbPicture& p, std::string& why) {
  return ParsePpm(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), p, why);
}

TEST(PpmImage, HeadersAndTheirPixels) {
  const std::string pixels(2 * 1 * 3, '\x80');
  const struct {
    std::string bytes;
    bool ok;
  } cases[] = {
      {"P6\n2 1\n255\n" + pixels, true},
      {"P6 2 1 255 " + pixels, true},
      {"P6\n# QEMU\n2 # wide\n1\n255\n" + pixels, true},
      {"P6\r\n2\r\n1\r\n255\n" + pixels + "extra", true},
      {"P3\n2 1\n255\n" + pixels, false},             // text PPM
      {"P6\n2 1\n65535\n" + pixels + pixels, false},  // 16-bit channels
      {"P6\n0 1\n255\n", false},
      {"P6\n2 1\n255\n" + pixels.substr(1), false},   // cut short
      {"P6\n2 1\n255", false},                        // no separator before the pixels
      {"P6\n9999999999 1\n255\n", false},
      {"P6\n5000 5000\n255\n", false},                // past the largest picture
      {"P6\n-2 1\n255\n" + pixels, false},
      {"", false},
  };
  for (const auto& c : cases) {
    CRgbPicture p;
    std::string why;
    EXPECT_EQ(c.ok, Parse(c.bytes, p, why)) << c.bytes.substr(0, 24);
    if (c.ok) {
      EXPECT_EQ(2u, p.width);
      EXPECT_EQ(1u, p.height);
      EXPECT_EQ(pixels, std::string(p.rgb.begin(), p.rgb.end()));
    } else {
      EXPECT_FALSE(why.empty());
    }
  }
}

// Whether the dump expanded a pixel by shifting (QEMU) or by repeating the
// high bits (the emulator), reducing it gives the emulator's picture of the
// same 16-bit pixel, for every pixel value.
TEST(PpmImage, ReducesEitherExpansionToTheSameRgb565Pixel) {
  CRgbPicture shifted, repeated, expected;
  shifted.Resize(256, 256);
  repeated.Resize(256, 256);
  expected.Resize(256, 256);
  for (uint32_t c = 0; c < 65536; ++c) {
    const uint32_t x = c % 256, y = c / 256;
    uint8_t* s = shifted.At(x, y);
    s[0] = static_cast<uint8_t>((c >> 11) << 3);
    s[1] = static_cast<uint8_t>(((c >> 5) & 0x3F) << 2);
    s[2] = static_cast<uint8_t>((c & 0x1F) << 3);
    ExpandRgb565(static_cast<uint16_t>(c), repeated.At(x, y));
    ExpandRgb565(static_cast<uint16_t>(c), expected.At(x, y));
  }
  ReduceToRgb565(shifted);
  ReduceToRgb565(repeated);
  EXPECT_EQ(0, ComparePictures(shifted, expected, nullptr));
  EXPECT_EQ(0, ComparePictures(repeated, expected, nullptr));
}

}  // namespace
