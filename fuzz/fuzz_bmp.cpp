// BMP pictures are card input: decode whatever bytes come, then draw the
// result whole and in part into an ordinary frame buffer.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "device/memory_frame_buffer.h"
#include "gfx/image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const int fd = memfd_create("fuzz_bmp", 0);
  if (fd < 0) return 0;
  size_t done = 0;
  while (done < size) {
    const ssize_t n = write(fd, data + done, size - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  // The last bytes choose the transparent colour and the part drawn.
  const int32_t key = size > 0 ? data[size - 1] : 0;
  std::unique_ptr<MImage> image(LoadBmpImage(fd, key < 128 ? -1 : key, 0, key, 16));
  if (image == nullptr) return 0;
  static CMemoryFrameBuffer fb(320, 240);
  image->DrawImage(fb, 0, 0);
  const int32_t a = size > 2 ? static_cast<int8_t>(data[size - 2]) : 0;
  const int32_t b = size > 3 ? static_cast<int8_t>(data[size - 3]) : 0;
  image->DrawImagePart(fb, 1, 2, a, b, b - a, a * 3);
  image->DrawImagePart(fb, 0, 0, a * 4, b * 2, 400, 400);
  return 0;
}
