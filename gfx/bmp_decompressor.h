#pragma once
// CBMPDecompressor reads an uncompressed Windows BMP file from the memory card
// and hands it out row by row as red-green-blue byte triples.
//
// The file is untrusted. What it decodes:
//   - 1, 4 and 8 bits per pixel through the file's palette; an index past the
//     palette the file supplies is black;
//   - 16 bits per pixel as 5-5-5 red-green-blue (the uncompressed layout);
//   - 24 bits per pixel as blue-green-red bytes.
// Pixel data shorter than the rows is accepted: the missing pixels, at most
// kSlackPixels of them, are black.
// Refused (no image): a short header, no "BM" signature, a header size other
// than 40, any compression, any other depth, a width or height of 0, more than
// kMaxPixels pixels, a negative (top-down) height, a pixel data offset inside
// the header or past the end of the file, and a picture more than kSlackPixels
// pixels larger than the pixel data the file holds carries at its depth, so
// that a short file cannot make the decoder allocate memory out of proportion
// to it.

#include <cstddef>
#include <cstdint>

class MBitmapDecompressor {
 public:
  // The device has a 320x240 screen and little memory: 2^20 pixels (2 MB as
  // RGB565, about 13 screens) still takes a long thin strip such as 1 x 64000
  // or a background several screens large, while no made-up size can cost
  // more than a few MB. No decoder hands out, and no picture holds, more.
  static constexpr uint64_t kMaxPixels = uint64_t{1} << 20;

  virtual ~MBitmapDecompressor() = default;
  // Reads the file behind the descriptor; true on success.
  virtual bool LoadFromFile(int fd) = 0;
  // A second load entry point.
  virtual bool LoadFromMemory() = 0;
  virtual uint32_t GetImageWidth() = 0;
  virtual uint32_t GetImageHeight() = 0;
  // True when the file has 1 bit per pixel.
  virtual bool IsMonochrome() = 0;
  // Row r (0 = top row) as width red-green-blue triples; null past the last row.
  virtual const uint8_t* GetRow(uint32_t r) = 0;
};

class CBMPDecompressor : public MBitmapDecompressor {
 public:
  static constexpr uint32_t kHeaderSize = 54;
  // Pixels a file may lack and still decode (they are black): a copy cut short.
  static constexpr uint64_t kSlackPixels = 32 * 1024;

  CBMPDecompressor() = default;
  ~CBMPDecompressor() override;
  CBMPDecompressor(const CBMPDecompressor&) = delete;
  CBMPDecompressor& operator=(const CBMPDecompressor&) = delete;

  // On success the descriptor is closed; on failure everything is reset and the
  // descriptor is left open for the caller.
  bool LoadFromFile(int fd) override;
  // Always fails: pictures come from files only.
  bool LoadFromMemory() override;
  uint32_t GetImageWidth() override { return iWidth; }
  uint32_t GetImageHeight() override { return iHeight; }
  bool IsMonochrome() override { return iBitsPerPixel == 1; }
  const uint8_t* GetRow(uint32_t r) override;

  uint32_t GetBitsPerPixel() const { return iBitsPerPixel; }

 private:
  bool Load(int fd);
  void Reset();

  uint32_t iWidth = 0;
  uint32_t iHeight = 0;
  uint32_t iBitsPerPixel = 0;
  uint32_t iStride = 0;
  uint8_t* iPalette = nullptr;  // 256 red-green-blue triples; black past the file's palette
  uint8_t* iPixels = nullptr;   // the rows as stored in the file, as far as it holds them
  size_t iPixelBytes = 0;
  uint8_t* iRow = nullptr;      // width triples
};
