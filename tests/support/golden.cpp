#include "tests/support/golden.h"

#include <png.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "device/frame_buffer.h"

namespace {

struct Picture {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint8_t> rgb;  // row-major RGB888
};

void Expand(Color c, uint8_t* out) {
  const uint32_t r = c >> 11, g = (c >> 5) & 0x3F, b = c & 0x1F;
  out[0] = static_cast<uint8_t>(r << 3 | r >> 2);
  out[1] = static_cast<uint8_t>(g << 2 | g >> 4);
  out[2] = static_cast<uint8_t>(b << 3 | b >> 2);
}

Picture PictureOf(MFrameBuffer& fb) {
  Picture p;
  p.width = fb.GetWidth();
  p.height = fb.GetHeight();
  p.rgb.resize(size_t{p.width} * p.height * 3);
  for (uint32_t y = 0; y < p.height; ++y)
    for (uint32_t x = 0; x < p.width; ++x) {
      Color c;
      std::memcpy(&c, fb.GetBuffer() + fb.GetPixelOffset(static_cast<int32_t>(x), static_cast<int32_t>(y)), 2);
      Expand(c, &p.rgb[(size_t{y} * p.width + x) * 3]);
    }
  return p;
}

bool WritePng(const std::string& path, const Picture& p) {
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
    for (uint32_t y = 0; y < p.height; ++y) png_write_row(png, &p.rgb[size_t{y} * p.width * 3]);
    png_write_end(png, nullptr);
  }
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0 && ok;
}

bool ReadPng(const std::string& path, Picture& p) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
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

std::string GoldenPath(const std::string& name) { return std::string(KESTREL_GOLDEN_DIR) + "/" + name + ".png"; }

std::string OutPath(const std::string& name, const char* kind) {
  const std::string dir = std::string(KESTREL_GOLDEN_OUT_DIR);
  mkdir(dir.c_str(), 0755);
  return dir + "/" + name + "." + kind + ".png";
}

}  // namespace

::testing::AssertionResult MatchesGolden(MFrameBuffer& fb, const std::string& name) {
  const Picture actual = PictureOf(fb);
  const std::string golden = GoldenPath(name);
  const char* update = std::getenv("KESTREL_UPDATE_GOLDENS");
  if (update != nullptr && std::strcmp(update, "1") == 0) {
    if (!WritePng(golden, actual)) return ::testing::AssertionFailure() << "cannot write " << golden;
    return ::testing::AssertionSuccess() << "wrote " << golden;
  }
  Picture expected;
  const bool read = ReadPng(golden, expected);
  size_t differing = 0;
  Picture diff = actual;
  if (read && expected.width == actual.width && expected.height == actual.height) {
    for (size_t i = 0; i < actual.rgb.size(); i += 3) {
      if (std::memcmp(&actual.rgb[i], &expected.rgb[i], 3) == 0) {
        for (int k = 0; k < 3; ++k) diff.rgb[i + k] = static_cast<uint8_t>(actual.rgb[i + k] / 4);
      } else {
        ++differing;
        diff.rgb[i] = 255;
        diff.rgb[i + 1] = 0;
        diff.rgb[i + 2] = 0;
      }
    }
    if (differing == 0) return ::testing::AssertionSuccess();
  }
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
