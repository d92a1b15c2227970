// Text-file and configuration lines: any bytes split in place under both
// line rules; the file's lines joined again give the bytes back, and the
// configuration's are the file's, cut after a carriage return.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/text_file.h"

namespace {
void Split(const uint8_t* data, size_t size, ELineRule rule, CLineTable& lines) {
  CLineTable::Bytes bytes(reinterpret_cast<const char*>(data), reinterpret_cast<const char*>(data) + size);
  SplitTextLines(std::move(bytes), static_cast<uint32_t>(size), rule, lines);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > kMaxFileBytes) return 0;
  CLineTable file, config;
  Split(data, size, ELineRule::kKeepCarriageReturn, file);
  Split(data, size, ELineRule::kCutAfterCarriageReturn, config);
  if (file.Size() == 0 || file.Size() != config.Size()) abort();
  std::string joined;
  for (uint32_t i = 0; i < file.Size(); ++i) {
    const std::string line(file.Text(i), file.Length(i));
    if (file.Text(i)[file.Length(i)] != '\0' || config.Text(i)[config.Length(i)] != '\0') abort();
    if (line.find('\n') != std::string::npos) abort();
    const bool cut = line.find('\r') != std::string::npos;
    if (std::string(config.Text(i), config.Length(i)) != line.substr(0, line.size() - (cut ? 1 : 0))) abort();
    if (i != 0) joined += '\n';
    joined += line;
  }
  if (joined != std::string(reinterpret_cast<const char*>(data), size)) abort();
  return 0;
}
