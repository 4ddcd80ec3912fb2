// Shared pieces of the view's integration tests: a fixture that starts from
// a clean settings key, payload builders, and reading the view's selection
// and stored length from the console's process.
#pragma once

#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/log_record.h"
#include "console/view/view_append.h"
#include "support/wine_support.h"
#include "tests/support/text_control_model.h"

namespace murlo_test {

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

struct RecordFields {
    uint32_t processId = 1234;
    murlo::RecordTime time{2002, 11, 2, 5, 9, 5, 7, 0};
    const char* location = "main.cpp(42)";
    int32_t depth = 0;
    bool full = false;  // 1312 bytes, else fitted: 289 + text length
};

inline std::string MakeRecord(const RecordFields& fields, const std::string& text) {
    size_t size = fields.full ? murlo::kFullRecordSize : murlo::kRecordHeaderSize + text.size() + 1;
    std::string record(size, '\0');
    murlo::StartRecord(record.data(), size);
    murlo::LogRecordHeader header;
    std::memcpy(&header, record.data(), sizeof header);
    header.processId = fields.processId;
    header.localTime = fields.time;
    std::memset(header.location, 0, sizeof header.location);
    std::strncpy(header.location, fields.location, sizeof header.location - 1);
    header.depth = fields.depth;
    std::memcpy(record.data(), &header, sizeof header);
    murlo::SetRecordText(record.data(), size, text.data(), text.size());
    return record;
}

// The view's selection, in the control's characters, from EM_GETSEL's
// result: no pointer passes to the console's process, whose memory the
// Wine server reaches at the wrong address when the console runs under
// emulation. The view holds at most 0x7000 characters, so both ends fit
// the result's 16-bit halves.
inline CHARRANGE ViewSelection(const Console& console) {
    LRESULT packed = SendMessageA(console.View(), EM_GETSEL, 0, 0);
    if (packed == -1) return CHARRANGE{-1, -1};
    return CHARRANGE{static_cast<LONG>(LOWORD(packed)), static_cast<LONG>(HIWORD(packed))};
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
    CHARRANGE selection = ViewSelection(console);
    long end = ViewStoredLength(console);
    EXPECT_EQ(selection.cpMin, end);
    EXPECT_EQ(selection.cpMax, end);
}

// The view as the Windows control keeps it, on the control model: the
// oracle of what the console's view must hold after a series of texts.
struct ModelView {
    murlo::test::TextControlModel model = murlo::test::MakeModel(kViewTextLimit, true);
    void Append(const std::string& text) { murlo::AppendOneText(model, text.c_str(), text.size()); }
};

}  // namespace murlo_test
