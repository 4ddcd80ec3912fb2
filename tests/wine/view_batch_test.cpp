// The console answers a record before the view has taken in its text and
// brings the view up to date in groups. Whoever asks the view after a
// record was answered must still see exactly what appending and trimming
// every record in turn gives: the view is compared, at random moments and
// right after a send, with the portable append logic run record by record
// on a model of the Windows control. With every option off and depth 0, a
// text whose lines end in CR LF is shown as sent.
#include <random>
#include <string>
#include <vector>

#include "console/resources/resource.h"
#include "support/view_support.h"

namespace murlo::test {
namespace {

std::string RandomText(std::mt19937& random, int i) {
    std::string text;
    switch (random() % 120) {
    case 0: {
        // A long text of many lines, 3 to 9 KiB (the model takes its time
        // over the one-by-one trimming of longer ones).
        size_t size = 3 * 1024 + random() % (6 * 1024);
        for (int line = 0; text.size() < size; ++line) {
            text += "long " + std::to_string(i) + "." + std::to_string(line) + " ";
            text.append(20 + random() % 80, static_cast<char>('A' + line % 26));
            text += "\r\n";
        }
        return text;
    }
    case 1:
        return {};
    default:
        break;
    }
    int lines = static_cast<int>(random() % 4);
    for (int line = 0; line <= lines; ++line) {
        text += "record " + std::to_string(i) + " ";
        text.append(random() % 110, static_cast<char>('a' + (i + line) % 26));
        // Most lines end; the last one is left open now and then.
        if (line < lines || random() % 5 != 0) text += "\r\n";
    }
    return text;
}

// The stored length and caret, asked right after the send returned.
void ExpectLengthAndCaret(const Console& console, const ModelView& model) {
    EXPECT_EQ(ViewStoredLength(console), model.model.StoredLength());
    Selection selection = GetViewSelection(console.View());
    EXPECT_EQ(selection.start, model.model.StoredLength());
    EXPECT_EQ(selection.end, model.model.StoredLength());
}

TEST_F(ViewTest, GroupedAppendsShowWhatAppendingEachRecordShows) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    ModelView model;
    std::mt19937 random(5);
    int sent = 0;
    for (int burst = 0; burst < 50; ++burst) {
        int count = 1 + static_cast<int>(random() % 60);
        for (int k = 0; k < count; ++k, ++sent) {
            std::string text = RandomText(random, sent);
            std::string record = MakeRecord(RecordFields{}, text);
            // Now and then a plain string longer than the whole view.
            if (random() % 400 == 0) record = text = std::string(40000, 'p') + "\r\nTAIL " + std::to_string(sent);
            ASSERT_TRUE(Send(console.window, record.c_str(), static_cast<DWORD>(record.size() + 1)));
            model.Append(text);
            if (random() % 25 == 0) {
                SCOPED_TRACE("right after record " + std::to_string(sent));
                ExpectLengthAndCaret(console, model);
            }
        }
        SCOPED_TRACE("after burst " + std::to_string(burst));
        ASSERT_EQ(console.ViewText(), model.model.text);
        ExpectLengthAndCaret(console, model);
    }
    EXPECT_GT(sent, 600);
    EXPECT_EQ(console.Close(), 0);
}

// Clear between records: the texts that came before it are gone with it,
// those after it are shown, as when each record went in on arrival.
TEST_F(ViewTest, ClearAmongWaitingRecordsClearsThemToo) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "before " + std::to_string(i) + "\r\n")));
    }
    SendMessageA(console.window, WM_COMMAND, IDM_CLEAR, 0);
    ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "after\r\n")));
    EXPECT_EQ(console.ViewText(), "after\r\n");
    EXPECT_EQ(console.Close(), 0);
}

// The pixels of a band of the view as the screen shows them, read from
// the screen: nothing is asked of the view's window procedure.
std::vector<COLORREF> ScreenBand(HWND view, int left, int top, int width, int height) {
    RECT rect = {};
    GetWindowRect(view, &rect);
    HDC screen = GetDC(nullptr);
    std::vector<COLORREF> pixels;
    for (int y = rect.top + top; y < rect.top + top + height; y += 2) {
        for (int x = rect.left + left; x < rect.left + left + width; x += 2) pixels.push_back(GetPixel(screen, x, y));
    }
    ReleaseDC(nullptr, screen);
    return pixels;
}

// With no one asking the view, the newest text still reaches the screen
// soon after its record was answered.
TEST_F(ViewTest, WaitingTextReachesTheScreenUnasked) {
    Console console;
    ASSERT_TRUE(StartReady(console));
    ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "first\r\n")));
    ASSERT_EQ(console.ViewText(), "first\r\n");
    HWND view = console.View();
    // Below the first line, right of where the caret stands.
    const std::vector<COLORREF> before = ScreenBand(view, 16, 22, 200, 60);
    ASSERT_TRUE(WaitFor([&] { return ScreenBand(view, 16, 22, 200, 60) == before; }, 2000));
    ASSERT_TRUE(Send(console.window, MakeRecord(RecordFields{}, "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM\r\n"
                                                                  "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW\r\n"
                                                                  "MMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMMM\r\n")));
    EXPECT_TRUE(WaitFor([&] { return ScreenBand(view, 16, 22, 200, 60) != before; }, 3000));
    EXPECT_EQ(console.ViewText(), "first\r\n" + std::string(44, 'M') + "\r\n" + std::string(44, 'W') + "\r\n" +
                                      std::string(44, 'M') + "\r\n");
    EXPECT_EQ(console.Close(), 0);
}

}  // namespace
}  // namespace murlo::test
