// The arrow labels as Chinese (Simplified) Windows shows them: the ANSI code page 936. A Wine
// set-up of its own runs this suite; on a Windows of another code page it has nothing to check.
#include "dialog_fixture.h"

using namespace testing_support;

namespace {

using CodePage936 = DialogTest;

TEST_F(CodePage936, TheArrowLabelsShowAsArrows) {
    if (::GetACP() != 936) GTEST_SKIP() << "the ANSI code page is " << ::GetACP() << " here, not 936 (Chinese Simplified)";
    HWND hDlg = Dialog();
    // The keys draw with the DC's font, which is the one the dialog gave its controls.
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(hDlg, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTA logFont{};
    ::GetObjectA(font, sizeof logFont, &logFont);
    EXPECT_STREQ(logFont.lfFaceName, "MS Sans Serif");
    EXPECT_EQ(logFont.lfCharSet, DEFAULT_CHARSET);

    struct Arrow {
        int id;
        const wchar_t* label;     // what the key shows
        const wchar_t* mistaken;  // the same bytes read in code page 1252
    };
    const Arrow arrows[] = {{1074, L"\x2191", L"\xA1\xFC"},
                            {1076, L"\x2193", L"\xA1\xFD"},
                            {1075, L"\x2190", L"\xA1\xFB"},
                            {1077, L"\x2192", L"\xA1\xFA"},
                            {1073, L"\x2190" L"Backspace", L"\xA1\xFB" L"Backspace"}};
    for (const Arrow& arrow : arrows) {
        SCOPED_TRACE("key " + std::to_string(arrow.id));
        HWND hKey = ::GetDlgItem(hDlg, arrow.id);
        EXPECT_EQ(reinterpret_cast<HFONT>(::SendMessageA(hKey, WM_GETFONT, 0, 0)), font);
        const Pixels shown = CaptureWindow(hKey);
        const int width = shown.Width();
        const int height = shown.Height();
        const RECT all{0, 0, width, height};
        EXPECT_EQ(shown.FirstDifference(ReferenceKey(width, height, font, false, arrow.label), all), "");

        // Not the font's glyph for a missing character (U+0378 is unassigned), nor the
        // code page 1252 reading of the bytes.
        std::wstring missing = arrow.label;
        missing[0] = L'\x0378';
        EXPECT_NE(shown.FirstDifference(ReferenceKey(width, height, font, false, missing), all), "")
            << "drawn as the glyph for a missing character";
        EXPECT_NE(shown.FirstDifference(ReferenceKey(width, height, font, false, arrow.mistaken), all), "")
            << "drawn as code page 1252 characters";
    }

    // Only the code page is Chinese: Wine's own texts stay in the session's language, which
    // is English where ctest runs this.
    char close[64] = {};
    ::GetMenuStringA(::GetSystemMenu(hDlg, FALSE), SC_CLOSE, close, sizeof close, MF_BYCOMMAND);
    EXPECT_EQ(std::string(close).substr(0, std::string(close).find('\t')), "&Close");
}

}  // namespace
