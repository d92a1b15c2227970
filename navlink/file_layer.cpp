#include "navlink/file_layer.h"

#include <unistd.h>

#include <cstring>
#include <new>

#include "sysutil/bounded_string.h"
#include "sysutil/file_scanner.h"
#include "sysutil/file_stream.h"
#include "sysutil/format.h"
#include "sysutil/platform_time.h"

namespace {

constexpr char kSeparator = '|';
constexpr char kMarkerText[] = "finish\n";  // written with its NUL: 8 bytes
constexpr char kMarkerSuffix[] = ".finished";
constexpr int32_t kScanBufferSize = 2048;

enum class FileKind { kMessage, kMarker };

void FormatLinkName(CBoundedString& name, FileKind kind, const char* writer, const char* addressee,
                    uint32_t processId, uint32_t id) {
  if (kind == FileKind::kMarker) {
    FormatString(name, "%s.%s.%u.%u.finished", writer, addressee, processId, id);
  } else {
    FormatString(name, "%s.%s.%u.%u.message", writer, addressee, processId, id);
  }
}

// Full path of a link file in the run-time directory. The result is the shared
// location buffer: use it before the next location call.
CBoundedString& LinkFile(FileKind kind, const char* writer, const char* addressee,
                         uint32_t processId, uint32_t id) {
  CPathBuffer name;
  FormatLinkName(name, kind, writer, addressee, processId, id);
  return LocationFile(kLocationRuntime, name);
}

// A link path cut to the path buffer loses its kind's suffix; the message's
// and the marker's could then be one file, the marker overwriting the message.
bool IsWhole(const CBoundedString& path, FileKind kind) {
  const char* suffix = kind == FileKind::kMarker ? kMarkerSuffix : ".message";
  const int32_t n = static_cast<int32_t>(std::strlen(suffix));
  return path.Length() >= n && std::memcmp(path.Data() + path.Length() - n, suffix, static_cast<size_t>(n)) == 0;
}

void CopyName(char (&field)[CZelkonFileLayer::kNameSize], const char* name) {
  if (!name) name = "";
  const size_t n = strnlen(name, sizeof(field) - 1);
  std::memcpy(field, name, n);
  field[n] = '\0';
}

constexpr int kOpenFailed = -1;
constexpr int kWriteFailed = -2;

// Writes bytes to a new file: 0 when all of them reached it, kOpenFailed when
// it could not be created, kWriteFailed when it exists but is incomplete.
int WriteFile(const CBoundedString& path, const char* data, int32_t n) {
  CFileStream stream;
  if (stream.OpenWrite(path, nullptr, 0) != 0) return kOpenFailed;
  const int written = stream.Write(data, n);
  const int flushed = stream.Flush();
  stream.Close();
  return written == 0 && flushed == 1 ? 0 : kWriteFailed;
}

CZelkonFileLayer* NewFileLayer(const char* ownName, const char* peerName, uint32_t processId) {
  CCsvArguments* arguments = new (std::nothrow) CCsvArguments(kSeparator);
  if (!arguments) return nullptr;
  CZelkonFileLayer* layer =
      new (std::nothrow) CZelkonFileLayer(arguments, ownName, peerName, processId);
  if (!layer) delete arguments;
  return layer;
}

uint32_t SessionId(MZelkonSession* session) {
  // Every session of this link is made by the file layer.
  return static_cast<CZelkonFileLayer::CSession*>(session)->Id();
}

}  // namespace

MZelkonCommunicationLayerInterface::~MZelkonCommunicationLayerInterface() { delete iArguments; }

CZelkonFileLayer::CZelkonFileLayer(MArguments* arguments, const char* ownName, const char* peerName,
                                   uint32_t processId)
    : MZelkonCommunicationLayerInterface(arguments),
      iNextId(0),
      iProcessId(processId),
      iReplyMode(0) {
  CopyName(iOwnName, ownName);
  CopyName(iPeerName, peerName);
}

void CZelkonFileLayer::BeginRequest() {
  iReplyMode = 0;
  iArguments->Clear();
}

void CZelkonFileLayer::BeginReply(MZelkonSession* session) {
  iReplyMode = 1;
  iArguments->Clear();
  // The following Send steps onto the session's id.
  if (session) iNextId = static_cast<int32_t>(SessionId(session) - 1u);
}

void CZelkonFileLayer::AddArgument(const char* text) { iArguments->Add(text); }

MZelkonSession* CZelkonFileLayer::Send() {
  // Ids wrap instead of overflowing.
  iNextId = static_cast<int32_t>(static_cast<uint32_t>(iNextId) + 1u);
  const uint32_t id = static_cast<uint32_t>(iNextId);

  // Names too long for whole link paths: nothing is sent, and the caller is told.
  if (!IsWhole(LinkFile(FileKind::kMessage, iOwnName, iPeerName, iProcessId, id), FileKind::kMessage) ||
      !IsWhole(LinkFile(FileKind::kMarker, iOwnName, iPeerName, iProcessId, id), FileKind::kMarker))
    return nullptr;
  CBoundedString& directory = LocationDirectory(kLocationRuntime);
  if (!directory.IsDirectory() && directory.MakeDirectory() != 0) return nullptr;

  // The message must be complete on the medium before its marker exists; a
  // message that could not be written whole is withdrawn rather than announced.
  const char* line = iArguments->Line();
  const int32_t length = static_cast<int32_t>(std::strlen(line)) + 1;
  int result =
      WriteFile(LinkFile(FileKind::kMessage, iOwnName, iPeerName, iProcessId, id), line, length);
  if (result == kWriteFailed)
    LinkFile(FileKind::kMessage, iOwnName, iPeerName, iProcessId, id).Remove();
  if (result != 0) return nullptr;
  // A marker that failed to open leaves the message behind, as a reader would
  // find it; a half-written marker is withdrawn.
  result = WriteFile(LinkFile(FileKind::kMarker, iOwnName, iPeerName, iProcessId, id), kMarkerText,
                     sizeof(kMarkerText));
  if (result == kWriteFailed)
    LinkFile(FileKind::kMarker, iOwnName, iPeerName, iProcessId, id).Remove();
  if (result != 0) return nullptr;
  if (iReplyMode) return nullptr;
  return new (std::nothrow) CSession(id);
}

int CZelkonFileLayer::IsReplyReady(MZelkonSession* session) {
  if (!session) return 0;
  // The stream opens only a regular file: a FIFO planted under a marker's
  // name would wait for a writer.
  CBoundedString& marker =
      LinkFile(FileKind::kMarker, iPeerName, iOwnName, iProcessId, SessionId(session));
  CFileStream stream;
  if (stream.OpenRead(marker, nullptr) != 0) return 0;
  stream.Close();
  return 1;
}

void CZelkonFileLayer::Receive(MZelkonSession* session) {
  if (!session) {
    iArguments->Clear();
    return;
  }
  // No time-out: the peer answers when it answers.
  while (!IsReplyReady(session)) SleepMicroseconds(kPollMicroseconds);
  ReadReply(SessionId(session));
  delete session;
}

int CZelkonFileLayer::ReceiveIfReady(MZelkonSession* session) {
  if (!session || !IsReplyReady(session)) return 0;
  ReadReply(SessionId(session));
  delete session;
  return 1;
}

void CZelkonFileLayer::ReadReply(uint32_t id) {
  CBoundedString& message = LinkFile(FileKind::kMessage, iPeerName, iOwnName, iProcessId, id);
  CFileStream stream;
  // A message that is no regular file (a FIFO would block) is not read.
  if (stream.OpenRead(message, nullptr) == 0) {
    const int32_t size = stream.Size();
    if (size < 0 || size > kMaxMessageSize) {
      // Unreadable or oversized: an empty reply, and the files go.
      iArguments->Clear();
    } else {
      int32_t bufferSize = kDefaultBufferSize;
      int ready = 1;
      if (size + 1 > kDefaultBufferSize - 1) {
        ready = iArguments->Reserve(size + 1);  // empties the list even when it fails
        bufferSize = size + 1;
      } else {
        iArguments->Clear();
      }
      if (ready) {
        char* line = iArguments->Line();
        if (stream.ReadLine(line, bufferSize) < 0) line[0] = '\0';
        line[bufferSize - 1] = '\0';
        iArguments->Parse();
      }
    }
    stream.Close();
  }
  LinkFile(FileKind::kMarker, iPeerName, iOwnName, iProcessId, id).Remove();
  LinkFile(FileKind::kMessage, iPeerName, iOwnName, iProcessId, id).Remove();
}

MZelkonCommunicationLayerInterface* CreateFileLayer(const char* ownName, const char* peerName,
                                                    int32_t processId, int32_t /*unused*/) {
  const uint32_t pid =
      processId == -1 ? static_cast<uint32_t>(getpid()) : static_cast<uint32_t>(processId);
  return NewFileLayer(ownName, peerName, pid);
}

namespace {

// A marker name split at its first four dots. Valid only when the name is
// exactly what a layer would write for these values: anything else (a sign,
// leading zeros, an out-of-range number, trailing junk) names files that the
// layer would never find, so waiting on them could never end.
struct SMarkerName {
  char text[kPathCapacity + 1];
  const char* sender;
  const char* addressee;
  uint32_t processId;
  uint32_t id;

  int Split(const CBoundedString& name) {
    if (name.Length() >= kPathCapacity) return 0;
    name.CopyOut(text, sizeof(text));
    char* parts[5];
    parts[0] = text;
    for (int i = 1; i < 5; ++i) {
      char* dot = std::strchr(parts[i - 1], '.');
      if (!dot) return 0;
      *dot = '\0';
      parts[i] = dot + 1;
    }
    sender = parts[0];
    addressee = parts[1];
    processId = static_cast<uint32_t>(CBoundedString(parts[2]).ParseInteger());
    id = static_cast<uint32_t>(CBoundedString(parts[3]).ParseInteger());

    CPathBuffer canonical;
    FormatLinkName(canonical, FileKind::kMarker, sender, addressee, processId, id);
    return canonical.Length() == name.Length() &&
           std::memcmp(canonical.Data(), name.Data(), static_cast<size_t>(name.Length())) == 0;
  }
};

int EndsWithMarkerSuffix(const CBoundedString& name) {
  const int32_t n = static_cast<int32_t>(sizeof(kMarkerSuffix)) - 1;
  return name.Length() >= n &&
         std::memcmp(name.Data() + name.Length() - n, kMarkerSuffix, static_cast<size_t>(n)) == 0;
}

}  // namespace

int32_t DispatchIncoming(const char* name, MRequestHandler* handler) {
  if (!name) return 0;
  const CBoundedString wanted(name);
  CPathBuffer directory;
  directory.Set(LocationDirectory(kLocationRuntime));
  CFileScanner scanner(directory, CFileScanner::kFilesOnly, kScanBufferSize);

  int32_t handled = 0;
  for (const CFileScanner::TEntry* entry = scanner.First();
       entry && handled < kDispatchLimit; entry = scanner.Next()) {
    const CBoundedString fileName = entry->Name();
    if (!EndsWithMarkerSuffix(fileName)) continue;
    SMarkerName marker;
    // Markers that no layer could have written are left where they are.
    if (!marker.Split(fileName)) continue;
    if (CBoundedString(marker.addressee).CompareNoCase(wanted) != 0) continue;

    CZelkonFileLayer* layer = NewFileLayer(marker.addressee, marker.sender, marker.processId);
    if (!layer) break;
    CZelkonFileLayer::CSession* request = new (std::nothrow) CZelkonFileLayer::CSession(marker.id);
    // The marker may have gone (another reader) or be unreadable: skip it, never wait.
    if (!request || !layer->ReceiveIfReady(request)) {
      delete request;
      delete layer;
      continue;
    }
    CZelkonFileLayer::CSession* reply = new (std::nothrow) CZelkonFileLayer::CSession(marker.id);
    if (reply && handler) handler->HandleRequest(layer, reply);
    delete reply;
    delete layer;
    ++handled;
  }
  return handled;
}
