#include "demo/card_writer.h"

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {
const char* gProgram = "card";

struct Rgb {
  uint8_t r, g, b;
};

constexpr Rgb kTransparentRed = {255, 0, 0};

// A 24-bit uncompressed BMP with a 40-byte header, rows bottom-up and padded
// to 4 bytes; pixel(x, y) gives the colour with y = 0 the top row.
template <typename PixelFn>
std::string Bmp24(uint32_t width, uint32_t height, PixelFn pixel) {
  const uint32_t stride = (width * 24 + 31) / 32 * 4;
  const uint32_t dataSize = stride * height;
  std::string out(54, '\0');
  auto put = [&out](size_t at, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
  };
  out[0] = 'B';
  out[1] = 'M';
  put(2, 54 + dataSize, 4);  // file size
  put(10, 54, 4);            // pixel data offset: no palette
  put(14, 40, 4);            // header size
  put(18, width, 4);
  put(22, height, 4);
  put(26, 1, 2);             // planes
  put(28, 24, 2);            // bits per pixel
  put(34, dataSize, 4);      // compression 0 (none), then the data size
  put(38, 2835, 4);          // 72 dpi, both ways
  put(42, 2835, 4);
  for (uint32_t row = 0; row < height; ++row) {
    const uint32_t y = height - 1 - row;
    for (uint32_t x = 0; x < width; ++x) {
      const Rgb c = pixel(x, y);
      out.push_back(static_cast<char>(c.b));
      out.push_back(static_cast<char>(c.g));
      out.push_back(static_cast<char>(c.r));
    }
    out.append(stride - width * 3, '\0');
  }
  return out;
}

// Behind every screen: a steel-blue title band, where the explorer's white
// and yellow titles and the keyboards' dark text line are both readable,
// then navy fading to a darker blue-green at the bottom.
constexpr uint32_t kTitleBand = 22;
std::string BackPicture() {
  return Bmp24(320, 240, [](uint32_t, uint32_t y) {
    if (y < kTitleBand) return Rgb{72, 112, 176};
    return Rgb{0, static_cast<uint8_t>(24 * y / 239), static_cast<uint8_t>(128 - 72 * y / 239)};
  });
}

// Whether pixel (x, y) of a 20 x 20 check picture lies outside its box with
// corners rounded by 3 pixels.
bool OutsideBox(int32_t x, int32_t y) {
  const int32_t cx = x < 3 ? 3 - x : (x > 16 ? x - 16 : 0);
  const int32_t cy = y < 3 ? 3 - y : (y > 16 ? y - 16 : 0);
  return cx * cx + cy * cy > 9;
}

bool OnFrame(int32_t x, int32_t y) {
  return !OutsideBox(x, y) && (OutsideBox(x - 2, y) || OutsideBox(x + 2, y) || OutsideBox(x, y - 2) ||
                               OutsideBox(x, y + 2));
}

// Whether the pixel centre (x + 1/2, y + 1/2) lies within 1.5 pixels of the
// segment a-b; in half-pixel units, so all in integers.
bool NearSegment(int32_t x, int32_t y, int32_t ax, int32_t ay, int32_t bx, int32_t by) {
  const int64_t px = 2 * x + 1 - 2 * ax, py = 2 * y + 1 - 2 * ay;
  const int64_t dx = 2 * (bx - ax), dy = 2 * (by - ay);
  const int64_t length2 = dx * dx + dy * dy;
  const int64_t dot = px * dx + py * dy;
  const int64_t radius2 = 9;  // (1.5 pixels)^2 in half-pixel units
  if (dot <= 0) return px * px + py * py <= radius2;
  if (dot >= length2) return (px - dx) * (px - dx) + (py - dy) * (py - dy) <= radius2;
  const int64_t cross = px * dy - py * dx;
  return cross * cross <= radius2 * length2;
}

// A light box with a grey frame; pure red outside the rounded corners is the
// skin's transparent colour. The "on" picture carries a green tick.
std::string CheckPicture(bool on) {
  return Bmp24(20, 20, [on](uint32_t ux, uint32_t uy) {
    const int32_t x = static_cast<int32_t>(ux), y = static_cast<int32_t>(uy);
    if (OutsideBox(x, y)) return kTransparentRed;
    if (OnFrame(x, y)) return Rgb{150, 160, 180};
    if (on && (NearSegment(x, y, 4, 10, 8, 14) || NearSegment(x, y, 8, 14, 15, 5))) return Rgb{30, 160, 60};
    return Rgb{240, 244, 250};
  });
}

int RemoveOne(const char* path, const struct stat*, int type, struct FTW*) {
  const int result = (type == FTW_DP) ? rmdir(path) : unlink(path);
  if (result != 0) FailErrno("cannot remove", path);
  return result;
}

}  // namespace

void SetCardToolName(const char* name) { gProgram = name; }

bool Fail(const std::string& what) {
  std::fprintf(stderr, "%s: %s\n", gProgram, what.c_str());
  return false;
}

bool FailErrno(const std::string& what, const std::string& path) {
  return Fail(what + " " + path + ": " + std::strerror(errno));
}

bool ReadFile(const std::string& path, std::string* out) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return FailErrno("cannot open", path);
  out->clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int saved = errno;
      close(fd);
      errno = saved;
      return FailErrno("cannot read", path);
    }
    if (n == 0) break;
    out->append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

bool WriteFile(const std::string& path, const std::string& content) {
  // O_EXCL: the card is written afresh, so a name met twice (a committed
  // file that a generated one would overwrite) is a mistake to report.
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) return FailErrno("cannot create", path);
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int saved = errno;
      close(fd);
      errno = saved;
      return FailErrno("cannot write", path);
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0) return FailErrno("cannot write", path);
  return true;
}

bool MakeDir(const std::string& path) {
  if (mkdir(path.c_str(), 0755) == 0 || errno == EEXIST) return true;
  return FailErrno("cannot create folder", path);
}

// Removes the output card and everything in it; a missing one is fine.
bool RemoveTree(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return errno == ENOENT || FailErrno("cannot look at", path);
  return nftw(path.c_str(), RemoveOne, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

bool WriteDemoSkin(const std::string& card, const std::string& fontBytes) {
  struct {
    const char* name;
    std::string content;
  } const files[] = {
      {"DejaVuSans.ttf", fontBytes},
      {"ControlFont.txt", "DejaVuSans 16\n0 0 0\n"},
      {"ButtonFont.txt", "DejaVuSans 18\n"},
      {"BigFont.txt", "DejaVuSans 24\n"},
      {"Back.bmp", BackPicture()},
      {"CheckOn.bmp", CheckPicture(true)},
      {"CheckOff.bmp", CheckPicture(false)},
  };
  if (!MakeDir(card + "/skin")) return false;
  for (const auto& file : files) {
    if (!WriteFile(card + "/skin/" + file.name, file.content)) return false;
  }
  return true;
}

bool ReadDejaVuFont(const std::string& path, std::string* out) {
  if (ReadFile(path, out) && !out->empty()) return true;
  return Fail("no DejaVu Sans font at " + path + ": install the Debian package fonts-dejavu-core (tools/setup does)");
}
