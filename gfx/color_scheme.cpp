#include "gfx/color_scheme.h"

#include <new>

namespace {
Color gDarkColor = colorBlack;

struct SchemeRow {
  int32_t scheme;
  Color background;
  Color face;
  Color text;
};

constexpr SchemeRow kSchemes[CDefaultColorScheme::kSchemeCount] = {
    {0, 0x0339, 0x0013, colorWhite},  {1, 0x000C, 0x0193, colorWhite},  {2, 0x3339, 0x0193, colorWhite},
    {3, 0x000C, 0x3333, colorWhite},  {4, 0x9CD9, 0x6339, colorWhite},  {5, 0xE73C, 0x64B9, colorBlack},
    {6, 0xF79E, 0x9E5D, colorBlack},  {7, 0x64D9, 0x3333, colorWhite},  {8, 0x9CD3, 0x632C, colorWhite},
    {9, 0x9986, 0x6000, colorWhite},  {10, 0x3320, 0x64C6, colorWhite}, {11, 0xCCC6, 0x9B20, colorWhite},
    {12, 0x3339, 0x0193, colorWhite}, {13, 0xF81F, 0x8811, colorWhite},
};

const SchemeRow& Row(int32_t scheme) {
  for (const SchemeRow& row : kSchemes)
    if (row.scheme == scheme) return row;
  return kSchemes[CDefaultColorScheme::kSchemeCount - 1];
}
}  // namespace

Color GetDarkColor() { return gDarkColor; }
void SetDarkColor(Color color) { gDarkColor = color; }

Color CDefaultColorScheme::FaceColor() { return Row(iScheme).face; }
Color CDefaultColorScheme::TextColor() { return Row(iScheme).text; }
Color CDefaultColorScheme::BackgroundColor() { return Row(iScheme).background; }

CDefaultColorSchemeManager::~CDefaultColorSchemeManager() {
  for (MColorScheme*& scheme : iSchemes) {
    delete scheme;
    scheme = nullptr;
  }
}

MColorScheme* CDefaultColorSchemeManager::GetSchemeObject(int32_t scheme) {
  if (scheme < 0 || scheme >= CDefaultColorScheme::kSchemeCount) scheme = CDefaultColorScheme::kSchemeCount - 1;
  if (iSchemes[scheme] == nullptr) iSchemes[scheme] = new (std::nothrow) CDefaultColorScheme(scheme);
  return iSchemes[scheme];
}

CDefaultColorSchemeManager* GetColorSchemeManager() {
  static CDefaultColorSchemeManager manager;
  return &manager;
}
