// Running the console: the main window and the message loop.
#pragma once

#include <cstdint>

namespace murlo {

struct ConsoleWindow;

// Creates the main window from the stored geometry and runs the message loop
// until WM_QUIT; options is the command line's options word. Returns the exit code.
int RunConsole(int show, uint32_t options);

// After a record, what was posted or typed meanwhile is handled when the
// console's gate allows (message_gate.h).
void LetQueuedMessagesThrough(ConsoleWindow& console);

}  // namespace murlo
