// The formatter on fuzzed format text. Every conversion gets a safe value
// (an int from the input, or a valid string); the output buffer has exactly
// `size` bytes, so ASan sees any store past it.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "sysutil/bounded_string.h"
#include "sysutil/format.h"

namespace {

class CFuzzValues final : public MFormatValues {
 public:
  CFuzzValues(const uint8_t* data, size_t size) : iData(data), iSize(size) {}
  int32_t NextSigned(int) override { return static_cast<int32_t>(Next()); }
  uint32_t NextUnsigned(int) override { return Next(); }
  const char* NextString() override {
    static const char* const kStrings[] = {"", "x", "client", nullptr,
                                           "a string longer than most of the buffers used here"};
    return kStrings[Next() % 5];
  }

 private:
  uint32_t Next() {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = v << 8 | (iSize ? iData[iPos++ % iSize] : 0x5a);
    return v;
  }
  const uint8_t* iData;
  size_t iSize;
  size_t iPos = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const int32_t bufferSize = data[0] % 64 + 1;
  // The format runs to the first NUL; the values come from the whole input.
  std::string format(reinterpret_cast<const char*>(data) + 1, size - 1);
  CFuzzValues values(data, size);

  std::unique_ptr<char[]> buffer(new char[bufferSize]);
  const int32_t n = FormatBuffer(buffer.get(), bufferSize, format.c_str(), values);
  if (n < 0 || n > bufferSize - 1 || buffer[n] != 0) abort();

  // The same through a bounded string of the path capacity.
  CPathBuffer path;
  CFuzzValues again(data, size);
  const int32_t m = FormatBuffer(path.Data(), path.Capacity(), format.c_str(), again);
  if (m < 0 || m > path.Capacity() - 1) abort();
  // A longer buffer holds at least what the shorter one did, unchanged.
  if (std::memcmp(path.Data(), buffer.get(), static_cast<size_t>(n)) != 0) abort();
  return 0;
}
