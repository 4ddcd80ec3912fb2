// The console's eleven stored options as the tests know them: registry
// value names in the order they are loaded and saved, with the value a
// first close writes.
#pragma once

#include <cstdint>

namespace murlo::test {

struct ExpectedOption {
    const char* name;
    uint32_t defaultValue;
};

inline constexpr ExpectedOption kExpectedOptions[] = {
    {"LogFileName", 0}, {"LogProcessID", 0}, {"LogDate", 0},     {"LogTime", 0},
    {"TopMost", 0},     {"AddCR", 0},        {"DispTransparent", 0}, {"Transparent", 255},
    {"WrapWindow", 0},  {"LeftSpace", 0},    {"MaxLogFileSize", 0},
};

}  // namespace murlo::test
