// Font description files from the card's skin folder: any bytes give a font
// (the described face, "Arial" or the fixed font), never a crash.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "gfx/color_scheme.h"
#include "ui/skin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string folder;
  if (folder.empty()) {
    folder = "/tmp/fuzz-font-description-" + std::to_string(getpid());
    mkdir(folder.c_str(), 0700);
    mkdir((folder + "/skin").c_str(), 0700);
    // A real face for inputs that name it.
    symlink("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", (folder + "/skin/DejaVuSans.ttf").c_str());
  }
  FILE* f = std::fopen((folder + "/skin/ControlFont.txt").c_str(), "wb");
  if (f == nullptr) return 0;
  if (size > 0) std::fwrite(data, 1, size, f);
  std::fclose(f);
  bool builtIn = false;
  MFont* font = CDefaultSkin::LoadFont(folder.c_str(), "Control", 16, true, &builtIn);
  if (font == nullptr || font->GetTextHeight("A") == 0) std::abort();
  if (!builtIn) delete font;
  SetDarkColor(colorBlack);
  return 0;
}
