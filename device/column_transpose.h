#pragma once
// The layout change of the models whose display memory is a row-major grid.

#include <cstdint>

// dst row-major w x h from src in column runs (column x holds rows h-1 .. 0),
// 16-bit pixels. dst and src must not overlap.
void ColumnsToRows(const uint8_t* src, uint8_t* dst, uint32_t w, uint32_t h);
