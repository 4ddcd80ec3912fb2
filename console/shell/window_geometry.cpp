#include "console/shell/window_geometry.h"

namespace murlo {

namespace {

int32_t Wrap(uint32_t value) { return static_cast<int32_t>(value); }

}  // namespace

WindowRect RectFromGeometry(uint32_t x, uint32_t y, uint32_t width, uint32_t height) {
    return {Wrap(x), Wrap(y), Wrap(x + width), Wrap(y + height)};
}

int32_t SpanOf(int32_t low, int32_t high) {
    return Wrap(static_cast<uint32_t>(high) - static_cast<uint32_t>(low));
}

}  // namespace murlo
