#include "emu/bounded_file.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool ReadBoundedFile(const std::string& path, uint64_t maxBytes, std::string& bytes, std::string& why) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    why = path + ": " + std::strerror(errno);
    return false;
  }
  if (!S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > maxBytes) {
    why = path + ": not a regular file of at most " + std::to_string(maxBytes) + " bytes";
    return false;
  }
  FILE* f = std::fopen(path.c_str(), "rb");
  if (f == nullptr) {
    why = path + ": " + std::strerror(errno);
    return false;
  }
  bytes.resize(static_cast<size_t>(st.st_size));
  const bool whole = std::fread(&bytes[0], 1, bytes.size(), f) == bytes.size() && std::fgetc(f) == EOF;
  std::fclose(f);
  if (!whole) why = path + ": changed while it was read";
  return whole;
}
