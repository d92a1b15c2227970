#pragma once
// CFileStream: a buffered file stream with integer results. A stream may be
// recorded in a COpenFileRegistry so that the owner of the memory card can
// close every recorded file before an unmount and reopen it at the same
// position after the card is back.

#include <cstdint>
#include <cstdio>

#include "sysutil/bounded_string.h"

class COpenFileRegistry;

class CFileStream {
 public:
  static constexpr int kWriteFailed = -23;
  static constexpr int32_t kPositionFailed = -9000;

  CFileStream();
  // Destroying a stream closes it and drops it from its registry, even while
  // the registry is suspended (a suspended entry must never outlive its stream).
  ~CFileStream();
  CFileStream(const CFileStream&) = delete;
  CFileStream& operator=(const CFileStream&) = delete;

  // 0, or -1 when the file cannot be opened or is no regular file (whose
  // open could block). An open stream is closed first.
  // Paths longer than kPathCapacity are refused: a cut path names another file.
  int OpenRead(const CBoundedString& path, COpenFileRegistry* registry);
  // append 0: "wb" (create or truncate); append 1: "rb+" then seek to the end,
  // so a missing file is not created.
  int OpenWrite(const CBoundedString& path, COpenFileRegistry* registry, int append);
  // Flushes and syncs written data to the medium. Does nothing when closed.
  void Close();

  // Bytes read (0 at end of file, on error or when closed).
  int32_t Read(void* buffer, int32_t n);
  // One line of at most size - 1 bytes, its newline included when it fits,
  // then a NUL. Returns the number of bytes read (NUL bytes inside the line
  // count, so the result may exceed strlen(buffer)), or -1 at end of file, on
  // error, or when size < 2 leaves no room for a byte.
  int32_t ReadLine(char* buffer, int32_t size);
  // 0 when all n bytes were accepted, kWriteFailed otherwise.
  int Write(const void* data, int32_t n);
  int WriteLine(const CBoundedString& text);
  int WriteLine(const char* text);
  // Absolute position; 0 on success, non-zero on failure.
  int Seek(int32_t offset);
  // Position, or kPositionFailed (also when it does not fit in 32 bits).
  int32_t Tell();
  // Size in bytes, cached for streams opened for reading; kPositionFailed on
  // failure or when the size does not fit in 32 bits.
  int32_t Size();
  // 1 on success, 0 on failure.
  int Flush();

  int IsOpen() const { return iOpen; }
  int IsWriting() const { return iWriting; }
  COpenFileRegistry* Registry() const { return iRegistry; }
  int32_t RegistrySlot() const { return iRegistrySlot; }

 private:
  friend class COpenFileRegistry;
  int Open(const CBoundedString& path, COpenFileRegistry* registry, int writing, int append);

  COpenFileRegistry* iRegistry;
  int32_t iOpen;
  // -1: opened for reading, size not yet known; -2: writing or closed.
  int32_t iSizeCache;
  int32_t iRegistrySlot;
  FILE* iFile;
  int32_t iWriting;
};

// The files open on the memory card, so that they can be closed before an
// unmount (Suspend) and reopened at the same positions afterwards (Resume).
class COpenFileRegistry {
 public:
  static constexpr int kMaxEntries = 24;
  static constexpr int kFileChanged = -2;

  COpenFileRegistry();
  // Detaches the recorded streams; they stay as they are but unrecorded.
  ~COpenFileRegistry();
  COpenFileRegistry(const COpenFileRegistry&) = delete;
  COpenFileRegistry& operator=(const COpenFileRegistry&) = delete;

  // Index of the new entry; -1 while suspended, when the table is full or when
  // the path does not fit an entry.
  int32_t Record(CFileStream* stream, const CBoundedString& path, int writing);
  // Ignored while suspended, so entries survive the unmount.
  void Remove(CFileStream* stream);
  int32_t Find(const CFileStream* stream) const;
  // Closes every recorded stream, keeping its position (outermost call only).
  void Suspend();
  // Reopens the streams when the outermost suspension ends. 0 when all came
  // back; otherwise the first failure (kFileChanged for a file whose size
  // changed), after the restart line and the restart hook. Streams that could
  // not be brought back are dropped from the registry.
  int Resume();
  // Drops every entry and detaches its stream.
  void Clear();

  int32_t Count() const { return iCount; }
  int32_t SuspendDepth() const { return iSuspendDepth; }

  // Called after a failed Resume; does nothing unless replaced. Returns the
  // previous hook; null restores the default.
  using RestartHook = void (*)();
  static RestartHook SetRestartHook(RestartHook hook);

 private:
  friend class CFileStream;
  struct Entry {
    CFileStream* stream;
    int32_t writing;
    int32_t savedPosition;  // -1 when none
    int32_t sizeAtOpen;     // -1 for streams opened for writing
    CPathBuffer path;
  };
  void RemoveAt(int32_t index);
  // Removes the stream's entry whatever the suspend depth (stream destroyed).
  void Forget(CFileStream* stream);

  int32_t iSuspendDepth;
  int32_t iCount;
  Entry iEntries[kMaxEntries];
};
