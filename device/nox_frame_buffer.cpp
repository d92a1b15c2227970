// The device display piece (library device_fb): everything that talks to the
// kernel framebuffer is in this file.
#include "device/nox_frame_buffer.h"

#include <fcntl.h>
#include <linux/fb.h>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>

bool LandscapeGeometry(uint32_t xres, uint32_t yres, uint32_t bitsPerPixel, DisplayGeometry& out) {
  out = DisplayGeometry();
  // Drawing stores 16 bits per pixel whatever the depth; the depth only
  // spaces the pixels, so it must leave room for those 16 bits.
  if (xres == 0 || yres == 0 || bitsPerPixel < 16 || bitsPerPixel % 8 != 0) return false;
  uint64_t bytes = uint64_t{xres} * yres * bitsPerPixel / 8;
  if (bytes > INT32_MAX) return false;
  out.width = xres > yres ? xres : yres;
  out.height = xres > yres ? yres : xres;
  out.bitsPerPixel = bitsPerPixel;
  out.bytes = static_cast<size_t>(bytes);
  return true;
}

CNoxFrameBufferImpl::CNoxFrameBufferImpl(const char* path) {
  iFd = open(path, O_RDWR | O_CLOEXEC);
  if (iFd < 0) return;
  fb_fix_screeninfo fixed{};
  fb_var_screeninfo var{};
  if (ioctl(iFd, FBIOGET_FSCREENINFO, &fixed) != 0) return;
  if (ioctl(iFd, FBIOGET_VSCREENINFO, &var) != 0) return;
  DisplayGeometry g;
  if (!LandscapeGeometry(var.xres, var.yres, var.bits_per_pixel, g)) return;
  void* p = mmap(nullptr, g.bytes, PROT_READ | PROT_WRITE, MAP_SHARED, iFd, 0);
  if (p == MAP_FAILED) return;  // geometry stays zero: nothing is drawn through null
  iBuffer = static_cast<uint8_t*>(p);
  iWidth = g.width;
  iHeight = g.height;
  iBitsPerPixel = g.bitsPerPixel;
  iBytesPerPixel = static_cast<int32_t>(g.bitsPerPixel >> 3);
  std::printf("Device mapped to address 0x%0" PRIXPTR " successfully, parameters: %dx%d, %dbpp\n",
              reinterpret_cast<uintptr_t>(iBuffer), static_cast<int>(iWidth),
              static_cast<int>(iHeight), static_cast<int>(iBitsPerPixel));
}

CNoxFrameBufferImpl::~CNoxFrameBufferImpl() {
  // 64-bit product: on a 32-bit device width x height x bits can pass 2^32
  // even though the bytes fit.
  if (iBuffer != nullptr) munmap(iBuffer, static_cast<size_t>(uint64_t{iWidth} * iHeight * iBitsPerPixel / 8));
  if (iFd >= 0) close(iFd);
}

MFrameBuffer* CreateDisplayFrameBuffer(const char* path) { return new CNoxFrameBufferImpl(path); }
