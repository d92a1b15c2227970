#include "gfx/bmp_decompressor.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "gfx/image.h"
#include "tests/gfx/bmp_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

// Opens `bytes` as a file; the descriptor, or -1.
int OpenBytes(const TempDir& dir, const std::string& bytes) {
  const std::string path = dir.Write("picture.bmp", bytes);
  return open(path.c_str(), O_RDONLY);
}

// Decodes `bytes`; the picture always takes the descriptor, decoded or not.
std::unique_ptr<CImage> Load(const std::string& bytes) {
  TempDir dir;
  const int fd = OpenBytes(dir, bytes);
  MImage* image = LoadBmpImage(fd, -1, 0, 0, 16);
  const bool closed = fcntl(fd, F_GETFD) == -1;
  EXPECT_TRUE(closed);
  if (!closed) close(fd);
  return std::unique_ptr<CImage>(static_cast<CImage*>(image));
}

// Whether the decoder itself takes `bytes`, whatever a picture would do after.
bool Decodes(const std::string& bytes) {
  TempDir dir;
  const int fd = OpenBytes(dir, bytes);
  CBMPDecompressor decoder;
  const bool decoded = decoder.LoadFromFile(fd);
  if (!decoded) close(fd);
  return decoded;
}

// bytes with n (at most 4) little-endian bytes of value at `at`.
std::string With(std::string bytes, size_t at, uint32_t value, int n) {
  char field[4];
  n = n < 4 ? n : 4;
  for (int i = 0; i < n; ++i) field[i] = static_cast<char>(value >> (8 * i));
  return bytes.replace(at, static_cast<size_t>(n), field, static_cast<size_t>(n));
}

Color Rgb(uint32_t rgb) { return ToColor(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

BmpFixture Indexed(uint16_t bpp, int32_t width, std::vector<uint32_t> palette, std::vector<uint8_t> rows) {
  BmpFixture f;
  f.width = width;
  f.height = static_cast<int32_t>(rows.size() / f.Stride());
  f.bitsPerPixel = bpp;
  f.palette = std::move(palette);
  f.pixels = std::move(rows);
  f.height = static_cast<int32_t>(f.pixels.size() / f.Stride());
  return f;
}

TEST(BmpDecompressor, FiveWide24BitRowsAreSixteenBytes) {
  const BmpFixture f = Gradient24(5, 3);
  EXPECT_EQ(f.Stride(), 16u);
  EXPECT_EQ(f.Bytes().size(), 54u + 48u);
  auto image = Load(f.Bytes());
  ASSERT_NE(image, nullptr);
  for (int32_t y = 0; y < 3; ++y)
    for (int32_t x = 0; x < 5; ++x) EXPECT_EQ(image->PixelAt(x, y), GradientColor(x, y)) << x << "," << y;
}

// A file, then the picture expected (width 0: none) and its pixels (null: not checked).
struct FileCase {
  const char* name;
  std::string bytes;
  uint32_t width, height;
  std::function<Color(int32_t, int32_t)> pixel;
};

// The decoder and the picture both take the file, or both refuse it. Small
// pictures are checked pixel by pixel, large ones at the corners and inside.
void ExpectPicture(const FileCase& c) {
  SCOPED_TRACE(c.name);
  EXPECT_EQ(Decodes(c.bytes), c.width != 0);
  auto image = Load(c.bytes);
  if (c.width == 0) {
    EXPECT_EQ(image, nullptr);
    return;
  }
  ASSERT_NE(image, nullptr);
  ASSERT_EQ(image->GetImageWidth(), c.width);
  ASSERT_EQ(image->GetImageHeight(), c.height);
  if (c.pixel == nullptr) return;
  const auto check = [&](uint32_t x, uint32_t y) {
    EXPECT_EQ(image->PixelAt(x, y), c.pixel(static_cast<int32_t>(x), static_cast<int32_t>(y))) << x << "," << y;
  };
  if (static_cast<uint64_t>(c.width) * c.height <= 4096) {
    for (uint32_t y = 0; y < c.height; ++y)
      for (uint32_t x = 0; x < c.width; ++x) check(x, y);
    return;
  }
  const uint32_t w = c.width - 1, h = c.height - 1;
  for (auto [x, y] : {std::pair{0u, 0u}, {w, 0u}, {0u, h}, {w, h}, {w / 2, h / 2}, {w - w / 3, h - h / 3}}) check(x, y);
}

TEST(BmpDecompressor, DecodesOrRefusesEveryFile) {
  const uint32_t red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF, white = 0xFFFFFF;
  const std::string good = Gradient24(4, 4).Bytes();
  const auto gradient = [](int32_t x, int32_t y) { return GradientColor(x, y); };
  const auto black = [](int32_t, int32_t) { return Color{0}; };
  const FileCase cases[] = {
      {"24 bits", good, 4, 4, gradient},
      {"8 bits", Indexed(8, 3, {red, green, blue}, {2, 1, 0, 0, 0, 1, 2, 0}).Bytes(), 3, 2,
       [&](int32_t x, int32_t y) { return Rgb(y == 1 ? (x == 0 ? blue : x == 1 ? green : red)
                                                     : (x == 0 ? red : x == 1 ? green : blue)); }},
      {"4 bits, high nibble first", Indexed(4, 3, {red, green, blue}, {0x12, 0x00, 0, 0, 0x21, 0x00, 0, 0}).Bytes(),
       3, 2, [&](int32_t x, int32_t y) { return Rgb(y == 1 ? (x == 0 ? green : x == 1 ? blue : red)
                                                         : (x == 0 ? blue : x == 1 ? green : red)); }},
      {"1 bit through its palette", Indexed(1, 10, {red, white}, {0xA0, 0x40, 0, 0}).Bytes(), 10, 1,
       [&](int32_t x, int32_t) { return Rgb(x == 0 || x == 2 || x == 9 ? white : red); }},
      {"16 bits as 5-5-5", Indexed(16, 2, {}, {0x00, 0x7C, 0x1F, 0x00}).Bytes(), 2, 1,
       [&](int32_t x, int32_t) { return Rgb(x == 0 ? red : blue); }},
      {"8-bit index past the palette is black", Indexed(8, 2, {white, white}, {1, 200, 0, 0}).Bytes(), 2, 1,
       [&](int32_t x, int32_t) { return Rgb(x == 0 ? white : 0); }},
      {"4-bit index past the palette is black", Indexed(4, 2, {white}, {0x0F, 0, 0, 0}).Bytes(), 2, 1,
       [&](int32_t x, int32_t) { return Rgb(x == 0 ? white : 0); }},
      // Rows are stored bottom first: the file holds the bottom row and half of the next.
      {"missing rows are black", good.substr(0, 54 + 12 + 6), 4, 4,
       [](int32_t x, int32_t y) { return y == 3 || (y == 2 && x < 2) ? GradientColor(x, y) : Color{0}; }},
      {"no pixel data at all", good.substr(0, 54), 4, 4, black},
      {"empty file", "", 0, 0, nullptr},
      {"truncated header", good.substr(0, 53), 0, 0, nullptr},
      {"signature", With(good, 0, 'B' | 'X' << 8, 2), 0, 0, nullptr},
      {"header size 12", With(good, 14, 12, 4), 0, 0, nullptr},
      {"pixel offset inside the header", With(good, 10, 20, 4), 0, 0, nullptr},
      {"pixel offset 0", With(good, 10, 0, 4), 0, 0, nullptr},
      {"pixel offset past the file", With(good, 10, 5000, 4), 0, 0, nullptr},
      {"pixel offset 0xFFFFFFFF", With(good, 10, 0xFFFFFFFF, 4), 0, 0, nullptr},
      {"0 bits", With(good, 28, 0, 2), 0, 0, nullptr},
      {"2 bits", With(good, 28, 2, 2), 0, 0, nullptr},
      {"32 bits", With(good, 28, 32, 2), 0, 0, nullptr},
      {"255 bits", With(good, 28, 255, 2), 0, 0, nullptr},
      {"width 0", With(good, 18, 0, 4), 0, 0, nullptr},
      {"height 0", With(good, 22, 0, 4), 0, 0, nullptr},
      {"width 65535", With(good, 18, 65535, 4), 0, 0, nullptr},
      {"height 65535", With(good, 22, 65535, 4), 0, 0, nullptr},
      {"both 65535, 1 bit", With(With(With(good, 18, 65535, 4), 22, 65535, 4), 28, 1, 2), 0, 0, nullptr},
      // A picture out of all proportion to the pixel data the file holds.
      {"1000 x 1000 from 12 bytes of pixels", With(With(good, 18, 1000, 4), 22, 1000, 4).substr(0, 66), 0, 0, nullptr},
      {"top-down (negative height)", With(good, 22, static_cast<uint32_t>(-4), 4), 0, 0, nullptr},
      {"run-length compression", With(good, 30, 1, 4), 0, 0, nullptr},
      {"bit-field compression", With(good, 30, 3, 4), 0, 0, nullptr},
      {"palette cut short", Indexed(8, 2, {red, green}, {0, 1, 0, 0}).Bytes().substr(0, 58), 0, 0, nullptr},
      // Only the low 16 bits of the sizes count.
      {"width 0x10004", With(good, 18, 0x10004, 4), 4, 4, gradient},
  };
  for (const FileCase& c : cases) ExpectPicture(c);
}

// An 8-bit picture whose pixel (x, y) is red, green or blue by (x + y) % 3.
BmpFixture Stripes8(int32_t width, int32_t height) {
  BmpFixture f;
  f.width = width;
  f.height = height;
  f.bitsPerPixel = 8;
  f.palette = {0xFF0000, 0x00FF00, 0x0000FF};
  for (int32_t y = height - 1; y >= 0; --y) {
    const size_t at = f.pixels.size();
    for (int32_t x = 0; x < width; ++x) f.pixels.push_back(static_cast<uint8_t>((x + y) % 3));
    f.pixels.resize(at + f.Stride(), 0);
  }
  return f;
}

// A 1-bit picture, all of it the palette's first colour.
std::string Blank1(int32_t width, int32_t height) {
  BmpFixture f;
  f.width = width;
  f.height = height;
  f.bitsPerPixel = 1;
  f.palette = {0, 0xFFFFFF};
  f.pixels.assign(static_cast<size_t>(f.Stride()) * static_cast<size_t>(height), 0);
  return f.Bytes();
}

// Pictures are bounded by their pixel count, not by either side, and by the
// pixels their file carries; the sizes here must not wrap on the 32-bit device.
TEST(BmpDecompressor, BoundsThePixelCountAndWhatTheFileCarries) {
  static_assert(CBMPDecompressor::kMaxPixels == 1024 * 1024, "the boundary cases below");
  static_assert(CBMPDecompressor::kSlackPixels == 32 * 1024, "the slack cases below");
  const std::string small = Gradient24(4, 4).Bytes();
  // 1 bit, 32 wide: 8 pixels a byte, so 4096 bytes are the slack.
  const std::string cut = Blank1(32, 2048);
  const Color rgb[] = {Rgb(0xFF0000), Rgb(0x00FF00), Rgb(0x0000FF)};
  const auto stripes = [&](int32_t x, int32_t y) { return rgb[(x + y) % 3]; };
  const auto black = [](int32_t, int32_t) { return Color{0}; };
  const FileCase cases[] = {
      {"1 x 64000", Stripes8(1, 64000).Bytes(), 1, 64000, stripes},
      {"64000 x 1", Stripes8(64000, 1).Bytes(), 64000, 1, stripes},
      {"1024 x 1024, the most pixels", Blank1(1024, 1024), 1024, 1024, black},
      {"17 x 61681, one pixel more", Blank1(17, 61681), 0, 0, nullptr},
      {"100000 x 100000 in a small file", With(With(small, 18, 100000, 4), 22, 100000, 4), 0, 0, nullptr},
      {"short by the slack", cut.substr(0, cut.size() - 4096), 32, 2048, black},
      {"short by one byte more", cut.substr(0, cut.size() - 4097), 0, 0, nullptr},
      // 256 x 192 from 24576 bytes of pixels: 96 rows of 8 bits (the top 96
      // black), but only 32 rows of 24 bits.
      {"8 bits, half the rows", Stripes8(256, 192).Bytes().substr(0, 54 + 12 + 24576), 256, 192,
       [&](int32_t x, int32_t y) { return y < 96 ? Color{0} : stripes(x, y); }},
      {"24 bits, a sixth of the rows", Gradient24(256, 192).Bytes().substr(0, 54 + 24576), 0, 0, nullptr},
  };
  for (const FileCase& c : cases) ExpectPicture(c);
}

TEST(BmpDecompressor, FailureLeavesTheDescriptorOpenAndTheDecoderEmpty) {
  TempDir dir;
  const int fd = OpenBytes(dir, With(Gradient24(4, 4).Bytes(), 14, 12, 4));
  CBMPDecompressor decoder;
  EXPECT_FALSE(decoder.LoadFromFile(fd));
  EXPECT_NE(fcntl(fd, F_GETFD), -1);
  close(fd);
  EXPECT_EQ(decoder.GetImageWidth(), 0u);
  EXPECT_EQ(decoder.GetRow(0), nullptr);
  EXPECT_FALSE(decoder.LoadFromFile(-1));
  EXPECT_FALSE(decoder.LoadFromMemory());

  const int good = OpenBytes(dir, Indexed(1, 3, {0, 0xFFFFFF}, {0x40, 0, 0, 0}).Bytes());
  ASSERT_TRUE(decoder.LoadFromFile(good));
  EXPECT_TRUE(decoder.IsMonochrome());
  const uint8_t* row = decoder.GetRow(0);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row[3], 0xFF);  // triples: the middle pixel is white
  EXPECT_EQ(row[0], 0x00);
  EXPECT_EQ(decoder.GetRow(1), nullptr);
}

}  // namespace
