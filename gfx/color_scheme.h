#pragma once
// Colour schemes: fourteen compiled-in sets of colour roles, numbered 0-13,
// that the widgets paint with, and the named palette their fixed roles use.

#include <cstdint>

#include "device/frame_buffer.h"

// The named palette; constant for the whole run.
inline constexpr Color colorBlack = 0x0000;
inline constexpr Color colorWhite = 0xFFFF;
inline constexpr Color colorSilver = 0xC638;
inline constexpr Color colorYellow = 0xFFE0;
inline constexpr Color colorRed = 0xF800;

// The dark colour every scheme answers: black until the skin sets the colour
// of its control font description. The skin is its only writer.
Color GetDarkColor();
void SetDarkColor(Color color);

class MColorScheme {
 public:
  virtual Color FaceColor() = 0;
  virtual Color TextColor() = 0;
  virtual Color DisabledColor() = 0;
  virtual Color DarkColor() = 0;
  virtual Color HighlightColor() = 0;
  virtual Color BackgroundColor() = 0;
  virtual ~MColorScheme() = default;
};

class CDefaultColorScheme : public MColorScheme {
 public:
  static constexpr int32_t kSchemeCount = 14;

  // A number outside 0-13 answers with scheme 13's colours.
  explicit CDefaultColorScheme(int32_t scheme) : iScheme(scheme) {}

  Color FaceColor() override;
  Color TextColor() override;
  Color DisabledColor() override { return colorSilver; }
  Color DarkColor() override { return GetDarkColor(); }
  Color HighlightColor() override { return colorRed; }
  Color BackgroundColor() override;

  int32_t Scheme() const { return iScheme; }

 private:
  int32_t iScheme;
};

class CDefaultColorSchemeManager {
 public:
  CDefaultColorSchemeManager() = default;
  virtual ~CDefaultColorSchemeManager();
  CDefaultColorSchemeManager(const CDefaultColorSchemeManager&) = delete;
  CDefaultColorSchemeManager& operator=(const CDefaultColorSchemeManager&) = delete;

  // The one scheme object of a number, made on first request. A number
  // outside 0-13 gets scheme 13's object, whose colours it would show anyway.
  MColorScheme* GetSchemeObject(int32_t scheme);

 private:
  MColorScheme* iSchemes[CDefaultColorScheme::kSchemeCount] = {};
};

CDefaultColorSchemeManager* GetColorSchemeManager();
