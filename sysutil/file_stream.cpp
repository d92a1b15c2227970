#include "sysutil/file_stream.h"

#include <sys/types.h>
#include <unistd.h>

#include <climits>
#include <cstring>

#include "sysutil/regular_file.h"

namespace {

void NoRestart() {}

COpenFileRegistry::RestartHook gRestartHook = NoRestart;

}  // namespace

// --- CFileStream -------------------------------------------------------------

CFileStream::CFileStream()
    : iRegistry(nullptr), iOpen(0), iSizeCache(-2), iRegistrySlot(-1), iFile(nullptr), iWriting(0) {}

CFileStream::~CFileStream() {
  if (iRegistry != nullptr) iRegistry->Forget(this);
  iRegistry = nullptr;
  Close();
}

int CFileStream::Open(const CBoundedString& path, COpenFileRegistry* registry, int writing,
                      int append) {
  Close();
  if (path.Length() > kPathCapacity) return -1;
  char name[kPathCapacity + 1];
  path.CopyOut(name, sizeof(name));

  iWriting = writing;
  if (!writing) {
    // Card files only: a FIFO under the name would block a plain open.
    const int fd = OpenRegularFile(name);
    if (fd < 0) return -1;
    iFile = fdopen(fd, "rb");
    if (iFile == nullptr) close(fd);
  } else {
    iFile = fopen(name, append ? "rb+" : "wb");
  }
  if (iFile == nullptr) return -1;
  if (writing && append && fseek(iFile, 0, SEEK_END) != 0) {
    fclose(iFile);
    iFile = nullptr;
    return -1;
  }

  iSizeCache = writing ? -2 : -1;
  iOpen = 1;
  iRegistrySlot = -1;
  iRegistry = registry;
  if (registry != nullptr) {
    iRegistrySlot = registry->Record(this, path, writing);
    // An unrecorded stream must not point at a registry it may outlive.
    if (iRegistrySlot < 0) iRegistry = nullptr;
  }
  return 0;
}

int CFileStream::OpenRead(const CBoundedString& path, COpenFileRegistry* registry) {
  return Open(path, registry, 0, 0);
}

int CFileStream::OpenWrite(const CBoundedString& path, COpenFileRegistry* registry, int append) {
  return Open(path, registry, 1, append);
}

void CFileStream::Close() {
  if (!iOpen) return;
  iSizeCache = -2;
  iOpen = 0;
  if (iRegistry != nullptr) iRegistry->Remove(this);
  if (iFile != nullptr) {
    if (iWriting) {
      fflush(iFile);
      fsync(fileno(iFile));
    }
    fclose(iFile);
  }
  iFile = nullptr;
}

int32_t CFileStream::Read(void* buffer, int32_t n) {
  if (iFile == nullptr || buffer == nullptr || n <= 0) return 0;
  return static_cast<int32_t>(fread(buffer, 1, static_cast<size_t>(n), iFile));
}

int32_t CFileStream::ReadLine(char* buffer, int32_t size) {
  if (buffer == nullptr || size < 1) return -1;
  buffer[0] = '\0';
  if (iFile == nullptr) return -1;
  int32_t n = 0;
  // One thread uses a stream: the unlocked read is the library's fast path.
  while (n < size - 1) {
    int c = getc_unlocked(iFile);
    if (c == EOF) break;
    buffer[n++] = static_cast<char>(c);
    if (c == '\n') break;
  }
  buffer[n] = '\0';
  return n > 0 ? n : -1;
}

int CFileStream::Write(const void* data, int32_t n) {
  if (n == 0) return 0;
  if (iFile == nullptr || data == nullptr || n < 0) return kWriteFailed;
  size_t written = fwrite(data, 1, static_cast<size_t>(n), iFile);
  return written == static_cast<size_t>(n) ? 0 : kWriteFailed;
}

int CFileStream::WriteLine(const CBoundedString& text) {
  int result = Write(text.Data(), text.Length());
  if (result != 0) return result;
  const char newline = '\n';
  return Write(&newline, 1);
}

int CFileStream::WriteLine(const char* text) {
  return WriteLine(CBoundedString(text != nullptr ? text : ""));
}

int CFileStream::Seek(int32_t offset) {
  if (iFile == nullptr) return -1;
  return fseek(iFile, offset, SEEK_SET);
}

int32_t CFileStream::Tell() {
  if (iFile == nullptr) return kPositionFailed;
  off_t position = ftello(iFile);
  if (position < 0 || position > INT32_MAX) return kPositionFailed;
  return static_cast<int32_t>(position);
}

int32_t CFileStream::Size() {
  if (iSizeCache >= 0) return iSizeCache;
  int32_t saved = Tell();
  if (saved < 0) return kPositionFailed;
  if (fseek(iFile, 0, SEEK_END) != 0) return kPositionFailed;
  off_t end = ftello(iFile);
  if (fseek(iFile, saved, SEEK_SET) != 0) return kPositionFailed;
  if (end < 0 || end > INT32_MAX) return kPositionFailed;
  int32_t size = static_cast<int32_t>(end);
  if (iSizeCache == -1) iSizeCache = size;
  return size;
}

int CFileStream::Flush() {
  if (iFile == nullptr) return 0;
  return fflush(iFile) == 0 ? 1 : 0;
}

// --- COpenFileRegistry -------------------------------------------------------

COpenFileRegistry::COpenFileRegistry() : iSuspendDepth(0), iCount(0), iEntries() {}

COpenFileRegistry::~COpenFileRegistry() { Clear(); }

COpenFileRegistry::RestartHook COpenFileRegistry::SetRestartHook(RestartHook hook) {
  RestartHook previous = gRestartHook;
  gRestartHook = hook != nullptr ? hook : NoRestart;
  return previous;
}

int32_t COpenFileRegistry::Record(CFileStream* stream, const CBoundedString& path, int writing) {
  if (iSuspendDepth != 0 || iCount >= kMaxEntries || stream == nullptr) return -1;
  // Set keeps capacity - 1 characters; a longer path would be reopened cut.
  if (path.Length() >= kPathCapacity) return -1;
  Entry& e = iEntries[iCount];
  e.stream = stream;
  e.writing = writing ? 1 : 0;
  e.sizeAtOpen = writing ? -1 : stream->Size();
  e.savedPosition = -1;
  e.path.Set(path);
  return iCount++;
}

void COpenFileRegistry::RemoveAt(int32_t index) {
  int32_t last = iCount - 1;
  if (index != last) {
    Entry& e = iEntries[index];
    const Entry& l = iEntries[last];
    e.stream = l.stream;
    e.writing = l.writing;
    e.savedPosition = l.savedPosition;
    e.sizeAtOpen = l.sizeAtOpen;
    e.path.Set(l.path);
    if (e.stream != nullptr && e.stream->iRegistry == this) e.stream->iRegistrySlot = index;
  }
  iEntries[last].stream = nullptr;
  iCount = last;
}

void COpenFileRegistry::Remove(CFileStream* stream) {
  if (iSuspendDepth != 0) return;
  int32_t index = Find(stream);
  if (index >= 0) RemoveAt(index);
}

void COpenFileRegistry::Forget(CFileStream* stream) {
  int32_t index = Find(stream);
  if (index >= 0) RemoveAt(index);
}

int32_t COpenFileRegistry::Find(const CFileStream* stream) const {
  for (int32_t i = 0; i < iCount; ++i) {
    if (iEntries[i].stream == stream) return i;
  }
  return -1;
}

void COpenFileRegistry::Clear() {
  for (int32_t i = 0; i < iCount; ++i) {
    CFileStream* s = iEntries[i].stream;
    if (s != nullptr && s->iRegistry == this) {
      s->iRegistry = nullptr;
      s->iRegistrySlot = -1;
    }
    iEntries[i].stream = nullptr;
  }
  iCount = 0;
}

void COpenFileRegistry::Suspend() {
  if (iSuspendDepth++ != 0) return;
  for (int32_t i = 0; i < iCount; ++i) {
    Entry& e = iEntries[i];
    if (!e.stream->IsOpen()) continue;
    if (e.savedPosition == -1) e.savedPosition = e.stream->Tell();
    e.stream->Close();  // its removal is ignored: the entry stays
  }
}

int COpenFileRegistry::Resume() {
  if (iSuspendDepth == 0) return 0;
  if (--iSuspendDepth != 0 || iCount == 0) return 0;

  // A stream its owner opened again while the card was away now belongs to
  // that open: reopening it here would switch it back to the old file.
  for (int32_t j = iCount - 1; j >= 0; --j) {
    if (iEntries[j].stream->IsOpen()) RemoveAt(j);
  }

  int result = 0;
  int32_t i = 0;
  for (; i < iCount && result == 0; ++i) {
    Entry& e = iEntries[i];
    CFileStream* s = e.stream;
    result = e.writing ? s->OpenWrite(e.path, nullptr, 1) : s->OpenRead(e.path, nullptr);
    if (result != 0) break;
    s->iRegistry = this;
    s->iRegistrySlot = Find(s);
    if (!e.writing && s->Size() != e.sizeAtOpen) result = kFileChanged;
    if (result == 0) result = s->Seek(e.savedPosition);
    e.savedPosition = -1;
  }
  if (result == 0) return 0;

  // Streams that did not come back are closed: drop their entries, which
  // would otherwise keep pointing at streams their owners may destroy.
  for (int32_t j = iCount - 1; j >= 0; --j) {
    CFileStream* s = iEntries[j].stream;
    if (s->IsOpen()) continue;
    if (s->iRegistry == this) {
      s->iRegistry = nullptr;
      s->iRegistrySlot = -1;
    }
    RemoveAt(j);
  }
  fputs("Rebooting some relevant files changed on the SD card, discovered when the SD card was "
        "remounted\n",
        stdout);
  fflush(stdout);
  gRestartHook();
  return result;
}
