// ViewOptions: the logging switch and the eleven stored options of the
// console, as stored (registry DWORDs; any non-zero number counts as on),
// and the one table that names each stored option with its field and
// default. The settings store's load and save loops walk the table; the
// renderer and the menu rules read the same ViewOptions. Adding an option is
// one row here plus its menu rule. Portable: no <windows.h>.
#pragma once

#include <cstddef>
#include <cstdint>

namespace murlo {

struct ViewOptions {
    uint32_t loggingOn = 1;      // not stored: off only when started with "stop"
    uint32_t showFileName = 0;   // the record's location in front of the line
    uint32_t showProcessId = 0;  // "#%08X " of the process id
    uint32_t showDate = 0;       // "%02d/%02d/%02d " of year modulo 100, month, day
    uint32_t showTime = 0;       // "%02d:%02d:%02d " of hour, minute, second
    uint32_t topMost = 0;
    uint32_t addLineEnd = 0;     // end every text with a line end
    uint32_t transparent = 0;
    uint32_t alpha = 255;        // opacity of the transparent window, 0 to 255
    uint32_t wrapToWindow = 0;
    uint32_t leftSpace = 0;      // the view's selection margin
    uint32_t maxLogKB = 0;       // log-file ring size in KiB; 0: the log file is written directly
};

// One stored option: its registry value name, its field, the default used
// when the value is missing or is not a DWORD, and the bits kept on loading.
struct StoredOption {
    const char* name;
    uint32_t ViewOptions::*field;
    uint32_t defaultValue;
    uint32_t keptBits;
};

// In the order they are loaded and saved.
inline constexpr StoredOption kStoredOptions[] = {
    {"LogFileName", &ViewOptions::showFileName, 0, ~0u},
    {"LogProcessID", &ViewOptions::showProcessId, 0, ~0u},
    {"LogDate", &ViewOptions::showDate, 0, ~0u},
    {"LogTime", &ViewOptions::showTime, 0, ~0u},
    {"TopMost", &ViewOptions::topMost, 0, ~0u},
    {"AddCR", &ViewOptions::addLineEnd, 0, ~0u},
    {"DispTransparent", &ViewOptions::transparent, 0, ~0u},
    {"Transparent", &ViewOptions::alpha, 255, 0xFFu},  // the low byte is the opacity
    {"WrapWindow", &ViewOptions::wrapToWindow, 0, ~0u},
    {"LeftSpace", &ViewOptions::leftSpace, 0, ~0u},
    {"MaxLogFileSize", &ViewOptions::maxLogKB, 0, ~0u},
};

}  // namespace murlo
