// The main window's rectangle from the stored geometry and back. Portable.
#pragma once

#include <cstdint>

namespace murlo {

struct WindowRect {
    int32_t left, top, right, bottom;
};

// left = X, top = Y, right = X + Width, bottom = Y + Height, modulo 2^32, so
// that right - left and bottom - top give Width and Height back exactly.
WindowRect RectFromGeometry(uint32_t x, uint32_t y, uint32_t width, uint32_t height);
// Width or height of a rectangle side, modulo 2^32 (inverse of the above).
int32_t SpanOf(int32_t low, int32_t high);

}  // namespace murlo
