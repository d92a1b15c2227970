// The serving side of the message link: fuzzed marker and message files in the
// run-time directory, then one DispatchIncoming pass with a handler that
// answers. Runs inside the device sandbox (tools/fuzz). A pass must never wait:
// a hang is reported through libFuzzer's time-out, which is set short here.
#include <dirent.h>
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "navlink/file_layer.h"

namespace {

const char kRun[] = "/var/run/";

class CAnswer : public MRequestHandler {
 public:
  void HandleRequest(MZelkonCommunicationLayerInterface* layer, MZelkonSession* session) override {
    MArguments* args = layer->Arguments();
    std::vector<std::string> fields;
    for (int32_t i = 0; i < args->Count(); ++i) {
      const char* field = args->Get(i);
      if (!field) abort();
      fields.emplace_back(field);
    }
    if (args->Get(args->Count()) || args->Get(-1)) abort();
    layer->BeginReply(session);
    layer->AddArgument("ok");
    for (const std::string& f : fields) layer->AddArgument(f.c_str());
    if (layer->Send() != nullptr) abort();  // replies never make sessions
  }
};

void CleanRunDirectory() {
  DIR* d = opendir(kRun);
  if (!d) return;
  std::vector<std::string> names;
  while (dirent* e = readdir(d)) {
    if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0) {
      names.emplace_back(e->d_name);
    }
  }
  closedir(d);
  for (const std::string& n : names) {
    const std::string path = kRun + n;
    chmod(path.c_str(), 0700);
    if (unlink(path.c_str()) != 0) rmdir(path.c_str());
  }
}

// A file name: either fuzzed bytes, or the layer's own pattern with fuzzed parts.
std::string MakeName(FuzzedDataProvider& in) {
  std::string name;
  if (in.ConsumeBool()) {
    name = in.ConsumeRandomLengthString(300);
  } else {
    static const char* const kNames[] = {"client", "server", "SERVER", "x", ""};
    static const char* const kSuffixes[] = {"finished", "message", "Finished", "x.finished", ""};
    auto part = [&in](const char* const* table) {
      return in.ConsumeBool() ? std::string(table[in.ConsumeIntegralInRange<int>(0, 4)])
                              : in.ConsumeRandomLengthString(20);
    };
    auto number = [&in]() {
      switch (in.ConsumeIntegralInRange<int>(0, 2)) {
        case 0: return std::to_string(in.ConsumeIntegral<uint32_t>());
        case 1: return std::to_string(in.ConsumeIntegral<int64_t>());
        default: return in.ConsumeRandomLengthString(12);
      }
    };
    name = part(kNames) + "." + part(kNames) + "." + number() + "." + number() + "." +
           part(kSuffixes);
  }
  for (char& c : name) {
    if (c == '/' || c == '\0') c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "_";
  return name.substr(0, 250);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  // A pass that waits would otherwise hang the run.
  static std::vector<char*> args;
  static char timeout[] = "-timeout=10";
  args.assign(*argv, *argv + *argc);
  args.insert(args.begin() + 1, timeout);
  args.push_back(nullptr);
  *argc = static_cast<int>(args.size()) - 1;
  *argv = args.data();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  const int files = in.ConsumeIntegralInRange<int>(1, 6);
  for (int i = 0; i < files && in.remaining_bytes() > 0; ++i) {
    const std::string path = kRun + MakeName(in);
    const uint8_t flags = in.ConsumeIntegral<uint8_t>();
    const std::string content = in.ConsumeRandomLengthString(4096);
    if (flags & 4) {
      mkfifo(path.c_str(), 0600);  // opening it for reading would wait for a writer
      continue;
    }
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK, 0600);
    if (fd < 0) continue;
    if (write(fd, content.data(), content.size()) < 0) {
      // A short file is as good an input as any.
    }
    // Sparse giants around the size cap of a message.
    if (flags & 1) {
      if (ftruncate(fd, (1 << 20) - 1 + (flags >> 5)) != 0) {
      }
    }
    close(fd);
    if (flags & 2) chmod(path.c_str(), 0);
  }
  CAnswer answer;
  const int32_t handled = DispatchIncoming(in.ConsumeBool() ? "server" : "Server", &answer);
  if (handled < 0 || handled > kDispatchLimit) abort();
  CleanRunDirectory();
  return 0;
}
