#include "console/shell/font_math.h"

#include <cstdint>

namespace murlo {

namespace {
constexpr int64_t kTwipsPerInch = 1440;
constexpr int32_t kFallbackPixelsPerInch = 96;
constexpr int32_t kWheelDelta = 120;
}  // namespace

int32_t TwipsFromFontHeight(int32_t height, int32_t pixelsPerInch) {
    if (pixelsPerInch <= 0) pixelsPerInch = kFallbackPixelsPerInch;
    int64_t magnitude = height < 0 ? -int64_t(height) : int64_t(height);
    int64_t twips = magnitude * kTwipsPerInch / pixelsPerInch;
    return twips > INT32_MAX ? INT32_MAX : int32_t(twips);
}

int64_t WheelStep(int32_t delta, uint32_t lines) {
    int64_t wide = delta;
    if ((wide < 0 ? -wide : wide) < kWheelDelta || lines == 0) return 0;
    return int64_t(lines) * wide / kWheelDelta;
}

int32_t WheelScrollPosition(int32_t position, int64_t step, int32_t maximum) {
    int64_t target = int64_t(position) - step;
    if (target > maximum) target = maximum;
    if (target < 0) target = 0;
    return int32_t(target);
}

}  // namespace murlo
