#include "sysutil/case_tables.h"

namespace {

struct CaseTables {
  uint8_t upper[256];
  uint8_t lower[256];
  uint8_t folded[256];
};

constexpr CaseTables MakeTables() {
  CaseTables t{};
  for (int i = 0; i < 256; ++i) {
    t.upper[i] = t.lower[i] = t.folded[i] = static_cast<uint8_t>(i);
  }
  for (int i = 97; i <= 122; ++i) {
    t.upper[i] = static_cast<uint8_t>(i - 32);
    t.lower[i - 32] = static_cast<uint8_t>(i);
    t.folded[i] = static_cast<uint8_t>(i - 32);
  }
  for (int i = 224; i <= 254; ++i) {
    t.upper[i] = static_cast<uint8_t>(i - 32);
    t.lower[i - 32] = static_cast<uint8_t>(i);
  }
  t.upper[190] = 189;
  t.lower[189] = 190;

  t.folded[45] = 32;
  t.folded[130] = 44;
  t.folded[138] = t.folded[154] = 83;
  t.folded[156] = 140;
  t.folded[159] = t.folded[221] = t.folded[253] = t.folded[255] = 89;
  t.folded[189] = t.folded[190] = 76;
  for (int i = 192; i <= 198; ++i) t.folded[i] = t.folded[i + 32] = 65;
  t.folded[199] = t.folded[231] = 67;
  for (int i = 200; i <= 203; ++i) t.folded[i] = t.folded[i + 32] = 69;
  for (int i = 204; i <= 207; ++i) t.folded[i] = t.folded[i + 32] = 73;
  t.folded[209] = t.folded[241] = 78;
  for (int i = 210; i <= 214; ++i) t.folded[i] = t.folded[i + 32] = 79;
  t.folded[216] = t.folded[248] = 79;
  for (int i = 217; i <= 220; ++i) t.folded[i] = t.folded[i + 32] = 85;
  t.folded[223] = 83;
  t.folded[240] = 208;
  t.folded[254] = 222;
  return t;
}

constexpr CaseTables kTables = MakeTables();

}  // namespace

#define KESTREL_ROW(t, i) t[i], t[i + 1], t[i + 2], t[i + 3], t[i + 4], t[i + 5], t[i + 6], t[i + 7]
#define KESTREL_ROWS8(t, i)                                                        \
  KESTREL_ROW(t, i), KESTREL_ROW(t, i + 8), KESTREL_ROW(t, i + 16), KESTREL_ROW(t, i + 24), \
      KESTREL_ROW(t, i + 32), KESTREL_ROW(t, i + 40), KESTREL_ROW(t, i + 48), KESTREL_ROW(t, i + 56)
#define KESTREL_TABLE(t) \
  {KESTREL_ROWS8(t, 0), KESTREL_ROWS8(t, 64), KESTREL_ROWS8(t, 128), KESTREL_ROWS8(t, 192)}

const uint8_t kUpperCaseTable[256] = KESTREL_TABLE(kTables.upper);
const uint8_t kLowerCaseTable[256] = KESTREL_TABLE(kTables.lower);
const uint8_t kFoldingTable[256] = KESTREL_TABLE(kTables.folded);

#undef KESTREL_TABLE
#undef KESTREL_ROWS8
#undef KESTREL_ROW
