// The pause: the text travels as a global atom with the registered pause
// message; the console answers once its message box is closed. No lock and
// no test of the target: with no console SendMessage fails at once.
#include <windows.h>

#include <cstring>

#define MURLOAPI
#include "client/client_constants.h"
#include "client/client_state.h"
#include "client/murlo.h"
#include "client/wide_text.h"
#include "common/ansi_lead_byte.h"

using namespace murlo;

namespace {

// Copies text cut to the 255 characters an atom name holds, never
// between the two bytes of a double-byte character.
void CopyAtomName(const char* text, char (&name)[kMaxAtomNameLength + 1]) {
    size_t used = 0;
    if (text) {
        while (text[used] != '\0') {
            size_t step = IsAnsiLeadByte(static_cast<unsigned char>(text[used])) && text[used + 1] != '\0' ? 2 : 1;
            if (used + step > kMaxAtomNameLength) break;
            used += step;
        }
        std::memcpy(name, text, used);
    }
    name[used] = '\0';
}

}  // namespace

void __stdcall DB_PauseA(const char* text, int number) {
    char name[kMaxAtomNameLength + 1];
    CopyAtomName(text, name);
    ATOM atom = GlobalAddAtomA(name);
    SendMessageA(g_client.targetWindow, g_client.pauseMessage, atom, number);
    if (atom != 0) GlobalDeleteAtom(atom);
}

void __stdcall DB_PauseW(const wchar_t* text, int number) {
    char converted[kConvertedNameSize];
    ConvertWideCut(text ? text : L"", converted, sizeof converted);
    DB_PauseA(converted, number);
}
