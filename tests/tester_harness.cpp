#include "tester_harness.h"

#include <gtest/gtest.h>

#include "key_table.h"
#include "tester_app.h"
#include "tester_dlg.h"

extern CTesterApp theApp;

namespace testing_support {

namespace {

BOOL CALLBACK CollectVisible(HWND hWnd, LPARAM list) {
    if (::IsWindowVisible(hWnd)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hWnd);
    return TRUE;
}

}  // namespace

HWND Dialog() {
    CWnd* pMainWnd = AfxGetMainWnd();
    return pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr;
}

BOOL RunTester(std::vector<ModalScript::Step> steps) {
    const std::size_t ownSteps = steps.size();
    steps.push_back([] { ::PostMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); });
    steps.push_back([] {
        if (HWND hDlg = Dialog()) {
            ADD_FAILURE() << "SC_CLOSE left the dialog open";
            ::DestroyWindow(hDlg);
        }
    });
    ModalScript script(std::move(steps));
    const BOOL result = theApp.InitInstance();
    EXPECT_GT(script.StepsStarted(), ownSteps) << "the dialog closed before the test's steps were done";
    return result;
}

CKeyButton* Key(int id) {
    return dynamic_cast<CKeyButton*>(CWnd::FromHandlePermanent(::GetDlgItem(Dialog(), id)));
}

std::vector<int> LitKeys() {
    std::vector<int> lit;
    for (const KeyEntry& key : kKeys) {
        CKeyButton* button = Key(key.id);
        if (button == nullptr) {
            ADD_FAILURE() << "key " << key.id << " is not bound";
        } else if (button->Lit()) {
            lit.push_back(key.id);
        }
    }
    return lit;
}

LPARAM KeyParam(UINT scan, bool up, bool alt, bool extended) {
    DWORD value = 1u | (scan & 0xFFu) << 16;
    if (extended) value |= 1u << 24;
    if (alt) value |= 1u << 29;
    if (up) value |= 3u << 30;
    return static_cast<LPARAM>(value);
}

void PostKey(HWND target, UINT message, UINT vk, LPARAM keyParam) {
    ::PostMessageA(target, message, vk, keyParam);
}

int KeyNamedBy(LPARAM keyParam) {
    struct NamedKey { UINT scan; bool extended; int id; };
    constexpr NamedKey kNamed[] = {{0x38, false, 1057}, {0x38, true, 1059},   // "Alt", "Right Alt"
                                   {0x2A, false, 1054}, {0x36, false, 1062},  // "Shift", "Right Shift"
                                   {0x1D, false, 1055}, {0x1D, true, 1061},   // "Ctrl", "Right Ctrl"
                                   {0x5B, true, 1056},  {0x5C, true, 1060}};  // "Left/Right Windows"
    const UINT scan = static_cast<UINT>(keyParam >> 16) & 0xFFu;
    const bool extended = (keyParam >> 24 & 1) != 0;
    for (const NamedKey& key : kNamed) {
        if (key.scan == scan && key.extended == extended) return key.id;
    }
    return 0;
}

int KeyWithCode(WPARAM virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z') return static_cast<int>(1001 + virtualKey - 'A');
    if (virtualKey >= '1' && virtualKey <= '9') return static_cast<int>(1027 + virtualKey - '1');
    if (virtualKey >= VK_F1 && virtualKey <= VK_F12) return static_cast<int>(1039 + virtualKey - VK_F1);
    struct CodedKey { WPARAM code; int id; };
    constexpr CodedKey kOthers[] = {
        {'0', 1036},       {VK_OEM_PLUS, 1038},   {VK_ESCAPE, 1051},     {VK_TAB, 1052},    {VK_CAPITAL, 1053},
        {VK_SPACE, 1058},  {VK_OEM_COMMA, 1063},  {VK_OEM_PERIOD, 1064}, {VK_OEM_2, 1065},  {VK_OEM_3, 1066},
        {VK_OEM_5, 1067},  {VK_OEM_1, 1068},      {VK_OEM_7, 1069},      {VK_RETURN, 1070}, {VK_OEM_4, 1071},
        {VK_OEM_6, 1072},  {VK_BACK, 1073},       {VK_UP, 1074},         {VK_LEFT, 1075},   {VK_DOWN, 1076},
        {VK_RIGHT, 1077},  {VK_INSERT, 1078},     {VK_HOME, 1079},       {VK_PRIOR, 1080},  {VK_DELETE, 1081},
        {VK_END, 1082},    {VK_NEXT, 1083},       {VK_OEM_MINUS, 1084}};
    for (const CodedKey& key : kOthers) {
        if (key.code == virtualKey) return key.id;
    }
    return 0;
}

std::string Text(HWND hWnd) {
    char text[256] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

std::vector<HWND> VisibleThreadWindows() {
    std::vector<HWND> windows;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND FindAboutBox() {
    for (HWND hWnd : VisibleThreadWindows()) {
        if (hWnd != Dialog() && Text(hWnd) == "About") return hWnd;
    }
    return nullptr;
}

}  // namespace testing_support
