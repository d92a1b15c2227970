#pragma once
#include <string>

// A fresh folder under $TMPDIR (or /tmp), removed with its contents on destruction.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return iPath; }
  // Path of `name` inside the folder.
  std::string File(const std::string& name) const { return iPath + "/" + name; }
  // Writes `content` to `name` inside the folder and returns its path.
  std::string Write(const std::string& name, const std::string& content) const;

 private:
  std::string iPath;
};

// Whole content of a file, or "<missing>" when it cannot be read.
std::string ReadWholeFile(const std::string& path);
