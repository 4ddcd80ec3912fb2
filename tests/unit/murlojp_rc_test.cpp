// The Japanese resource script is encoded in code page 932, which the
// resource compiler reads byte by byte: a double-byte character whose second
// byte is a backslash would be taken for the start of an escape.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/code_pages.h"

namespace murlo::test {
namespace {

std::string ReadScript() {
    std::string here = __FILE__;
    std::string root = here.substr(0, here.rfind("tests/unit/"));
    std::ifstream in(root + "console/resources/murlojp.rc", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

TEST(JapaneseResources, ScriptIsCodePage932WithoutBackslashTrailBytes) {
    std::string script = ReadScript();
    ASSERT_FALSE(script.empty());
    EXPECT_NE(script.find("#pragma code_page(932)"), std::string::npos);
    size_t doubleByte = 0;
    for (size_t i = 0; i < script.size(); ++i) {
        auto b = static_cast<unsigned char>(script[i]);
        if (!IsLead932(b)) {
            EXPECT_TRUE(b < 0x80 || (b >= 0xA1 && b <= 0xDF)) << "stray byte at " << i;
            continue;
        }
        ASSERT_LT(i + 1, script.size()) << "lead byte at the end";
        auto trail = static_cast<unsigned char>(script[i + 1]);
        EXPECT_TRUE(IsTrail(trail)) << "invalid trail byte at " << i + 1;
        EXPECT_NE(trail, '\\') << "backslash trail byte at " << i + 1;
        ++doubleByte;
        ++i;
    }
    EXPECT_GT(doubleByte, 100u);  // the texts are Japanese
}

}  // namespace
}  // namespace murlo::test
