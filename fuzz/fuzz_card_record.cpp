// Record files and text lines from the card: any bytes, read back safely.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sysutil/card_files.h"
#include "sysutil/file_manager.h"
#include "sysutil/file_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static char path[64];
  if (path[0] == '\0') snprintf(path, sizeof(path), "/tmp/fuzz-card-record-%d", static_cast<int>(getpid()));
  FILE* f = fopen(path, "wb");
  if (f == nullptr) return 0;
  if (size > 0) fwrite(data, 1, size, f);
  fclose(f);

  CFileManager manager;
  manager.SetRecordPath(CBoundedString(path));
  char* text = ReadRecord(manager);
  if (text != nullptr) {
    size_t n = strlen(text);
    if (n > 255) abort();
    free(text);
  }

  // Lines through a buffer whose size comes from the data (2 to 64 bytes).
  int32_t lineSize = size > 0 ? 2 + data[0] % 63 : 16;
  char line[64];
  CFileStream stream;
  if (stream.OpenRead(CBoundedString(path), nullptr) == 0) {
    int32_t total = 0;
    for (int32_t n; (n = stream.ReadLine(line, lineSize)) >= 0;) {
      if (n > lineSize - 1 || line[n] != '\0') abort();
      total += n;
    }
    if (total != static_cast<int32_t>(size)) abort();
  }
  unlink(path);
  return 0;
}
