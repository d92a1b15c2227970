#pragma once
// The message link to the navigation software, carried by files in the
// run-time directory ("/var/run/"). A message file holds one argument line
// and its NUL; a marker file written after it says the message is complete:
//
//   <writer>.<addressee>.<client pid>.<id>.message
//   <writer>.<addressee>.<client pid>.<id>.finished
//
// The reader waits for the marker, reads the message and deletes both. A reply
// comes back under the same id and the same (client's) process id.

#include <cstdint>

#include "navlink/csv_arguments.h"

class MZelkonSession {
 public:
  virtual ~MZelkonSession() = default;
};

class MZelkonCommunicationLayerInterface {
 public:
  // Takes ownership of the argument list.
  explicit MZelkonCommunicationLayerInterface(MArguments* arguments) : iArguments(arguments) {}
  virtual ~MZelkonCommunicationLayerInterface();
  MZelkonCommunicationLayerInterface(const MZelkonCommunicationLayerInterface&) = delete;
  MZelkonCommunicationLayerInterface& operator=(const MZelkonCommunicationLayerInterface&) = delete;

  virtual void BeginRequest() = 0;
  virtual void BeginReply(MZelkonSession* session) = 0;
  virtual void AddArgument(const char* text) = 0;
  // A session to Receive the reply with; null in reply mode or on failure.
  virtual MZelkonSession* Send() = 0;
  virtual int IsReplyReady(MZelkonSession* session) = 0;
  // Waits for the reply, loads it into Arguments() and deletes the session.
  virtual void Receive(MZelkonSession* session) = 0;

  // The working buffer: a request is built here and a reply replaces it.
  MArguments* Arguments() { return iArguments; }

 protected:
  MArguments* iArguments;
};

class CZelkonFileLayer : public MZelkonCommunicationLayerInterface {
 public:
  static constexpr int32_t kNameSize = 256;
  static constexpr int32_t kDefaultBufferSize = 1024;
  // A message file larger than this is not read: the reply comes out empty
  // and both files are deleted, so a runaway writer cannot exhaust memory.
  static constexpr int32_t kMaxMessageSize = 1 << 20;
  static constexpr int32_t kPollMicroseconds = 100000;

  class CSession : public MZelkonSession {
   public:
    explicit CSession(uint32_t id) : iId(id) {}
    uint32_t Id() const { return iId; }

   private:
    uint32_t iId;
  };

  // Names are cut to kNameSize - 1 characters.
  CZelkonFileLayer(MArguments* arguments, const char* ownName, const char* peerName,
                   uint32_t processId);

  void BeginRequest() override;
  void BeginReply(MZelkonSession* session) override;
  void AddArgument(const char* text) override;
  MZelkonSession* Send() override;
  int IsReplyReady(MZelkonSession* session) override;
  void Receive(MZelkonSession* session) override;

  // Receive without the wait: when the peer's marker is not there (or cannot
  // be read) it returns 0 and leaves the session to the caller; otherwise it
  // consumes the message like Receive, deletes the session and returns 1.
  int ReceiveIfReady(MZelkonSession* session);

  const char* OwnName() const { return iOwnName; }
  const char* PeerName() const { return iPeerName; }
  int32_t NextId() const { return iNextId; }
  uint32_t ProcessId() const { return iProcessId; }
  int IsReplyMode() const { return iReplyMode; }

 private:
  // Reads the peer's message for `id` into the argument list and deletes the
  // peer's marker and message.
  void ReadReply(uint32_t id);

  char iOwnName[kNameSize];
  char iPeerName[kNameSize];
  int32_t iNextId;
  uint32_t iProcessId;
  int32_t iReplyMode;
};

// A new layer on a '|'-separated argument list, or null when memory runs out.
// processId -1 takes the calling process's id; the last argument is unused.
MZelkonCommunicationLayerInterface* CreateFileLayer(const char* ownName, const char* peerName,
                                                    int32_t processId, int32_t unused);

// The serving side: answers one request.
class MRequestHandler {
 public:
  virtual ~MRequestHandler() = default;
  // The request's fields are in layer->Arguments(); answer with
  // BeginReply(session), AddArgument..., Send(). The session stays the caller's.
  virtual void HandleRequest(MZelkonCommunicationLayerInterface* layer,
                             MZelkonSession* session) = 0;
};

// Requests handled per DispatchIncoming pass at the most; the rest wait for
// the next pass. Bounds a pass even when replies land in the directory being
// walked (a name that answers itself).
constexpr int32_t kDispatchLimit = 64;

// One pass over the run-time directory: every complete request addressed to
// `name` (ignoring case) is read, deleted and handed to the handler. Never
// waits. Returns the number of requests handled.
int32_t DispatchIncoming(const char* name, MRequestHandler* handler);
