// The shadow screen: each model family's copy to the display, the active
// process check, ReadBack, and the accessor over the seams.
#include "device/virtual_screen.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <random>
#include <vector>

#include "device/device_seams.h"
#include "device/memory_frame_buffer.h"
#include "device/span_painter.h"
#include "tests/support/test_environment.h"

namespace {

class VirtualScreenTest : public ::testing::Test {
 protected:
  void SetUp() override { SetActivePidForTesting(static_cast<int32_t>(getpid())); }
  void TearDown() override { InstallTestDefaults(); }
};

// Pixel number n of a display whose memory is a plain array of 16-bit pixels.
uint16_t DevicePixel(CMemoryFrameBuffer& fb, size_t n) {
  uint16_t v;
  std::memcpy(&v, fb.Bytes().data() + 2 * n, 2);
  return v;
}

Color PixelOf(MFrameBuffer& fb, int32_t x, int32_t y) {
  Color c;
  std::memcpy(&c, fb.GetBuffer() + fb.GetPixelOffset(x, y), sizeof c);
  return c;
}

void FillRandom(CVirtualScreen& screen, uint32_t seed) {
  std::mt19937 rng(seed);
  for (uint32_t x = 0; x < screen.GetWidth(); ++x)
    for (uint32_t y = 0; y < screen.GetHeight(); ++y)
      PaintPixel(screen, static_cast<int32_t>(x), static_cast<int32_t>(y), static_cast<Color>(rng()));
}

// The straightforward row-major copy: display pixel y * W + x is shadow (x, y).
std::vector<uint8_t> RowMajor(CVirtualScreen& screen) {
  uint32_t w = screen.GetWidth();
  uint32_t h = screen.GetHeight();
  std::vector<uint8_t> out(size_t{w} * h * 2);
  for (uint32_t x = 0; x < w; ++x)
    for (uint32_t y = 0; y < h; ++y)
      std::memcpy(&out[2 * (size_t{y} * w + x)],
                  screen.GetBuffer() + screen.GetPixelOffset(static_cast<int32_t>(x), static_cast<int32_t>(y)), 2);
  return out;
}

// The memory display with its pixels a given number of bytes past a 32-byte
// boundary, inside a larger store that shows any byte written outside them.
struct CShiftedDisplay final : CMemoryFrameBuffer {
  CShiftedDisplay(uint32_t width, uint32_t height, size_t shift)
      : CMemoryFrameBuffer(width, height), store(Bytes().size() + 64), start(shift) {
    start += (32 - reinterpret_cast<uintptr_t>(store.data()) % 32) % 32;
  }
  uint8_t* GetBuffer() override { return store.data() + start; }
  std::vector<uint8_t> store;
  size_t start;
};

TEST_F(VirtualScreenTest, TransposingModelsPutCornersInRowOrder) {
  for (int32_t model : {27, 57, 121, 528, 144, 400}) {
    CMemoryFrameBuffer device(320, 240);
    CVirtualScreen screen(&device, model);
    PaintPixel(screen, 0, 0, 0x1111);
    PaintPixel(screen, 319, 0, 0x2222);
    PaintPixel(screen, 0, 239, 0x3333);
    PaintPixel(screen, 319, 239, 0x4444);
    PaintPixel(screen, 5, 7, 0x5555);
    screen.Flush(true);
    EXPECT_EQ(0x1111, DevicePixel(device, 0)) << model;
    EXPECT_EQ(0x2222, DevicePixel(device, 319)) << model;
    EXPECT_EQ(0x3333, DevicePixel(device, 239 * 320)) << model;
    EXPECT_EQ(0x4444, DevicePixel(device, 76799)) << model;
    EXPECT_EQ(0x5555, DevicePixel(device, 7 * 320 + 5)) << model;
  }
}

TEST_F(VirtualScreenTest, FastTransposeWritesTheStraightforwardBytes) {
  // Tile-sized, tall, wide, odd and tiny geometries; 57 x 170 has bands of
  // unequal height and a block of 24 columns, 7 x 9 rows without a tile.
  const uint32_t sizes[][2] = {{320, 240}, {480, 272}, {240, 320}, {13, 7}, {9, 17}, {8, 8},
                               {1, 1}, {23, 16}, {16, 23}, {7, 3}, {57, 170}, {7, 9}};
  for (const auto& s : sizes) {
    for (int32_t model : {144, 27}) {
      // Display memory on a 32-byte boundary and 16 bytes past one.
      for (size_t shift : {0, 16}) {
        CShiftedDisplay device(s[0], s[1], shift);
        CVirtualScreen screen(&device, model);
        FillRandom(screen, s[0] * 1000 + s[1]);
        screen.Flush(false);
        std::vector<uint8_t> expected(device.store.size(), 0);
        const std::vector<uint8_t> rows = RowMajor(screen);
        std::copy(rows.begin(), rows.end(), expected.begin() + static_cast<std::ptrdiff_t>(device.start));
        EXPECT_EQ(expected, device.store) << s[0] << "x" << s[1] << " model " << model << " shift " << shift;
      }
    }
  }
}

TEST_F(VirtualScreenTest, OtherModelsCopyTheShadowUnchanged) {
  for (int32_t model : {7, 0, -1, 145}) {
    CMemoryFrameBuffer device(320, 240);
    CVirtualScreen screen(&device, model);
    FillRandom(screen, 3);
    screen.Flush(true);
    EXPECT_EQ(0, std::memcmp(screen.GetBuffer(), device.Bytes().data(), 153600)) << model;
  }
  // A transposing model on a display that is not 16-bit keeps the bytes in
  // bounds with the plain copy.
  CMemoryFrameBuffer deep(10, 6, 32);
  CVirtualScreen screen(&deep, 27);
  FillRandom(screen, 4);
  screen.Flush(true);
  EXPECT_EQ(0, std::memcmp(screen.GetBuffer(), deep.Bytes().data(), deep.Bytes().size()));
}

TEST_F(VirtualScreenTest, OnlyTheActiveProcessWritesOrReadsTheDisplay) {
  for (int32_t other : {0, static_cast<int32_t>(getpid()) + 1}) {
    SetActivePidForTesting(other);
    CMemoryFrameBuffer device(8, 4);
    device.Fill(0x0F0F);
    CVirtualScreen screen(&device, 7);
    PaintPixel(screen, 1, 1, 0xABCD);
    screen.Flush(true);
    EXPECT_EQ(0x0F0F, device.PixelAt(1, 1)) << "flush by a process that is not active";
    screen.ReadBack(true);
    EXPECT_EQ(0xABCD, PixelOf(screen, 1, 1)) << "read back by a process that is not active";
    screen.Flush(false);
    EXPECT_EQ(0xABCD, device.PixelAt(1, 1)) << "an unchecked flush always copies";
  }
}

TEST_F(VirtualScreenTest, ReadBackCopiesTheDisplayUnchanged) {
  for (int32_t model : {27, 7}) {
    CMemoryFrameBuffer device(320, 240);
    device.Fill(0x1234);
    PaintPixel(device, 3, 4, 0xBEEF);
    CVirtualScreen screen(&device, model);
    screen.ReadBack(true);
    EXPECT_EQ(device.Bytes(), std::vector<uint8_t>(screen.GetBuffer(), screen.GetBuffer() + 153600));
    EXPECT_EQ(device.Bytes().data(), screen.GetDeviceBuffer());
  }
}

TEST_F(VirtualScreenTest, AccessorUsesTheDisplayAndModelSeams) {
  CMemoryFrameBuffer device(480, 272);
  SetFrameBufferForTesting(&device);
  SetModelIdForTesting(144);
  MVirtualScreen* screen = GetVirtualScreen();
  EXPECT_EQ(screen, GetVirtualScreen());
  EXPECT_EQ(480u, screen->GetWidth());
  EXPECT_EQ(272u, screen->GetHeight());
  // Starts black.
  EXPECT_EQ(std::vector<uint8_t>(480 * 272 * 2, 0),
            std::vector<uint8_t>(screen->GetBuffer(), screen->GetBuffer() + 480 * 272 * 2));
  PaintPixel(*screen, 479, 0, 0x7777);
  screen->Flush(true);
  EXPECT_EQ(0x7777, DevicePixel(device, 479));
}

TEST_F(VirtualScreenTest, DisplayWithoutGeometryIsNeverTouched) {
  CMemoryFrameBuffer none(0, 0);
  for (int32_t model : {27, 144, 7}) {
    CVirtualScreen screen(&none, model);
    EXPECT_EQ(nullptr, screen.GetBuffer());
    PaintPixel(screen, 0, 0, 0xFFFF);
    screen.Flush(false);
    screen.ReadBack(false);
  }
}

TEST_F(VirtualScreenTest, ShadowBelowSixteenBitsHoldsTheLastPixelsStore) {
  // Pixels are 16-bit stores spaced by the depth: the last one of an 8-bit
  // 4 x 4 grid reaches one byte past 16 bytes (ASan catches a short shadow).
  CMemoryFrameBuffer device(4, 4, 8);
  CVirtualScreen screen(&device, 7);
  PaintBox(screen, 0, 0, 4, 4, 0xABCD);
  PaintPixel(screen, 3, 0, 0x1234);
  screen.Flush(false);
  EXPECT_EQ(0x34, device.Bytes()[15]) << "the display gets its 16 bytes";
}

TEST_F(VirtualScreenTest, SeamPutsARecordingScreenInPlace) {
  struct CRecordingScreen final : MVirtualScreen {
    CMemoryFrameBuffer pixels{8, 4};
    std::vector<bool> flushes;
    uint8_t* GetBuffer() override { return pixels.GetBuffer(); }
    uint32_t GetWidth() override { return 8; }
    uint32_t GetHeight() override { return 4; }
    uint32_t GetBitsPerPixel() override { return 16; }
    int32_t GetPixelOffset(int32_t x, int32_t y) override { return pixels.GetPixelOffset(x, y); }
    void Flush(bool check) override { flushes.push_back(check); }
    void ReadBack(bool) override {}
    uint8_t* GetDeviceBuffer() override { return nullptr; }
  } recording;
  SetVirtualScreenForTesting(&recording);
  EXPECT_EQ(&recording, GetVirtualScreen());
  GetVirtualScreen()->Flush(true);
  EXPECT_EQ(std::vector<bool>{true}, recording.flushes);
  InstallTestDefaults();
  EXPECT_NE(&recording, GetVirtualScreen());
  EXPECT_EQ(&TestDisplay(), GetFrameBuffer()) << "the tests' display, never /dev/fb";
}

}  // namespace
