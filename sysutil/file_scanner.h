#pragma once
// CFileScanner walks a directory, optionally its whole sub-tree, or the
// volumes mounted under "/mnt/", handing out one entry at a time without
// building a list. CFileNameList and CDirectoryList are the small path
// containers that go with it.

#include <cstdint>

#include "sysutil/bounded_string.h"

class CFileScanner {
 public:
  // Options and state bits of the flags word.
  static constexpr uint32_t kRecursive = 0x1;
  static constexpr uint32_t kMountPoints = 0x2;         // state: scan starts at the volumes
  static constexpr uint32_t kDirectoryOpen = 0x100;     // state
  static constexpr uint32_t kHandingOutMounts = 0x200;  // state
  static constexpr uint32_t kFilesOnly = 0x10000;
  static constexpr uint32_t kDirectoriesOnly = 0x20000;

  static constexpr int32_t kMinPendingSize = 2048;
  // The start name that scans the mounted volumes instead of a directory.
  static constexpr const char* kRootName = "<ROOT>";

  struct TEntry {
    uint32_t isDirectory;
    CBoundedString* path;  // the scanner's path: full path of the entry
    int32_t nameLength;    // directories count their trailing separator

    CBoundedString Name() const { return path->Right(nameLength); }
  };

  // pendingSize bounds how many sub-directory names can wait at once (at
  // least kMinPendingSize bytes).
  CFileScanner(const CBoundedString& path, uint32_t options, int32_t pendingSize);
  virtual ~CFileScanner();
  CFileScanner(const CFileScanner&) = delete;
  CFileScanner& operator=(const CFileScanner&) = delete;

  // Starts the scan (once per scanner) and returns the first accepted entry,
  // or null.
  const TEntry* First();
  // The next accepted entry, or null at the end.
  const TEntry* Next();

  uint32_t Flags() const { return iFlags; }
  int32_t PendingSize() const { return iPendingSize; }

 private:
  struct SDirectory;

  int OpenDirectory();
  void CloseDirectory();
  void AppendPending(const CBoundedString& name);
  int TakePending();
  int CollectMountPoints();

  CPathBuffer iPath;
  int32_t iPrefixLength;
  int32_t iPendingUsed;
  char* iPending;
  int32_t iPendingSize;
  TEntry iEntry;
  uint32_t iFlags;
  SDirectory* iDirectory;
  // Length of the start directory in iPath, and the read position while
  // mount points are handed out (the stack below it stays intact).
  int32_t iRootLength;
  int32_t iReadPosition;
};

// A growing list of paths.
class CFileNameList {
 public:
  CFileNameList();
  virtual ~CFileNameList();
  CFileNameList(const CFileNameList&) = delete;
  CFileNameList& operator=(const CFileNameList&) = delete;

  // 0, or -1 when memory runs out (the list is unchanged).
  int Add(const CBoundedString& path);
  // Rewinds the cursor to the first path and returns it (null when empty)
  // without moving past it: `list.Reset(); while ((p = list.Next()))` visits
  // each path once.
  const CBoundedString* Reset();
  const CBoundedString* Next();
  int32_t Count() const { return iCount; }

 private:
  int32_t iCapacity;
  int32_t iCount;
  CPathBuffer** iPaths;
  int32_t iCursor;
};

// At most two storage roots; further ones are ignored.
class CDirectoryList {
 public:
  static constexpr int32_t kMaxRoots = 2;

  CDirectoryList();
  virtual ~CDirectoryList();

  void Add(const CBoundedString& path);
  int32_t Count() const { return iCount; }
  // Null when i is out of range.
  const CBoundedString* Get(int32_t i) const;

 private:
  int32_t iCount;
  CPathBuffer iRoots[kMaxRoots];
};
