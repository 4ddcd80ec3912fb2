// Shared pieces of the view's integration tests: a fixture that starts from
// a clean settings key, sending payloads, reading the view's selection and
// stored length from the console's process, and the model of the view.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "console/view/view_append.h"
#include "support/wine_support.h"
#include "tests/support/record_builder.h"
#include "tests/support/text_control_model.h"

namespace murlo::test {

inline constexpr long kViewTextLimit = 0x7000;

class ViewTest : public FreshConsoleTest {};

// Sends a payload; a console that does not answer within the deadline
// (a trimming that never ends) fails the call instead of hanging the test.
inline bool Send(HWND window, const void* data, DWORD size, UINT timeoutMs = 60000) {
    COPYDATASTRUCT copy = {0, size, const_cast<void*>(data)};
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy),
                               SMTO_NORMAL, timeoutMs * TimeScale(), &result) != 0;
}
inline bool Send(HWND window, const std::string& payload) {
    return Send(window, payload.data(), static_cast<DWORD>(payload.size()));
}

// The view's length in the characters that its limit counts: where its
// last line starts plus that line's length (again without a pointer).
inline long ViewStoredLength(const Console& console) {
    HWND view = console.View();
    LRESULT lines = SendMessageA(view, EM_GETLINECOUNT, 0, 0);
    LRESULT start = SendMessageA(view, EM_LINEINDEX, lines - 1, 0);
    return static_cast<long>(start + SendMessageA(view, EM_LINELENGTH, start, 0));
}

// The caret stands at the end of the view's text, with nothing selected.
inline void ExpectCaretAtEnd(const Console& console) {
    Selection selection = GetViewSelection(console.View());
    long end = ViewStoredLength(console);
    EXPECT_EQ(selection.start, end);
    EXPECT_EQ(selection.end, end);
}

// The view as the Windows control keeps it, on the control model: the
// oracle of what the console's view must hold after a series of texts.
struct ModelView {
    TextControlModel model = MakeModel(kViewTextLimit, true);
    void Append(const std::string& text) { AppendOneText(model, text.c_str(), text.size()); }
};

}  // namespace murlo::test
