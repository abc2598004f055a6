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

int KeyLitByName(LPARAM keyParam) {
    char name[50] = {};
    CTesterDlg::KeyNameService()(static_cast<std::int32_t>(keyParam), name, sizeof name);
    const KeyEntry* key = FindKeyByName(name);
    return key != nullptr ? key->id : 0;
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
