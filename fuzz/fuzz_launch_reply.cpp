// Launcher replies: any text, parsed by each reply parser.
#include <cstddef>
#include <cstdint>
#include <string>

#include "sysutil/launch_socket.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The client parses at most 127 bytes, NUL-terminated.
  std::string reply(reinterpret_cast<const char*>(data), size < 127 ? size : 127);
  int32_t a = 0;
  int32_t b = 0;
  ParseLaunchReply(reply.c_str(), a);
  ParseWait4Reply(reply.c_str(), a, b);
  ParseKillReply(reply.c_str(), a);
  return 0;
}
