#include "sysutil/bounded_string.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
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

// --- case tables -----------------------------------------------------------

namespace {

struct CaseTables {
  uint8_t upper[256];
  uint8_t lower[256];
  uint8_t folded[256];
};

constexpr CaseTables MakeTables() {
  CaseTables t{};
  for (int i = 0; i < 256; ++i) {
    t.upper[i] = t.lower[i] = t.folded[i] = static_cast<uint8_t>(i);
  }
  for (int i = 97; i <= 122; ++i) {
    t.upper[i] = static_cast<uint8_t>(i - 32);
    t.lower[i - 32] = static_cast<uint8_t>(i);
    t.folded[i] = static_cast<uint8_t>(i - 32);
  }
  for (int i = 224; i <= 254; ++i) {
    t.upper[i] = static_cast<uint8_t>(i - 32);
    t.lower[i - 32] = static_cast<uint8_t>(i);
  }
  t.upper[190] = 189;
  t.lower[189] = 190;

  t.folded[45] = 32;
  t.folded[130] = 44;
  t.folded[138] = t.folded[154] = 83;
  t.folded[156] = 140;
  t.folded[159] = t.folded[221] = t.folded[253] = t.folded[255] = 89;
  t.folded[189] = t.folded[190] = 76;
  for (int i = 192; i <= 198; ++i) t.folded[i] = t.folded[i + 32] = 65;
  t.folded[199] = t.folded[231] = 67;
  for (int i = 200; i <= 203; ++i) t.folded[i] = t.folded[i + 32] = 69;
  for (int i = 204; i <= 207; ++i) t.folded[i] = t.folded[i + 32] = 73;
  t.folded[209] = t.folded[241] = 78;
  for (int i = 210; i <= 214; ++i) t.folded[i] = t.folded[i + 32] = 79;
  t.folded[216] = t.folded[248] = 79;
  for (int i = 217; i <= 220; ++i) t.folded[i] = t.folded[i + 32] = 85;
  t.folded[223] = 83;
  t.folded[240] = 208;
  t.folded[254] = 222;
  return t;
}

constexpr CaseTables kTables = MakeTables();

}  // namespace

#define KESTREL_ROW(t, i) t[i], t[i + 1], t[i + 2], t[i + 3], t[i + 4], t[i + 5], t[i + 6], t[i + 7]
#define KESTREL_ROWS8(t, i)                                                        \
  KESTREL_ROW(t, i), KESTREL_ROW(t, i + 8), KESTREL_ROW(t, i + 16), KESTREL_ROW(t, i + 24), \
      KESTREL_ROW(t, i + 32), KESTREL_ROW(t, i + 40), KESTREL_ROW(t, i + 48), KESTREL_ROW(t, i + 56)
#define KESTREL_TABLE(t) \
  {KESTREL_ROWS8(t, 0), KESTREL_ROWS8(t, 64), KESTREL_ROWS8(t, 128), KESTREL_ROWS8(t, 192)}

const uint8_t kUpperCaseTable[256] = KESTREL_TABLE(kTables.upper);
const uint8_t kLowerCaseTable[256] = KESTREL_TABLE(kTables.lower);
const uint8_t kFoldingTable[256] = KESTREL_TABLE(kTables.folded);

#undef KESTREL_TABLE
#undef KESTREL_ROWS8
#undef KESTREL_ROW

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

// --- file system -----------------------------------------------------------

namespace {

// The system calls need a NUL-terminated path; the string itself may be a
// view over a literal or over part of another string, so it is copied. A path
// that does not fit, or holds a NUL, is refused (ENAMETOOLONG, EINVAL) rather
// than cut: a cut path could name another file.
class CPathArgument {
 public:
  explicit CPathArgument(const CBoundedString& path) {
    iText[0] = 0;
    if (path.Length() > kPathCapacity) {
      errno = ENAMETOOLONG;
    } else if (std::memchr(path.Data(), 0, static_cast<size_t>(path.Length())) != nullptr) {
      errno = EINVAL;
    } else {
      path.CopyOut(iText, sizeof(iText));
      iOk = true;
    }
  }
  bool Ok() const { return iOk; }
  const char* Get() const { return iText; }

 private:
  char iText[kPathCapacity + 1];
  bool iOk = false;
};

int TestPath(const CBoundedString& path, bool wantDirectory) {
  CPathArgument p(path);
  struct stat st;
  if (!p.Ok() || stat(p.Get(), &st) != 0) return 0;
  if (wantDirectory ? !S_ISDIR(st.st_mode) : !S_ISREG(st.st_mode)) return 0;
  return access(p.Get(), R_OK) == 0 ? 1 : 0;
}

}  // namespace

int CBoundedString::IsDirectory() const { return TestPath(*this, true); }
int CBoundedString::IsFile() const { return TestPath(*this, false); }

int CBoundedString::MakeDirectory() const {
  CPathArgument p(*this);
  return p.Ok() && mkdir(p.Get(), 0755) == 0 ? 0 : -1;
}

int CBoundedString::RemoveDirectory() const {
  CPathArgument p(*this);
  return p.Ok() && rmdir(p.Get()) == 0 ? 0 : -1;
}

int CBoundedString::Remove() const {
  CPathArgument p(*this);
  return p.Ok() && unlink(p.Get()) == 0 ? 0 : -1;
}

int CBoundedString::Rename(const CBoundedString& to) const {
  CPathArgument from(*this);
  CPathArgument target(to);
  return from.Ok() && target.Ok() && std::rename(from.Get(), target.Get()) == 0 ? 0 : -1;
}

int CBoundedString::CopyFile(const CBoundedString& to) const {
  constexpr size_t kBlock = 65536;
  char* buffer = static_cast<char*>(std::malloc(kBlock));
  if (buffer == nullptr) return -2;
  CPathArgument from(*this);
  CPathArgument target(to);
  int result = -1;
  int out = -1;
  int in = from.Ok() && target.Ok() ? open(from.Get(), O_RDONLY) : -1;
  struct stat st;
  struct stat existing;
  if (in >= 0 && fstat(in, &st) == 0) {
    // Copying a file onto itself would truncate it before the first read.
    bool same = stat(target.Get(), &existing) == 0 && existing.st_dev == st.st_dev &&
                existing.st_ino == st.st_ino;
    if (!same) out = open(target.Get(), O_WRONLY | O_CREAT | O_TRUNC, st.st_mode & 07777);
  }
  if (out >= 0) {
    for (;;) {
      ssize_t got = read(in, buffer, kBlock);
      if (got == 0) {
        result = 0;
        break;
      }
      if (got < 0) break;
      ssize_t put = write(out, buffer, static_cast<size_t>(got));
      if (put < got) break;
    }
    close(out);
  }
  if (in >= 0) close(in);
  std::free(buffer);
  return result;
}

int32_t CBoundedString::FreeSpaceKiB() const {
  CPathArgument p(*this);
  struct statfs fs;
  if (!p.Ok() || statfs(p.Get(), &fs) != 0) return 0;
  uint64_t kib = static_cast<uint64_t>(fs.f_bfree) * static_cast<uint64_t>(fs.f_bsize) / 1024u;
  // More than 2 TiB free does not fit the result: report the most it can say.
  return kib > static_cast<uint64_t>(INT32_MAX) ? INT32_MAX : static_cast<int32_t>(kib);
}

// --- locations -------------------------------------------------------------

namespace {

struct SubDirectory {
  int type;
  const char* name;
};

// This system's own choice of sub-directories below the location roots; the
// message layer relies only on the run-time location, which adds none.
constexpr SubDirectory kSubDirectories[] = {
    {2, "Maps/"},
    {3, "Maps/Poi/"},  // one level below location 2
    {4, "Voices/"},
    {5, "Logs/"},
};

constexpr int kHighestLocation = 37;

const char* RootOf(int type) {
  switch (type) {
    case kLocationRuntime:
      return "/var/run/";
    case kLocationFlash:
      return "/mnt/flash/";
    case kLocationSdkRegistry:
      return "/mnt/sdcard/SdkRegistry/";
    default:
      return "/mnt/sdcard/";
  }
}

const char* SubDirectoryOf(int type) {
  if (type <= 0 || type > kHighestLocation) return "";
  for (const SubDirectory& s : kSubDirectories) {
    if (s.type == type) return s.name;
  }
  return "";
}

// The one shared result of LocationDirectory and LocationFile.
CPathBuffer gLocation;

}  // namespace

CBoundedString& LocationDirectory(int type) {
  gLocation.Set(SubDirectoryOf(type));
  gLocation.Insert(0, CBoundedString(RootOf(type)));
  gLocation.Terminate();
  return gLocation;
}

CBoundedString& LocationFile(int type, const CBoundedString& name) {
  // The name may be a view over the shared buffer itself (an earlier result).
  CPathBuffer copy;
  copy.Set(name.Data(), Min(name.Length(), kPathCapacity));
  LocationDirectory(type);
  gLocation.Append(copy);
  return gLocation;
}
