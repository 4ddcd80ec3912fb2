// Running the console: the main window and the message loop.
#pragma once

#include <cstdint>

namespace murlo {

// Creates the main window from the stored geometry and runs the message loop
// until WM_QUIT; options is the command line's options word. Returns the exit code.
int RunConsole(int show, uint32_t options);

}  // namespace murlo
