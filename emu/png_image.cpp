#include "emu/png_image.h"

#include <png.h>

#include <cstdio>
#include <cstring>

void ExpandRgb565(uint16_t c, uint8_t* out) {
  const uint32_t r = c >> 11, g = (c >> 5) & 0x3F, b = c & 0x1F;
  out[0] = static_cast<uint8_t>(r << 3 | r >> 2);
  out[1] = static_cast<uint8_t>(g << 2 | g >> 4);
  out[2] = static_cast<uint8_t>(b << 3 | b >> 2);
}

bool WritePng(const std::string& path, const CRgbPicture& p) {
  if (p.rgb.size() != size_t{p.width} * p.height * 3 || p.width == 0 || p.height == 0) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = png != nullptr && info != nullptr && setjmp(png_jmpbuf(png)) == 0;
  if (ok) {
    png_init_io(png, f);
    png_set_IHDR(png, info, p.width, p.height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < p.height; ++y) png_write_row(png, p.At(0, y));
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0 && ok;
}

bool ReadPng(const std::string& path, CRgbPicture& p) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  if (uint64_t{image.width} * image.height > kMaxPngPixels) {
    png_image_free(&image);
    return false;
  }
  image.format = PNG_FORMAT_RGB;
  p.width = image.width;
  p.height = image.height;
  p.rgb.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, p.rgb.data(), 0, nullptr)) {
    png_image_free(&image);
    return false;
  }
  return true;
}

long ComparePictures(const CRgbPicture& actual, const CRgbPicture& expected, CRgbPicture* diff) {
  if (actual.width != expected.width || actual.height != expected.height ||
      actual.rgb.size() != expected.rgb.size())
    return -1;
  if (diff != nullptr) *diff = actual;
  long differing = 0;
  for (size_t i = 0; i + 2 < actual.rgb.size(); i += 3) {
    const bool same = std::memcmp(&actual.rgb[i], &expected.rgb[i], 3) == 0;
    if (!same) ++differing;
    if (diff == nullptr) continue;
    for (int k = 0; k < 3; ++k)
      diff->rgb[i + k] = same ? static_cast<uint8_t>(actual.rgb[i + k] / 4) : (k == 0 ? 255 : 0);
  }
  return differing;
}
