#pragma once
// A skin folder for a test: a fresh temporary folder with its "skin"
// sub-folder, files written into it, faces linked to the pinned DejaVu
// fonts, and Install() making it the process's skin folder.

#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "tests/support/temp_dir.h"
#include "ui/skin.h"

inline constexpr const char* kDejaVuSansFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

class CSkinFolder {
 public:
  CSkinFolder() { mkdir(SkinPath().c_str(), 0700); }

  const std::string& Path() const { return iDir.Path(); }
  std::string SkinPath() const { return iDir.File("skin"); }
  // Writes skin/<name> and returns its path.
  std::string Write(const std::string& name, const std::string& content) const {
    return iDir.Write("skin/" + name, content);
  }
  // skin/<face>.ttf as a link to a font file; false when it cannot be made.
  bool LinkFace(const std::string& face, const char* fontFile = kDejaVuSansFile) const {
    return symlink(fontFile, (SkinPath() + "/" + face + ".ttf").c_str()) == 0;
  }
  void Install() const { SetSkinFolder(Path().c_str()); }

 private:
  TempDir iDir;
};
