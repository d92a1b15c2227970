#include "sysutil/bounded_string.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

static_assert(sizeof(CPathBuffer) == 8 + kPathCapacity,
              "a path buffer is its two words and its characters");

namespace {

char gEmpty[1] = {0};

uint32_t ClipCapacity(int64_t capacity) {
  if (capacity < 0) return 0;
  if (capacity > static_cast<int64_t>(CBoundedString::kCapacityMask)) {
    return CBoundedString::kCapacityMask;
  }
  return static_cast<uint32_t>(capacity);
}

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

uint8_t U(char c) { return static_cast<uint8_t>(c); }

}  // namespace

char PathSeparator() { return '/'; }

// --- construction ----------------------------------------------------------

CBoundedString::CBoundedString(const char* text) : iLength(0), iCapacityWord(kExternal) {
  iStorage.iPtr = const_cast<char*>(text ? text : gEmpty);
  size_t n = text ? std::strlen(text) : 0;
  if (n > kCapacityMask - 1) n = kCapacityMask - 1;
  iLength = static_cast<int32_t>(n);
  iCapacityWord = static_cast<uint32_t>(n + 1) | kExternal;
}

CBoundedString::CBoundedString(const char* text, int32_t n, int32_t capacity)
    : iLength(0), iCapacityWord(kExternal) {
  iStorage.iPtr = const_cast<char*>(text ? text : gEmpty);
  uint32_t cap = text ? ClipCapacity(capacity) : 1;
  int32_t len = text ? n : 0;
  if (len < 0) len = 0;
  if (static_cast<uint32_t>(len) > cap) cap = ClipCapacity(len);
  if (static_cast<uint32_t>(len) > cap) len = static_cast<int32_t>(cap);
  iLength = len;
  iCapacityWord = cap | kExternal;
}

CBoundedString::CBoundedString(const CBoundedString& other)
    : iLength(other.iLength), iCapacityWord(other.iCapacityWord | kExternal) {
  iStorage.iPtr = const_cast<char*>(other.Data());
}

CBoundedString::CBoundedString(uint32_t inlineCapacity)
    : iLength(0), iCapacityWord(inlineCapacity & kCapacityMask) {
  iStorage.iPtr = nullptr;  // zeroes the first storage word: an empty C string
}

// --- writing ---------------------------------------------------------------

void CBoundedString::Set(const CBoundedString& other) {
  Set(other.Data(), other.iLength);
}

void CBoundedString::Set(const char* text, int32_t n) {
  if (text == nullptr || n < 0) n = 0;
  n = Min(n, Capacity());
  // memmove: the source may be a view over this string's own characters.
  if (n > 0) std::memmove(Data(), text, static_cast<size_t>(n));
  iLength = n;
  Terminate();
}

void CBoundedString::Set(const char* text) {
  if (text == nullptr) {
    Set(gEmpty, 0);
    return;
  }
  // Reads no further than the capacity needs.
  Set(text, static_cast<int32_t>(strnlen(text, static_cast<size_t>(Capacity()))));
}

void CBoundedString::Append(const CBoundedString& other) {
  int32_t n = Min(other.iLength, Capacity() - iLength);
  if (n > 0) {
    std::memmove(Data() + iLength, other.Data(), static_cast<size_t>(n));
    iLength += n;
  }
  Terminate();
}

void CBoundedString::Append(const char* text) {
  if (text == nullptr) text = gEmpty;
  int32_t room = Capacity() - iLength;
  if (room < 0) room = 0;
  int32_t n = static_cast<int32_t>(strnlen(text, static_cast<size_t>(room)));
  Append(CBoundedString(text, n, n));
}

void CBoundedString::AppendChar(char c) {
  if (iLength < Capacity()) Data()[iLength++] = c;
}

void CBoundedString::AppendChar(char c, int32_t n) {
  for (int32_t i = 0; i < n && iLength < Capacity(); ++i) AppendChar(c);
}

void CBoundedString::Terminate() {
  int32_t cap = Capacity();
  if (cap == 0) {  // no room even for the NUL
    iLength = 0;
    return;
  }
  if (iLength >= cap) iLength = cap - 1;
  if (iLength < 0) iLength = 0;
  Data()[iLength] = 0;
}

const char* CBoundedString::CStr() {
  int32_t cap = Capacity();
  if (cap == 0) return gEmpty;
  char* d = Data();
  if (iLength >= cap) {
    // Full: the NUL hides the last character; position `length` is out of bounds.
    d[cap - 1] = 0;
  } else if (d[iLength] != 0) {
    d[iLength] = 0;
  }
  return d;
}

const char* CBoundedString::CStrOrEmpty() {
  if (iLength <= 0 || Capacity() == 0) {
    gEmpty[0] = 0;
    return gEmpty;
  }
  if (iLength >= Capacity()) iLength = Capacity() - 1;
  return CStr();
}

void CBoundedString::SetLength(int32_t n) {
  iLength = n < 1 ? 0 : Min(n, Capacity());
}

void CBoundedString::CopyOut(char* buffer, int32_t size) const {
  if (buffer == nullptr || size < 1) return;
  int32_t n = Min(iLength, size - 1);
  if (n > 0) std::memmove(buffer, Data(), static_cast<size_t>(n));
  buffer[n > 0 ? n : 0] = 0;
}

void CBoundedString::ZeroFill() {
  if (iLength > 0) std::memset(Data(), 0, static_cast<size_t>(iLength));
}

void CBoundedString::Insert(int32_t pos, const CBoundedString& other) {
  int32_t n = Min(other.iLength, Capacity() - iLength);
  if (n <= 0) return;
  if (pos < 0) pos = 0;
  if (pos > iLength) pos = iLength;
  char* d = Data();
  // Put the new characters after the end first, then rotate them into place:
  // correct even when `other` is a view over this string's own characters.
  std::memmove(d + iLength, other.Data(), static_cast<size_t>(n));
  std::rotate(d + pos, d + iLength, d + iLength + n);
  iLength += n;
}

void CBoundedString::InsertChar(int32_t pos, char c) {
  if (iLength + 1 > Capacity()) return;
  if (pos < 0) pos = 0;
  if (pos > iLength) pos = iLength;
  char* d = Data();
  std::memmove(d + pos + 1, d + pos, static_cast<size_t>(iLength - pos));
  d[pos] = c;
  ++iLength;
}

void CBoundedString::Prepend(const CBoundedString& other) { Insert(0, other); }

void CBoundedString::Delete(int32_t pos, int32_t n) {
  if (pos < 0 || pos >= iLength) return;
  n = Min(n, iLength - pos);
  if (n <= 0) return;
  char* d = Data();
  std::memmove(d + pos, d + pos + n, static_cast<size_t>(iLength - pos - n));
  iLength -= n;
}

void CBoundedString::TrimLeft() {
  int32_t i = 0;
  while (i < iLength && IsBlank(Data()[i])) ++i;
  Delete(0, i);
}

void CBoundedString::TrimRight() {
  while (iLength > 0 && IsBlank(Data()[iLength - 1])) --iLength;
}

void CBoundedString::Trim() {
  TrimRight();
  TrimLeft();
}

namespace {
void MapThrough(char* d, int32_t n, const uint8_t* table) {
  for (int32_t i = 0; i < n; ++i) d[i] = static_cast<char>(table[U(d[i])]);
}
}  // namespace

void CBoundedString::ToUpper() { MapThrough(Data(), iLength, kUpperCaseTable); }
void CBoundedString::ToLower() { MapThrough(Data(), iLength, kLowerCaseTable); }
void CBoundedString::ToFolded() { MapThrough(Data(), iLength, kFoldingTable); }

void CBoundedString::Capitalise() {
  ToLower();
  if (iLength > 0) MapThrough(Data(), 1, kUpperCaseTable);
}

void CBoundedString::AppendDecimal(int32_t v) {
  // The magnitude in unsigned arithmetic: the most negative value has no
  // positive counterpart in 32 bits.
  uint32_t magnitude = static_cast<uint32_t>(v);
  if (v < 0) {
    AppendChar('-');
    magnitude = 0u - magnitude;
  }
  AppendNumber(magnitude, 10);
}

void CBoundedString::AppendNumber(uint32_t v, int base) {
  if (base < 2 || base > 36) return;  // no digits for such a base
  char digits[32];
  int n = 0;
  do {
    uint32_t d = v % static_cast<uint32_t>(base);
    digits[n++] = static_cast<char>(d < 10 ? '0' + d : 'a' + (d - 10));
    v /= static_cast<uint32_t>(base);
  } while (v != 0);
  while (n > 0) AppendChar(digits[--n]);
}

void CBoundedString::ReplaceExtension(const CBoundedString& ext) {
  // Only a '.' in the last path element starts an extension: "/a.d/file"
  // has none.
  int32_t dot = FindLast('.');
  if (dot >= 0 && dot > FindLast(PathSeparator())) iLength = dot;
  Append(ext);
}

// --- reading ---------------------------------------------------------------

int32_t CBoundedString::Find(char c) const {
  const char* d = Data();
  for (int32_t i = 0; i < iLength; ++i) {
    if (d[i] == c) return i;
  }
  return -1;
}

int32_t CBoundedString::FindLast(char c) const {
  const char* d = Data();
  for (int32_t i = iLength - 1; i >= 0; --i) {
    if (d[i] == c) return i;
  }
  return -1;
}

namespace {
int32_t FindThrough(const char* d, int32_t length, const char* text, int32_t n,
                    const uint8_t* table) {
  if (text == nullptr || n <= 0 || n > length) return -1;
  for (int32_t i = 0; i + n <= length; ++i) {
    int32_t k = 0;
    while (k < n && (table ? table[U(d[i + k])] == table[U(text[k])] : d[i + k] == text[k])) ++k;
    if (k == n) return i;
  }
  return -1;
}
}  // namespace

int32_t CBoundedString::Find(const char* text, int32_t n) const {
  return FindThrough(Data(), iLength, text, n, nullptr);
}

int32_t CBoundedString::FindFolded(const char* text, int32_t n) const {
  return FindThrough(Data(), iLength, text, n, kFoldingTable);
}

namespace {
enum class CompareMode { kExact, kNoCase, kFolded };

int CompareWith(const CBoundedString& a, const CBoundedString& b, CompareMode mode) {
  const char* x = a.Data();
  const char* y = b.Data();
  int32_t n = Min(a.Length(), b.Length());
  for (int32_t i = 0; i < n; ++i) {
    int cx = U(x[i]);
    int cy = U(y[i]);
    if (cx == cy) continue;
    if (mode == CompareMode::kNoCase) {
      cx = kUpperCaseTable[cx];
      cy = kUpperCaseTable[cy];
    } else if (mode == CompareMode::kFolded) {
      cx = kFoldingTable[cx];
      cy = kFoldingTable[cy];
    }
    if (cx != cy) return cx - cy;
  }
  if (a.Length() == b.Length()) return 0;
  return a.Length() < b.Length() ? -1 : 1;
}
}  // namespace

int CBoundedString::Compare(const CBoundedString& other) const {
  return CompareWith(*this, other, CompareMode::kExact);
}

int CBoundedString::CompareNoCase(const CBoundedString& other) const {
  return CompareWith(*this, other, CompareMode::kNoCase);
}

int CBoundedString::CompareFolded(const CBoundedString& other) const {
  return CompareWith(*this, other, CompareMode::kFolded);
}

// Views over a part: capacity = the part's length, so a write through the
// view stays inside the part (Right keeps the rest of the capacity, which
// covers the terminator of a NUL-terminated original).
CBoundedString CBoundedString::Left(int32_t n) const {
  if (n < 0) n = 0;
  n = Min(n, iLength);
  return CBoundedString(Data(), n, n);
}

CBoundedString CBoundedString::Right(int32_t n) const {
  if (n < 0) n = 0;
  n = Min(n, iLength);
  int32_t start = iLength - n;
  return CBoundedString(Data() + start, n, Capacity() - start);
}

CBoundedString CBoundedString::Mid(int32_t pos, int32_t n) const {
  if (pos <= 0) return Left(n);
  if (pos > iLength) pos = iLength;
  if (n < 0) n = 0;
  n = Min(n, iLength - pos);
  return CBoundedString(Data() + pos, n, n);
}

void CBoundedString::Substring(int32_t pos, int32_t n, CBoundedString& into) const {
  into.Set(Mid(pos, n));
}

int32_t CBoundedString::ParseInteger(int32_t* end) const {
  const char* d = Data();
  int32_t i = 0;
  while (i < iLength && IsBlank(d[i])) ++i;
  bool negative = false;
  if (i < iLength && (d[i] == '-' || d[i] == '+')) {
    negative = d[i] == '-';
    ++i;
  }
  // Accumulate the magnitude with a ceiling: a longer run of digits than
  // 32 bits can hold saturates at INT32_MAX or INT32_MIN.
  const int64_t ceiling = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
  int64_t value = 0;
  while (i < iLength && d[i] >= '0' && d[i] <= '9') {
    value = value * 10 + (d[i] - '0');
    if (value > ceiling) value = ceiling;
    ++i;
  }
  if (end) *end = i;
  return static_cast<int32_t>(negative ? -value : value);
}

CBoundedString CBoundedString::BaseName() const {
  int32_t start = FindLast(PathSeparator()) + 1;
  int32_t dot = FindLast('.');
  // A '.' in a directory part is no extension: the name runs to the end.
  int32_t stop = dot >= start ? dot : iLength;
  return Mid(start, stop - start);
}

int CBoundedString::IsAbsolute() const {
  return iLength > 0 && Data()[0] == PathSeparator() ? 1 : 0;
}

CBoundedString* CBoundedString::HeapCopy() const {
  size_t capacity = static_cast<size_t>(iLength) + 1;
  void* block = std::malloc(sizeof(CBoundedString) + capacity);
  if (block == nullptr) return nullptr;
  char* chars = static_cast<char*>(block) + sizeof(CBoundedString);
  CBoundedString* copy = new (block) CBoundedString(chars, 0, static_cast<int32_t>(capacity));
  copy->Set(*this);
  return copy;
}
