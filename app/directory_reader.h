#pragma once
// DirectoryReader: walks one directory, one name at a time, in the order the
// directory delivers them ("." and ".." included). A name is at most 255
// bytes, so one fixed buffer holds it; nothing grows with the folder.

#include <dirent.h>

#include <cstdint>

class DirectoryReader {
 public:
  // A file name's longest form and its NUL.
  static constexpr uint32_t kNameCapacity = 256;

  // Opens the directory and reads its first name; a directory that cannot be
  // opened, or is empty, delivers nothing.
  explicit DirectoryReader(const char* path);
  ~DirectoryReader();
  DirectoryReader(const DirectoryReader&) = delete;
  DirectoryReader& operator=(const DirectoryReader&) = delete;

  // Whether the directory could be opened at all.
  bool Opened() const { return handle != nullptr; }
  bool HasMore() const { return !finished; }
  // The current name (valid until the next call) and its length in *length;
  // then reads the following one.
  const char* Next(uint32_t* length);

 private:
  void ReadEntry();

  DIR* handle = nullptr;
  bool finished = true;
  char current[kNameCapacity] = {};
  uint32_t currentLength = 0;
  char delivered[kNameCapacity] = {};
};
