#include "console/commands/appearance_rules.h"

#include <cstring>

namespace murlo {

bool HelpFilePath(const char* programPath, const char* ext, char* out, size_t outSize) {
    if (outSize == 0) return false;
    out[0] = '\0';
    size_t length = strlen(programPath);
    size_t nameStart = 0;
    for (size_t i = 0; i < length; ++i)
        if (programPath[i] == '\\' || programPath[i] == '/') nameStart = i + 1;
    size_t keep = length;  // bytes of the program path that stay
    bool needDot = true;
    for (size_t i = length; i > nameStart; --i) {
        if (programPath[i - 1] == '.') {
            keep = i;
            needDot = false;
            break;
        }
    }
    size_t extLength = strlen(ext);
    size_t total = keep + (needDot ? 1 : 0) + extLength;
    if (total + 1 > outSize) return false;
    memcpy(out, programPath, keep);
    if (needDot) out[keep++] = '.';
    memcpy(out + keep, ext, extLength);
    out[total] = '\0';
    return true;
}

Point32 CenteredOrigin(const int32_t outer[4], const int32_t inner[4]) {
    int64_t outerWidth = int64_t(outer[2]) - outer[0];
    int64_t outerHeight = int64_t(outer[3]) - outer[1];
    int64_t innerWidth = int64_t(inner[2]) - inner[0];
    int64_t innerHeight = int64_t(inner[3]) - inner[1];
    return Point32{int32_t(outer[0] + (outerWidth - innerWidth) / 2),
                   int32_t(outer[1] + (outerHeight - innerHeight) / 2)};
}

int32_t FontPointSize(int32_t lfHeight, int32_t pixelsPerInchY) {
    if (pixelsPerInchY <= 0) return 0;
    int64_t height = lfHeight < 0 ? -int64_t(lfHeight) : int64_t(lfHeight);
    int64_t points = height * 72 / pixelsPerInchY;
    return points > INT32_MAX ? INT32_MAX : int32_t(points);
}

uint8_t AlphaFromTrackbar(intptr_t position) { return static_cast<uint8_t>(255 - position); }

int32_t TrackbarFromAlpha(uint8_t alpha) { return 255 - int32_t(alpha); }

}  // namespace murlo
