#include "emu/emu_frame_buffer.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// The panels the emulator can show, 16 bits per pixel. Their sizes differ,
// so the file's size names the panel.
struct Panel {
  uint32_t width;
  uint32_t height;
};
constexpr Panel kPanels[] = {{320, 240}, {480, 272}, {800, 480}};
}  // namespace

bool CEmuFrameBuffer::GeometryForSize(size_t bytes, uint32_t& width, uint32_t& height) {
  for (const Panel& p : kPanels) {
    if (size_t{p.width} * p.height * 2 == bytes) {
      width = p.width;
      height = p.height;
      return true;
    }
  }
  return false;
}

CEmuFrameBuffer::CEmuFrameBuffer(const char* path) {
  iFd = open(path, O_RDWR | O_CLOEXEC);
  if (iFd < 0) return;
  struct stat st;
  if (fstat(iFd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) return;
  uint32_t width = 0;
  uint32_t height = 0;
  if (!GeometryForSize(static_cast<size_t>(st.st_size), width, height)) return;
  void* p = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ | PROT_WRITE, MAP_SHARED, iFd, 0);
  if (p == MAP_FAILED) return;
  iBuffer = static_cast<uint8_t*>(p);
  iBytes = static_cast<size_t>(st.st_size);
  iWidth = width;
  iHeight = height;
}

CEmuFrameBuffer::~CEmuFrameBuffer() {
  if (iBuffer != nullptr) munmap(iBuffer, iBytes);
  if (iFd >= 0) close(iFd);
}

// The emulated build's display piece; see device/CMakeLists.txt.
MFrameBuffer* CreateDisplayFrameBuffer(const char* path) { return new CEmuFrameBuffer(path); }
