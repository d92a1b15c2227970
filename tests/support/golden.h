#pragma once
// Golden images: a frame buffer's whole logical screen compared with a
// reviewed PNG in tests/golden/. A mismatch fails, names the files, and
// writes the actual image and a difference image (differing pixels red, the
// rest dimmed) into the build folder's golden-out/. Goldens are written only
// on request: tools/update-goldens runs the golden tests with
// KESTREL_UPDATE_GOLDENS=1; look at every picture it changes before committing.
//
// PNG pixels are RGB888, expanded from RGB565 by repeating each channel's
// high bits (r8 = r5 << 3 | r5 >> 2, g8 = g6 << 2 | g6 >> 4), so that a
// golden reads back to exactly the pixels it was written from.

#include <gtest/gtest.h>

#include <string>

class MFrameBuffer;

::testing::AssertionResult MatchesGolden(MFrameBuffer& fb, const std::string& name);
