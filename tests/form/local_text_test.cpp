// The conversion of device-supplied bytes to the wide text the list shows, and back for the
// row dump.
#include "device_rows/local_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using ORVAN_UXClass::LocalFromWide;
using ORVAN_UXClass::WideFromLocal;

TEST(LocalTextTest, WellFormedSequencesGiveTheirCharactersAndBrokenOnesAReplacementPerByte) {
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring text;
    };
    const Case cases[] = {
        {"ASCII", "Lobby 1", L"Lobby 1"},
        {"two, three and four bytes", "Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x93\xB7",
         L"Caf\u00E9 \u20AC \U0001F4F7"},
        {"a stray continuation byte", "a\x80z", L"a\uFFFDz"},
        {"a lone byte of 128 or above", "\xFF", L"\uFFFD"},
        {"an overlong form", "\xC0\xAF\xE0\x80\xAF", L"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"a surrogate", "\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"a sequence cut short", "ab\xE2\x82", L"ab\uFFFD\uFFFD"},
        {"a sequence broken by ASCII",
         "\xE2"
         "A",
         L"\uFFFDA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(WideFromLocal(c.bytes), c.text);
    }
}

TEST(LocalTextTest, WideTextRoundTripsAndNonCharactersBecomeReplacements) {
    const std::wstring text = L"Caf\u00E9 \u20AC \U0001F4F7 x";
    EXPECT_EQ(WideFromLocal(LocalFromWide(text)), text);
    EXPECT_EQ(LocalFromWide(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
