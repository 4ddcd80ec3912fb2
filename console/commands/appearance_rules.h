// Arithmetic and text rules of the appearance commands. Portable;
// console/commands/appearance.cpp applies them to windows and dialogs.
#pragma once

#include <cstddef>
#include <cstdint>

namespace murlo {

// Forms the help file's path from the program's path: the extension of the
// file name (everything after its last '.') is replaced by ext. A file name
// without a '.' gets '.' and ext appended; a '.' in a folder name is not an
// extension. '\\' and '/' both separate folders. Returns false, with out
// set empty, when the path and its terminator do not fit outSize bytes.
bool HelpFilePath(const char* programPath, const char* ext, char* out, size_t outSize);

// Top-left corner that centres a window of size inner on the rectangle
// outer (left, top, right, bottom); each half truncates toward zero, and
// nothing is clipped, so a larger window overhangs on both sides.
struct Point32 {
    int32_t x;
    int32_t y;
};
Point32 CenteredOrigin(const int32_t outer[4], const int32_t inner[4]);

// The point size the font dialog is given: |lfHeight| x 72 / pixelsPerInchY,
// truncated; 0 when pixelsPerInchY is not positive.
int32_t FontPointSize(int32_t lfHeight, int32_t pixelsPerInchY);

// The transparency dialog's trackbar shows transparency: position p gives
// opacity 255 - p, taken as a byte, and opacity a gives position 255 - a.
uint8_t AlphaFromTrackbar(intptr_t position);
int32_t TrackbarFromAlpha(uint8_t alpha);

}  // namespace murlo
