#include "gfx/image.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <tuple>

#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "tests/gfx/bmp_fixture.h"
#include "tests/support/temp_dir.h"

namespace {

std::unique_ptr<MImage> Load(const BmpFixture& f, int32_t red = -1, int32_t green = 0, int32_t blue = 0,
                             uint32_t depth = 16) {
  TempDir dir;
  const std::string path = dir.Write("p.bmp", f.Bytes());
  const int fd = open(path.c_str(), O_RDONLY);
  return std::unique_ptr<MImage>(LoadBmpImage(fd, red, green, blue, depth));
}

// Image pixels drawn at (x0, y0) must show where listed, the background elsewhere.
void ExpectDrawn(CMemoryFrameBuffer& fb, int32_t x0, int32_t y0, int32_t firstColumn, int32_t lastColumn,
                 int32_t firstRow, int32_t lastRow, Color background) {
  for (int32_t x = 0; x < static_cast<int32_t>(fb.GetWidth()); ++x)
    for (int32_t y = 0; y < static_cast<int32_t>(fb.GetHeight()); ++y) {
      const int32_t c = x - x0, r = y - y0;
      const bool in = c >= firstColumn && c <= lastColumn && r >= firstRow && r <= lastRow;
      ASSERT_EQ(fb.PixelAt(x, y), in ? GradientColor(c, r) : background) << x << "," << y;
    }
}

TEST(Image, DrawImagePlacesEveryPixelOnlyWhenItFits) {
  auto image = Load(Gradient24(7, 5));
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetDepth(), 16u);
  CMemoryFrameBuffer fb(10, 8);
  fb.Fill(0x0101);
  EXPECT_TRUE(image->DrawImage(fb, 3, 2));  // touches the right and bottom edges exactly
  ExpectDrawn(fb, 3, 2, 0, 6, 0, 4, 0x0101);

  // Not fitting entirely means not drawn at all.
  CMemoryFrameBuffer clean(10, 8);
  for (auto [x, y] : {std::pair{4, 0}, {0, 4}, {-1, 0}, {0, -1}, {INT32_MAX, 0}, {0, INT32_MAX}})
    EXPECT_FALSE(image->DrawImage(clean, x, y)) << x << "," << y;
  CMemoryFrameBuffer none(0, 0);
  EXPECT_FALSE(image->DrawImage(none, 0, 0));
  EXPECT_EQ(clean.Bytes(), CMemoryFrameBuffer(10, 8).Bytes());

  // As wide as the target: drawn at x = 0, not at x = 1.
  CMemoryFrameBuffer exact(7, 5);
  EXPECT_FALSE(image->DrawImage(exact, 1, 0));
  EXPECT_TRUE(image->DrawImage(exact, 0, 0));  // columns back to back: copied at once
  ExpectDrawn(exact, 0, 0, 0, 6, 0, 4, 0);
  CMemoryFrameBuffer band(9, 5);  // as high as the picture, wider
  band.Fill(0x0303);
  EXPECT_TRUE(image->DrawImage(band, 2, 0));
  ExpectDrawn(band, 2, 0, 0, 6, 0, 4, 0x0303);
}

TEST(Image, TransparentColourLeavesTheBackground) {
  BmpFixture f;
  f.width = 2;
  f.height = 1;
  f.pixels = {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0};  // magenta, green
  auto keyed = Load(f, 255, 0, 255);
  ASSERT_NE(keyed, nullptr);
  EXPECT_EQ(static_cast<CImage*>(keyed.get())->Transparent(), 0xF81F);
  CMemoryFrameBuffer fb(4, 4);
  fb.Fill(0x1111);
  EXPECT_TRUE(keyed->DrawImage(fb, 1, 1));
  EXPECT_EQ(fb.PixelAt(1, 1), 0x1111);
  EXPECT_EQ(fb.PixelAt(2, 1), 0x07E0);
  EXPECT_TRUE(keyed->DrawImagePart(fb, 0, 2, 0, 0, 4, 4));
  EXPECT_EQ(fb.PixelAt(0, 2), 0x1111);
  EXPECT_EQ(fb.PixelAt(1, 2), 0x07E0);

  auto opaque = Load(f);
  EXPECT_EQ(static_cast<CImage*>(opaque.get())->Transparent(), -1);
  EXPECT_TRUE(opaque->DrawImage(fb, 1, 1));
  EXPECT_EQ(fb.PixelAt(1, 1), 0xF81F);
  // Out-of-range channels are taken in 0-255 rather than spilling into other channels.
  EXPECT_EQ(static_cast<CImage*>(Load(f, 300, -5, 255).get())->Transparent(), 0xF81F);
}

TEST(Image, DrawImagePartWidensTheAreaByOneRow) {
  auto image = Load(Gradient24(40, 40));
  ASSERT_NE(image, nullptr);
  const struct {
    int32_t x, y, ax, ay, aw, ah;
    int32_t firstColumn, lastColumn, firstRow, lastRow;
  } cases[] = {
      {0, 0, 10, 10, 20, 20, 10, 30, 9, 30},
      {0, 0, 30, 30, 20, 20, 30, 39, 29, 39},   // cut at the image's edges
      {5, 5, 0, 0, 10, 10, 0, 5, 0, 11},        // area starting above and left of the image
      {0, 0, 50, 50, 10, 10, 50, 39, 49, 39},   // beyond the image: nothing
      {0, 0, 10, 10, -30, -30, 10, -20, 9, -20},  // negative sizes: nothing
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.ax << "," << c.ay << " " << c.aw << "x" << c.ah);
    CMemoryFrameBuffer fb(60, 60);
    fb.Fill(0x2222);
    EXPECT_TRUE(image->DrawImagePart(fb, c.x, c.y, c.ax, c.ay, c.aw, c.ah));
    ExpectDrawn(fb, c.x, c.y, c.firstColumn, c.lastColumn, c.firstRow, c.lastRow, 0x2222);
  }
  CMemoryFrameBuffer small(30, 30);
  EXPECT_FALSE(image->DrawImagePart(small, 0, 0, 0, 0, 5, 5));  // the whole image must fit
  EXPECT_EQ(small.Bytes(), CMemoryFrameBuffer(30, 30).Bytes());
}

TEST(Image, DisplayPicturesTakeTheDisplayDepth) {
  CMemoryFrameBuffer display(8, 6, 24);
  SetFrameBufferForTesting(&display);
  TempDir dir;
  const std::string path = dir.Write("p.bmp", Gradient24(3, 2).Bytes());
  std::unique_ptr<MImage> image(LoadBmpImage(open(path.c_str(), O_RDONLY), -1, 0, 0));
  SetFrameBufferForTesting(nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetDepth(), 24u);
}

TEST(Image, OtherTargetDepthsArePaintedPixelByPixel) {
  auto image = Load(Gradient24(6, 4), -1, 0, 0, 24);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->GetDepth(), 24u);
  CMemoryFrameBuffer fb(8, 6, 24);
  EXPECT_TRUE(image->DrawImage(fb, 1, 1));
  ExpectDrawn(fb, 1, 1, 0, 5, 0, 3, 0);
}

// A decoder that claims a size and hands out no rows.
class SizeOnly : public MBitmapDecompressor {
 public:
  SizeOnly(uint32_t width, uint32_t height) : iWidth(width), iHeight(height) {}
  bool LoadFromFile(int) override { return true; }
  bool LoadFromMemory() override { return true; }
  uint32_t GetImageWidth() override { return iWidth; }
  uint32_t GetImageHeight() override { return iHeight; }
  bool IsMonochrome() override { return false; }
  const uint8_t* GetRow(uint32_t) override { return nullptr; }

 private:
  uint32_t iWidth, iHeight;
};

// A picture holds no more pixels than a decoder may hand out, whoever the
// decoder is; 65536 x 65537 wraps to 65536 in a 32-bit size_t.
TEST(Image, HoldsAtMostTheDecoderPixelBound) {
  static_assert(MBitmapDecompressor::kMaxPixels == 1024 * 1024, "the sizes below");
  for (auto [w, h, held] : {std::tuple{1u, 1024u * 1024u, true}, {1024u * 1024u + 1, 1u, false},
                            {65536u, 65537u, false}, {0xFFFFFFFFu, 0xFFFFFFFFu, false}}) {
    SizeOnly decoder(w, h);
    EXPECT_EQ(CImage(decoder, -1, 0, 0, 16).HasPixels(), held) << w << " x " << h;
  }
}

}  // namespace
