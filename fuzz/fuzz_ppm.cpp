// Screen dumps: any bytes give a whole picture or a reason.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "emu/ppm_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CRgbPicture picture;
  std::string why;
  if (!ParsePpm(data, size, picture, why)) {
    if (why.empty()) abort();
    return 0;
  }
  if (picture.rgb.size() != size_t{picture.width} * picture.height * 3 || picture.rgb.size() > size) abort();
  ReduceToRgb565(picture);
  return 0;
}
