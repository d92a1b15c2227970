#include "sysutil/format.h"

#include <cstdlib>

#include "sysutil/bounded_string.h"
#include "sysutil/platform_time.h"

namespace {

class COutput {
 public:
  COutput(char* buffer, int32_t limit) : iBuffer(buffer), iLimit(limit) {}
  bool Full() const { return iCount >= iLimit; }
  void Put(char c) {
    if (!Full()) iBuffer[iCount++] = c;
  }
  int32_t Finish() {
    iBuffer[iCount] = 0;
    return iCount;
  }

 private:
  char* iBuffer;
  int32_t iLimit;
  int32_t iCount = 0;
};

struct Conversion {
  int width = 0;
  char pad = ' ';
  bool plus = false;
  int longs = 0;
};

// Digits of v, most significant first, padded on the left to the width.
void PutNumber(COutput& out, uint32_t v, uint32_t base, const Conversion& conv) {
  char scratch[20];
  int n = 0;
  do {
    uint32_t d = v % base;
    scratch[n++] = static_cast<char>(d < 10 ? '0' + d : 'A' + (d - 10));
    v /= base;
  } while (v != 0);
  for (int i = n; i < conv.width; ++i) out.Put(conv.pad);
  while (n > 0) out.Put(scratch[--n]);
}

void PutSigned(COutput& out, int32_t v, uint32_t base, const Conversion& conv) {
  // Unsigned negation: the most negative value keeps its magnitude 2^31.
  uint32_t magnitude = static_cast<uint32_t>(v);
  if (v < 0) {
    out.Put('-');
    magnitude = 0u - magnitude;
  } else if (conv.plus) {
    out.Put('+');
  }
  PutNumber(out, magnitude, base, conv);
}

bool IsDigitChar(char c) { return c >= '0' && c <= '9'; }

class CVaValues final : public MFormatValues {
 public:
  explicit CVaValues(va_list values) { va_copy(iValues, values); }
  ~CVaValues() override { va_end(iValues); }
  int32_t NextSigned(int longs) override {
    if (longs >= 2) return static_cast<int32_t>(static_cast<uint32_t>(va_arg(iValues, long long)));
    if (longs == 1) return static_cast<int32_t>(static_cast<uint32_t>(va_arg(iValues, long)));
    return va_arg(iValues, int);
  }
  uint32_t NextUnsigned(int longs) override {
    if (longs >= 2) return static_cast<uint32_t>(va_arg(iValues, unsigned long long));
    if (longs == 1) return static_cast<uint32_t>(va_arg(iValues, unsigned long));
    return va_arg(iValues, unsigned int);
  }
  const char* NextString() override { return va_arg(iValues, const char*); }

 private:
  va_list iValues;
};

}  // namespace

int32_t FormatBuffer(char* buffer, int32_t size, const char* format, MFormatValues& values) {
  if (buffer == nullptr || size < 1) return 0;
  COutput out(buffer, size - 1);
  const char* f = format ? format : "";
  while (!out.Full() && *f != 0) {
    char c = *f++;
    if (c != '%') {
      out.Put(c);
      continue;
    }
    Conversion conv;
    bool widthSeen = false;
    char conversion = 0;
    // A format that ends inside a conversion stops there, storing nothing for it.
    while (conversion == 0 && *f != 0) {
      char s = *f++;
      if (s == '+') {
        conv.plus = true;
      } else if (s == 'h') {
      } else if (s == 'l') {
        ++conv.longs;
      } else if (IsDigitChar(s) && !widthSeen) {
        widthSeen = true;
        if (s == '0') {
          // "%0N": a zero pads with zeros and the one character after it is the width.
          conv.pad = '0';
          if (*f == 0) break;
          char w = *f++;
          conv.width = IsDigitChar(w) ? w - '0' : 0;
        } else {
          conv.width = s - '0';
          if (IsDigitChar(*f)) conv.width = conv.width * 10 + (*f++ - '0');
        }
      } else {
        conversion = s;  // a digit after the width lands here as an unknown conversion
      }
    }
    switch (conversion) {
      case 0:
        break;
      case 'c':
        out.Put(static_cast<char>(values.NextSigned(0) & 0xFF));
        break;
      case 's': {
        const char* text = values.NextString();
        while (text != nullptr && *text != 0 && !out.Full()) out.Put(*text++);
        break;
      }
      case 'd':
        PutSigned(out, values.NextSigned(conv.longs), 10, conv);
        break;
      case 'x':
      case 'X':
        PutSigned(out, values.NextSigned(conv.longs), 16, conv);
        break;
      case 'u':
        PutNumber(out, values.NextUnsigned(conv.longs), 10, conv);
        break;
      default:  // '%' and every unknown conversion store the character itself
        out.Put(conversion);
        break;
    }
  }
  return out.Finish();
}

int32_t FormatBuffer(char* buffer, int32_t size, const char* format, va_list values) {
  CVaValues source(values);
  return FormatBuffer(buffer, size, format, source);
}

int32_t VFormatString(CBoundedString& target, const char* format, va_list values) {
  int32_t n = FormatBuffer(target.Data(), target.Capacity(), format, values);
  target.SetLength(n);
  return n;
}

int32_t FormatString(CBoundedString& target, const char* format, ...) {
  va_list values;
  va_start(values, format);
  int32_t n = VFormatString(target, format, values);
  va_end(values);
  return n;
}

int IsDigit(int c) { return c >= '0' && c <= '9' ? 1 : 0; }
int IsUpper(int c) { return c >= 'A' && c <= 'Z' ? 1 : 0; }
int IsLower(int c) { return c >= 'a' && c <= 'z' ? 1 : 0; }
int IsAlpha(int c) { return IsUpper(c) | IsLower(c); }
int UpperOf(int c) { return kUpperCaseTable[c & 0xFF]; }
int LowerOf(int c) { return kLowerCaseTable[c & 0xFF]; }
int FoldOf(int c) { return kFoldingTable[c & 0xFF]; }

int64_t NowMilliseconds() {
  int64_t us = WallMicroseconds();
  // Floor, as the time of day's whole milliseconds, also before the epoch.
  return us / 1000 - (us % 1000 < 0 ? 1 : 0);
}

int HasElapsed(int64_t start, int64_t interval) {
  int64_t now = NowMilliseconds();
  if (now < start || interval < 0) return 1;
  // now - start in unsigned: start + interval could overflow.
  uint64_t passed = static_cast<uint64_t>(now) - static_cast<uint64_t>(start);
  return passed > static_cast<uint64_t>(interval) ? 1 : 0;
}

int RandomNumber(int seed) {
  uint32_t clock = static_cast<uint32_t>(static_cast<uint64_t>(NowMilliseconds()));
  std::srand(static_cast<unsigned>(seed) + clock);
  return std::rand();
}
