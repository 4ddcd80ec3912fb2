// Start-up of the console program before its window: the resource module,
// a running console, the command line, the class and the platform (Windows glue).
#pragma once

#include <windows.h>

#include <cstdint>

namespace murlo {

// Chooses the resource module, looks for a running console and walks the
// command line. Returns false when this process is to end now (the running
// console got its command, or an option was not recognised); options
// receives the options word.
bool CheckRunningConsole(uint32_t& options);

// Common controls, the window class, "MurloPath" and the platform flags.
void RegisterAndDetectPlatform();

}  // namespace murlo
