#include "sysutil/file_scanner.h"

#include <dirent.h>
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// The longest path whose every character survives CStr (the NUL needs a slot).
constexpr int32_t kMaxPathLength = kPathCapacity - 1;
constexpr const char* kMountRoot = "/mnt/";
constexpr const char* kInitialRamDisk = "initrd";

bool IsDotName(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// A linked directory is listed but not walked: two links back to a parent
// would make the walk grow without end.
bool IsLink(CBoundedString& path) {
  struct stat st;
  return lstat(path.CStr(), &st) == 0 && S_ISLNK(st.st_mode);
}

}  // namespace

struct CFileScanner::SDirectory {
  DIR* stream;
};

CFileScanner::CFileScanner(const CBoundedString& path, uint32_t options, int32_t pendingSize)
    : iPrefixLength(0),
      iPendingUsed(0),
      iPending(nullptr),
      iPendingSize(pendingSize < kMinPendingSize ? kMinPendingSize : pendingSize),
      iEntry{0, &iPath, 0},
      // State bits are the scanner's own, never options.
      iFlags(options & ~(kDirectoryOpen | kHandingOutMounts)),
      iDirectory(nullptr),
      iRootLength(0),
      iReadPosition(0) {
  if (path.Compare(CBoundedString(kRootName)) == 0) {
    iFlags |= kMountPoints;
    if (iFlags & kDirectoriesOnly) iFlags |= kHandingOutMounts;
  } else {
    iPath.Set(path);
    // Entries are the prefix followed by their name: the prefix must end
    // with a separator.
    int32_t n = iPath.Length();
    if (n > 0 && iPath.CharAt(n - 1) != PathSeparator()) iPath.AppendChar(PathSeparator());
  }
  iRootLength = iPath.Length();

  iDirectory = new (std::nothrow) SDirectory{nullptr};

  if (iFlags & (kRecursive | kMountPoints)) {
    for (;;) {
      iPending = static_cast<char*>(std::malloc(static_cast<size_t>(iPendingSize)));
      if (iPending != nullptr || iPendingSize < 3072) break;
      iPendingSize -= 1024;
    }
  }
}

CFileScanner::~CFileScanner() {
  CloseDirectory();
  delete iDirectory;
  std::free(iPending);
}

int CFileScanner::OpenDirectory() {
  CloseDirectory();
  iPrefixLength = iPath.Length();
  if (iDirectory == nullptr) return 0;
  iDirectory->stream = opendir(iPath.CStr());
  if (iDirectory->stream == nullptr) return 0;
  iFlags |= kDirectoryOpen;
  return 1;
}

void CFileScanner::CloseDirectory() {
  if (iDirectory != nullptr && iDirectory->stream != nullptr) {
    closedir(iDirectory->stream);
    iDirectory->stream = nullptr;
  }
  iFlags &= ~kDirectoryOpen;
}

// A name that does not fit is skipped: that directory is then not visited.
void CFileScanner::AppendPending(const CBoundedString& name) {
  if (iPending == nullptr) return;
  int32_t need = name.Length() + 1;
  if (need > iPendingSize - iPendingUsed) return;
  std::memcpy(iPending + iPendingUsed, name.Data(), static_cast<size_t>(name.Length()));
  iPending[iPendingUsed + name.Length()] = '\0';
  iPendingUsed += need;
}

// The pending buffer is a stack of names. An empty name marks a level whose
// directory is finished: the path goes back to its parent. A directory taken
// from the stack pushes one mark per separator in its name, so the walk comes
// back to this level once its own sub-directories are done.
int CFileScanner::TakePending() {
  const bool topLevelMark = (iFlags & kRecursive) && !(iFlags & kMountPoints);
  for (;;) {
    if (iPending == nullptr || iPendingUsed == 0) return 0;
    if (topLevelMark && iPendingUsed == 1) return 0;
    int32_t end = iPendingUsed - 1;  // the last name's NUL
    int32_t start = end;
    while (start > 0 && iPending[start - 1] != '\0') --start;
    iPendingUsed = start;
    if (start == end) {
      int32_t n = iPath.Length();
      if (n > 0 && iPath.CharAt(n - 1) == PathSeparator()) --n;
      while (n > 0 && iPath.CharAt(n - 1) != PathSeparator()) --n;
      iPath.SetLength(n);
      continue;
    }
    int32_t length = end - start;
    // A cut path would name another directory (and unbalance the marks).
    if (iPath.Length() + length > kMaxPathLength) continue;
    iPath.Append(CBoundedString(iPending + start, length, length));
    const CBoundedString mark("");
    for (int32_t i = 0; i < length; ++i) {
      if (iPath.CharAt(iPath.Length() - length + i) == PathSeparator()) AppendPending(mark);
    }
    return 1;
  }
}

// Pushes "/mnt/<name>/<path>" for every readable mounted volume; 1 when any.
int CFileScanner::CollectMountPoints() {
  DIR* mounts = opendir(kMountRoot);
  if (mounts == nullptr) return 0;
  const int32_t rootLength = static_cast<int32_t>(std::strlen(kMountRoot));
  CPathBuffer candidate;
  while (struct dirent* d = readdir(mounts)) {
    if (IsDotName(d->d_name) || std::strcmp(d->d_name, kInitialRamDisk) == 0) continue;
    int32_t nameLength = static_cast<int32_t>(std::strlen(d->d_name));
    if (rootLength + nameLength + 1 + iRootLength > kMaxPathLength) continue;
    candidate.Set(kMountRoot);
    candidate.Append(CBoundedString(d->d_name, nameLength, nameLength));
    candidate.AppendChar(PathSeparator());
    candidate.Append(iPath.Left(iRootLength));
    if (candidate.IsDirectory()) AppendPending(candidate);
  }
  closedir(mounts);
  // The volumes' paths are whole: they are appended to an empty path.
  iPath.SetLength(0);
  return iPendingUsed > 0 ? 1 : 0;
}

const CFileScanner::TEntry* CFileScanner::First() {
  CloseDirectory();
  iPendingUsed = 0;
  iReadPosition = 0;
  if (iFlags & kMountPoints) {
    iPath.SetLength(iRootLength);
    if (!CollectMountPoints()) return nullptr;
    if (iFlags & kHandingOutMounts) {
      AppendPending(CBoundedString(""));  // end mark
    } else if (!TakePending()) {
      return nullptr;
    }
  } else {
    iPath.SetLength(iRootLength);
    if (iFlags & kRecursive) AppendPending(CBoundedString(""));  // top-level mark
  }
  if (!(iFlags & kHandingOutMounts)) OpenDirectory();
  return Next();
}

const CFileScanner::TEntry* CFileScanner::Next() {
  for (;;) {
    if (iFlags & kHandingOutMounts) {
      if (iReadPosition < iPendingUsed && iPending[iReadPosition] != '\0') {
        const char* name = iPending + iReadPosition;
        int32_t length = static_cast<int32_t>(
            strnlen(name, static_cast<size_t>(iPendingUsed - iReadPosition)));
        iReadPosition += length + 1;
        iPath.Set(name, length);
        iEntry.isDirectory = 1;
        iEntry.nameLength = iPath.Length();
        return &iEntry;
      }
      iFlags &= ~kHandingOutMounts;
      if (!(iFlags & kRecursive)) return nullptr;
      // Drop the end mark (the last name is empty only when it is the mark).
      if (iPendingUsed > 0 && (iPendingUsed == 1 || iPending[iPendingUsed - 2] == '\0')) {
        --iPendingUsed;
      }
      iPath.SetLength(0);
      if (!TakePending()) return nullptr;
      OpenDirectory();
      continue;
    }

    if (iFlags & kDirectoryOpen) {
      struct dirent* d = readdir(iDirectory->stream);
      if (d != nullptr) {
        const char* name = d->d_name;
        int32_t length = static_cast<int32_t>(std::strlen(name));
        // An entry whose path would be cut is skipped: a cut path names
        // another file, which a caller might then delete.
        if (iPrefixLength + length > kMaxPathLength) continue;
        iPath.SetLength(iPrefixLength);
        iPath.Append(CBoundedString(name, length, length));
        struct stat st;
        // Gone since readdir, or a dangling link: not an entry.
        if (stat(iPath.CStr(), &st) != 0) continue;
        const bool isDirectory = S_ISDIR(st.st_mode);
        const bool dot = IsDotName(name);
        // Checked before the separator is added: "link/" resolves the link.
        const bool walk = isDirectory && !dot && (iFlags & kRecursive) && !IsLink(iPath);
        if (isDirectory) {
          if (iPath.Length() + 1 > kMaxPathLength) continue;
          iPath.AppendChar(PathSeparator());
        }
        iEntry.isDirectory = isDirectory ? 1 : 0;
        iEntry.nameLength = iPath.Length() - iPrefixLength;
        if (walk) AppendPending(iEntry.Name());
        if (dot) continue;
        if (isDirectory && (iFlags & kFilesOnly)) continue;
        if (!isDirectory && (iFlags & kDirectoriesOnly)) continue;
        return &iEntry;
      }
      CloseDirectory();
    }

    if (!(iFlags & (kRecursive | kMountPoints))) return nullptr;
    iPath.SetLength(iPrefixLength);  // back to the finished directory itself
    if (!TakePending()) return nullptr;
    OpenDirectory();
  }
}

// --- CFileNameList -------------------------------------------------------------

CFileNameList::CFileNameList() : iCapacity(0), iCount(0), iPaths(nullptr), iCursor(0) {}

CFileNameList::~CFileNameList() {
  for (int32_t i = 0; i < iCount; ++i) delete iPaths[i];
  std::free(iPaths);
}

int CFileNameList::Add(const CBoundedString& path) {
  if (iCount == iCapacity) {
    if (iCapacity > INT32_MAX / 2) return -1;
    int32_t capacity = iCapacity == 0 ? 5 : iCapacity * 2;
    void* grown = std::realloc(iPaths, sizeof(CPathBuffer*) * static_cast<size_t>(capacity));
    if (grown == nullptr) return -1;
    iPaths = static_cast<CPathBuffer**>(grown);
    iCapacity = capacity;
  }
  CPathBuffer* copy = new (std::nothrow) CPathBuffer;
  if (copy == nullptr) return -1;
  copy->Set(path);
  iPaths[iCount++] = copy;
  return 0;
}

const CBoundedString* CFileNameList::Reset() {
  iCursor = 0;
  return iCount > 0 ? iPaths[0] : nullptr;
}

const CBoundedString* CFileNameList::Next() {
  if (iCursor >= iCount) return nullptr;
  return iPaths[iCursor++];
}

// --- CDirectoryList ------------------------------------------------------------

CDirectoryList::CDirectoryList() : iCount(0) {}

CDirectoryList::~CDirectoryList() = default;

void CDirectoryList::Add(const CBoundedString& path) {
  if (iCount >= kMaxRoots) return;
  iRoots[iCount++].Set(path);
}

const CBoundedString* CDirectoryList::Get(int32_t i) const {
  if (i < 0 || i >= iCount) return nullptr;
  return &iRoots[i];
}
