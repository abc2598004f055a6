// Key messages in the dialog's real modal loop light their keys and nothing else happens: keys
// that would operate a dialog, a key button with the focus, the modifiers, mouse clicks, and
// the dialog minimised and restored.
#include <algorithm>

#include "dialog_fixture.h"

using namespace testing_support;

namespace {

using KeyLighting = DialogTest;

const KeyFacts& Facts(WPARAM virtualKey) { return *KeyWithCode(virtualKey); }

void ExpectOnlyTheDialog(HWND hDlg) {
    for (HWND h : ThreadWindows()) EXPECT_EQ(h, hDlg) << "a window opened: '" << Text(h) << "'";
}

TEST_F(KeyLighting, KeysThatWouldOperateADialogOnlyLightTheirKeys) {
    struct Press { const KeyFacts& key; bool sys; };
    const Press presses[] = {{Facts(VK_ESCAPE), false}, {Facts(VK_RETURN), false}, {Facts(VK_TAB), false},
                             {Facts(VK_SPACE), false},  {Facts(VK_F1), false},     {kModifiers[4], true},  // Alt
                             {Facts(VK_F4), true},      {Facts(VK_SPACE), true}};
    // Sent where the system sends them: to the focus.
    HWND hDlg = Dialog();
    HWND focus = ::GetFocus();
    for (const Press& p : presses) Post(p.key, false, p.sys, focus);
    Settle();
    ASSERT_EQ(Dialog(), hDlg) << "the dialog was closed";
    EXPECT_TRUE(::IsWindowVisible(hDlg));
    EXPECT_EQ(::GetFocus(), focus) << "the focus moved";
    ExpectOnlyTheDialog(hDlg);
    EXPECT_EQ(LitKeys(), (std::vector<int>{1039, 1042, 1051, 1052, 1057, 1058, 1070}));

    for (const Press& p : presses) Post(p.key, true, p.sys, focus);
    Settle();
    EXPECT_EQ(LitKeys(), std::vector<int>{});
}

TEST_F(KeyLighting, AKeyQueuedToTheFocusedKeyButtonIsRoutedTheSame) {
    HWND hKey = ::GetDlgItem(Dialog(), 1001);
    ::SetFocus(hKey);
    Post(Facts('Q'), false, false, hKey);
    Post(Facts(VK_TAB), false, false, hKey);
    Settle();
    EXPECT_EQ(::GetFocus(), hKey);
    EXPECT_EQ(LitKeys(), (std::vector<int>{1017, 1052}));

    Post(Facts('Q'), true, false, hKey);
    Settle();
    EXPECT_EQ(LitKeys(), std::vector<int>{1052});
}

TEST_F(KeyLighting, EachModifierLightsItsOwnKey) {
    // Alt goes as a system key, as the system sends it.
    std::vector<Stroke> strokes = Alone(kModifiers);
    for (Stroke& stroke : strokes) stroke.sys = stroke.key.virtualKey == VK_MENU;
    PressEach(strokes);

    // All eight held together, then released one at a time: each clears its own key only.
    for (const Stroke& stroke : strokes) Post(stroke.key, false, stroke.sys);
    std::vector<int> lit;
    for (const Stroke& stroke : strokes) lit.push_back(stroke.key.id);
    std::sort(lit.begin(), lit.end());
    for (const Stroke& stroke : strokes) {
        Settle();
        EXPECT_EQ(LitKeys(), lit);
        Post(stroke.key, true, stroke.sys);
        lit.erase(std::find(lit.begin(), lit.end(), stroke.key.id));
    }
    Settle();
    EXPECT_EQ(LitKeys(), std::vector<int>{});
}

TEST_F(KeyLighting, AMouseClickOnAKeyChangesNothing) {
    HWND hDlg = Dialog();
    const Pixels before = CaptureWindow(hDlg);
    const RECT all{0, 0, before.Width(), before.Height()};
    HWND hKey = ::GetDlgItem(hDlg, 1058);
    ::PostMessageA(hKey, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    Settle();
    EXPECT_EQ(LitKeys(), std::vector<int>{});
    EXPECT_EQ(CaptureWindow(hDlg).FirstDifference(before, all), "");

    ::PostMessageA(hKey, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    Settle();
    ASSERT_EQ(Dialog(), hDlg);
    EXPECT_EQ(LitKeys(), std::vector<int>{});
    EXPECT_EQ(CaptureWindow(hDlg).FirstDifference(before, all), "");
    ExpectOnlyTheDialog(hDlg);
}

TEST_F(KeyLighting, MinimisingAndRestoringKeepsTheLamps) {
    HWND hDlg = Dialog();
    Post(Facts('Z'), false);
    Settle();
    ::ShowWindow(hDlg, SW_MINIMIZE);
    Settle();
    EXPECT_TRUE(::IsIconic(hDlg));

    ::ShowWindow(hDlg, SW_RESTORE);
    Settle();
    EXPECT_FALSE(::IsIconic(hDlg));
    EXPECT_EQ(LitKeys(), std::vector<int>{1026});
    const Pixels shown = CaptureWindow(::GetDlgItem(hDlg, 1026));
    EXPECT_GT(shown.Count(RGB(0, 255, 0), RECT{0, 0, shown.Width(), shown.Height()}), 0);
}

}  // namespace
