#include "app/directory_reader.h"

#include <cstring>

DirectoryReader::DirectoryReader(const char* path) {
  handle = opendir(path);
  finished = handle == nullptr;
  if (!finished) ReadEntry();
}

DirectoryReader::~DirectoryReader() {
  if (handle != nullptr) closedir(handle);
}

void DirectoryReader::ReadEntry() {
  // A read error ends the listing like its end does.
  const struct dirent* entry = readdir(handle);
  if (entry == nullptr) {
    finished = true;
    return;
  }
  currentLength = static_cast<uint32_t>(strnlen(entry->d_name, kNameCapacity - 1));
  std::memcpy(current, entry->d_name, currentLength);
  current[currentLength] = '\0';
}

const char* DirectoryReader::Next(uint32_t* length) {
  if (finished) {
    delivered[0] = '\0';
    *length = 0;
    return delivered;
  }
  std::memcpy(delivered, current, currentLength + 1);
  *length = currentLength;
  ReadEntry();
  return delivered;
}
