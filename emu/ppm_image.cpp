#include "emu/ppm_image.h"

#include "emu/bounded_file.h"

namespace {

bool Space(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// One header number: white space and '#' comments before it, then decimal
// digits, then one white space character (for the last number, the single
// separator before the pixels).
bool HeaderNumber(const uint8_t* data, size_t size, size_t& at, uint32_t& value) {
  while (at < size && (Space(data[at]) || data[at] == '#')) {
    if (data[at] == '#') {
      while (at < size && data[at] != '\n') ++at;
    } else {
      ++at;
    }
  }
  uint64_t v = 0;
  size_t digits = 0;
  while (at < size && data[at] >= '0' && data[at] <= '9') {
    v = v * 10 + (data[at++] - '0');
    if (++digits > 9) return false;
  }
  if (digits == 0 || at >= size || !Space(data[at])) return false;
  ++at;
  value = static_cast<uint32_t>(v);
  return true;
}

}  // namespace

bool ParsePpm(const uint8_t* data, size_t size, CRgbPicture& picture, std::string& why) {
  size_t at = 2;
  uint32_t width = 0, height = 0, maxval = 0;
  if (size < 2 || data[0] != 'P' || data[1] != '6' || !HeaderNumber(data, size, at, width) ||
      !HeaderNumber(data, size, at, height) || !HeaderNumber(data, size, at, maxval)) {
    why = "not a binary PPM (P6) header";
    return false;
  }
  if (maxval != 255) {
    why = "a PPM of maxval " + std::to_string(maxval) + ", not 255";
    return false;
  }
  if (width == 0 || height == 0 || uint64_t{width} * height > kMaxPngPixels) {
    why = "a PPM of " + std::to_string(width) + "x" + std::to_string(height) + " pixels";
    return false;
  }
  const size_t bytes = size_t{width} * height * 3;
  if (size - at < bytes) {
    why = "the PPM's pixels are cut short";
    return false;
  }
  picture.Resize(width, height);
  picture.rgb.assign(data + at, data + at + bytes);
  return true;
}

bool ReadPpm(const std::string& path, CRgbPicture& picture, std::string& why) {
  std::string bytes;
  if (!ReadBoundedFile(path, kMaxPngPixels * 3 + 4096, bytes, why)) return false;
  if (!ParsePpm(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), picture, why)) {
    why = path + ": " + why;
    return false;
  }
  return true;
}

void ReduceToRgb565(CRgbPicture& picture) {
  for (size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
    const uint8_t* p = &picture.rgb[i];
    const uint16_t c = static_cast<uint16_t>((p[0] >> 3) << 11 | (p[1] >> 2) << 5 | p[2] >> 3);
    ExpandRgb565(c, &picture.rgb[i]);
  }
}
