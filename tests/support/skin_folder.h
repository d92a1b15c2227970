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
  // DejaVu Sans for the fonts that the descriptions name: the control font
  // (16) and the big font (24) when asked, the button font (18) always.
  bool DescribeDejaVu(bool control, bool big) const {
    if (!LinkFace("DejaVuSans")) return false;
    if (control) Write("ControlFont.txt", "DejaVuSans 16\n0 0 0\n");
    Write("ButtonFont.txt", "DejaVuSans 18\n");
    if (big) Write("BigFont.txt", "DejaVuSans 24\n");
    return true;
  }

 private:
  TempDir iDir;
};
