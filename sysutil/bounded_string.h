#pragma once
// CBoundedString: a string of fixed capacity that never grows. Its characters
// live inside the object (an inline buffer, see TBoundedBuffer) or in storage
// owned by someone else (a view). Every write is clipped to the capacity.
// The length is authoritative; a NUL is written only by the terminating
// operations (Set, Append, Terminate, CStr...).
//
// The same type carries the path and file-system operations (the latter in
// file_system.cpp). The device's well-known locations and the Latin-1 case
// tables come with this header, so a caller builds a path with LocationFile
// and acts on it here.

#include <cstddef>
#include <cstdint>

#include "sysutil/case_tables.h"
#include "sysutil/locations.h"

class CBoundedString {
 public:
  static constexpr uint32_t kExternal = 0x80000000u;
  static constexpr uint32_t kCapacityMask = 0x3FFFFFFFu;

  // A view over a NUL-terminated string: length strlen(text), capacity
  // strlen(text) + 1. Writing through a view over a literal is the caller's fault.
  explicit CBoundedString(const char* text);
  // A view over n characters at text with capacity `capacity` (>= n).
  CBoundedString(const char* text, int32_t n, int32_t capacity);
  // Copying a bounded string makes a view over the same characters; it never
  // copies them (use Set for that, or a TBoundedBuffer).
  CBoundedString(const CBoundedString& other);
  CBoundedString& operator=(const CBoundedString&) = delete;

  int32_t Length() const { return iLength; }
  int32_t Capacity() const { return static_cast<int32_t>(iCapacityWord & kCapacityMask); }
  bool IsExternal() const { return (iCapacityWord & kExternal) != 0; }
  char* Data() { return IsExternal() ? iStorage.iPtr : reinterpret_cast<char*>(&iStorage); }
  const char* Data() const {
    return IsExternal() ? iStorage.iPtr : reinterpret_cast<const char*>(&iStorage);
  }

  // --- writing -------------------------------------------------------------
  void Set(const CBoundedString& other);
  void Set(const char* text, int32_t n);
  void Set(const char* text);
  void Append(const CBoundedString& other);
  void Append(const char* text);
  void AppendChar(char c);
  void AppendChar(char c, int32_t n);
  void Terminate();
  // NUL-terminated characters. A string filled to its full capacity hides its
  // last character (the NUL takes its place) but keeps its length. It may store
  // the NUL: on a view over part of another string use CopyOut instead.
  const char* CStr();
  // As CStr, but "" for an empty string, and a full string loses its last character.
  const char* CStrOrEmpty();
  void SetLength(int32_t n);
  char CharAt(int32_t i) const { return Data()[i]; }
  void SetCharAt(int32_t i, char c) { Data()[i] = c; }
  // Copies min(length, size - 1) characters and a NUL into buffer (size >= 1).
  void CopyOut(char* buffer, int32_t size) const;
  void ZeroFill();
  void Insert(int32_t pos, const CBoundedString& other);
  void InsertChar(int32_t pos, char c);
  void Prepend(const CBoundedString& other);
  void Delete(int32_t pos, int32_t n);
  void TrimLeft();
  void TrimRight();
  void Trim();
  void ToUpper();
  void ToLower();
  void Capitalise();
  void ToFolded();
  void AppendDecimal(int32_t v);
  void AppendNumber(uint32_t v, int base);  // base 2 to 36; others append nothing
  // Cuts at the last '.' of the last path element (if any) and appends ext.
  void ReplaceExtension(const CBoundedString& ext);

  // --- reading -------------------------------------------------------------
  int32_t Find(char c) const;
  int32_t FindLast(char c) const;
  int32_t Find(const char* text, int32_t n) const;
  int32_t FindFolded(const char* text, int32_t n) const;
  int Compare(const CBoundedString& other) const;
  int CompareNoCase(const CBoundedString& other) const;
  int CompareFolded(const CBoundedString& other) const;
  // Views over part of this string (no copy; valid while this string is).
  // Left and Mid have capacity n, so writes through them stay in the part;
  // Right keeps the rest of this string's capacity.
  CBoundedString Left(int32_t n) const;
  CBoundedString Right(int32_t n) const;
  CBoundedString Mid(int32_t pos, int32_t n) const;
  void Substring(int32_t pos, int32_t n, CBoundedString& into) const;
  // Skips blanks, an optional sign, then decimal digits. *end (when given)
  // receives the position after the last character used. Digits beyond the
  // 32-bit range saturate at INT32_MAX or INT32_MIN.
  int32_t ParseInteger(int32_t* end = nullptr) const;
  // View of the characters after the last separator up to the last '.'
  // (to the end when there is no '.' after the separator).
  CBoundedString BaseName() const;
  int IsAbsolute() const;
  // One malloc holding header and characters; capacity length + 1; free() it.
  // Null when the allocation fails.
  CBoundedString* HeapCopy() const;

  // --- file system (exact results; errno as the system left it) ------------
  int IsDirectory() const;   // 1 or 0
  int IsFile() const;        // 1 or 0
  int MakeDirectory() const; // 0 or -1
  int RemoveDirectory() const;
  int Remove() const;
  int Rename(const CBoundedString& to) const;
  // 0, -1, or -2 without a copy buffer; copying a file onto itself is -1.
  int CopyFile(const CBoundedString& to) const;
  // 0 when statfs fails; INT32_MAX when more is free than that.
  int32_t FreeSpaceKiB() const;

 protected:
  // Inline form of the given capacity; the characters follow in the object.
  explicit CBoundedString(uint32_t inlineCapacity);

 private:
  friend class CBoundedStringHeap;
  int32_t iLength;
  uint32_t iCapacityWord;
  union Storage {
    char* iPtr;
    char iFirst[sizeof(char*)];
  } iStorage;
};

// An inline buffer of capacity N: the characters start in the storage word
// and run on into iRest.
template <int N>
class TBoundedBuffer : public CBoundedString {
 public:
  static_assert(N > static_cast<int>(sizeof(char*)), "capacity too small");
  TBoundedBuffer() : CBoundedString(static_cast<uint32_t>(N)) {}
  explicit TBoundedBuffer(const char* text) : TBoundedBuffer() { Set(text); }
  // A copy of the characters of any bounded string (a view, a location...).
  explicit TBoundedBuffer(const CBoundedString& other) : TBoundedBuffer() { Set(other); }
  TBoundedBuffer(const TBoundedBuffer& other) : TBoundedBuffer() { Set(other); }
  TBoundedBuffer& operator=(const TBoundedBuffer& other) {
    Set(other);
    return *this;
  }

 private:
  char iRest[N - sizeof(char*)];
};

// Paths and file names.
constexpr int kPathCapacity = 256;
using CPathBuffer = TBoundedBuffer<kPathCapacity>;

char PathSeparator();
