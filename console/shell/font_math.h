// Arithmetic of the view font and of wheel scrolling. Portable.
#pragma once

#include <cstdint>

namespace murlo {

// Character height in twips for a font height in logical units:
// |height| * 1440 / pixelsPerInch, truncated toward zero. The sign of height
// (cell or character height) does not matter. A non-positive pixelsPerInch
// counts as 96, and the result is capped at INT32_MAX.
int32_t TwipsFromFontHeight(int32_t height, int32_t pixelsPerInch);

// Lines to scroll for a wheel delta: lines * delta / 120, truncated toward
// zero (positive scrolls toward the top); 0 when |delta| < 120 or lines is 0.
int64_t WheelStep(int32_t delta, uint32_t lines);

// New vertical scroll position: position - step, kept within [0, maximum].
int32_t WheelScrollPosition(int32_t position, int64_t step, int32_t maximum);

}  // namespace murlo
