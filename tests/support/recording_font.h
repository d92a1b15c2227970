#pragma once
// A font of fixed-size cells that paints nothing and records every text it
// is asked to draw, with the place on the whole screen (also when drawn into
// a box of it) and the colour: layout tests read where each line went.

#include <cstring>
#include <string>
#include <vector>

#include "gfx/font.h"
#include "ui/painting.h"

class CRecordingFont final : public MFont {
 public:
  struct Drawn {
    std::string text;
    uint32_t x;
    uint32_t y;
    Color color = 0;
    // Colour is compared only where a test names one.
    bool operator==(const Drawn& o) const { return text == o.text && x == o.x && y == o.y; }
  };

  CRecordingFont(uint32_t cellWidth = 6, uint32_t cellHeight = 8) : iWidth(cellWidth), iHeight(cellHeight) {}

  uint32_t GetCharHeight(uint32_t) override { return iHeight; }
  uint32_t GetTextHeight(const char* text) override { return text != nullptr && *text != '\0' ? iHeight : 0; }
  uint32_t GetTextHeight(WideText) override { return iHeight; }
  uint32_t GetCharWidth(uint32_t) override { return iWidth; }
  uint32_t GetTextWidth(const char* text) override {
    return text != nullptr ? static_cast<uint32_t>(std::strlen(text)) * iWidth : 0;
  }
  uint32_t GetTextWidth(WideText) override { return 0; }
  bool DrawChar(MFrameBuffer&, uint32_t, uint32_t, uint32_t, Color) override { return true; }
  bool DrawText(MFrameBuffer& target, const char* text, uint32_t x, uint32_t y, Color color) override {
    if (auto* box = dynamic_cast<CBoxOf*>(&target)) {
      x += static_cast<uint32_t>(box->OriginX());
      y += static_cast<uint32_t>(box->OriginY());
    }
    drawn.push_back({text != nullptr ? text : "", x, y, color});
    return true;
  }
  bool DrawText(MFrameBuffer&, WideText, uint32_t, uint32_t, Color) override { return true; }
  int32_t GetMetric(int32_t) override { return static_cast<int32_t>(iHeight); }

  std::vector<Drawn> drawn;

 private:
  uint32_t iWidth;
  uint32_t iHeight;
};

inline std::ostream& operator<<(std::ostream& os, const CRecordingFont::Drawn& d) {
  return os << '"' << d.text << "\"@" << d.x << ',' << d.y;
}
