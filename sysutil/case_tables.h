#pragma once
// Latin-1 case tables: upper case, lower case, and folding (case and accents
// away), each indexed by the unsigned character.

#include <cstdint>

extern const uint8_t kUpperCaseTable[256];
extern const uint8_t kLowerCaseTable[256];
extern const uint8_t kFoldingTable[256];
