// The tester's whole program with no framework: the same dialog from the same resources, the same
// start-up work and the same work per key message, in plain Win32 with a message loop of its own.
// What it costs is the least the tester could cost with 83 key buttons and a logo.
//   floor.exe [X Y]    centred on the screen like the tester, or at X,Y (bench/run.sh runs it
//                      beside the tester)
#include <windows.h>
#include <imm.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "key_lamp.h"
#include "key_name.h"
#include "key_router.h"
#include "key_table.h"
#include "resource.h"

namespace {

// Its own title, so that the benchmark tools can tell it from the tester running beside it.
const char kTitle[] = "ZENTAQ Floor";
constexpr int kFirstKeyId = 1001;
constexpr int kLastKeyId = 1084;

// The tester's lamp, stored here by the key work itself rather than by a button class.
struct Lamp : KeyLamp {
    using KeyLamp::Store;
};

HWND g_keys[kKeyCount];  // in key table order
Lamp g_lamps[kKeyCount];
std::size_t g_indexOfId[kLastKeyId - kFirstKeyId + 1];
HICON g_icon = nullptr;
bool g_placed = false;
POINT g_place = {0, 0};

class Lamps final : public KeyLampSink {
public:
    void SetLamp(const KeyEntry& key, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                 std::uint8_t lit) override {
        const std::size_t i = KeyIndex(key);
        if (g_lamps[i].Store(red, green, blue, lit)) ::InvalidateRect(g_keys[i], nullptr, TRUE);
    }
};

int SystemKeyName(std::int32_t keyParam, char* buffer, int size) {
    return ::GetKeyNameTextA(keyParam, buffer, size);
}

int WineSystemKeyName(std::int32_t keyParam, char* buffer, int size) {
    return WineKeyName(keyParam, &SystemKeyName, buffer, size);
}

// The tester's choice of key-name service, made once.
KeyNameFunction ChooseKeyName() {
    return ChooseKeyNames(&SystemKeyName) == KeyNames::kSystem ? &SystemKeyName : &WineSystemKeyName;
}

// Centred on the work area of the dialog's monitor as the tester's dialog centres itself, or at the
// place given on the command line.
void Place(HWND dialog) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    RECT rect;
    ::GetWindowRect(dialog, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    // All of it on the work area where it fits, the top left corner where it does not.
    const int x = std::max(area.left, std::min((area.left + area.right) / 2 - width / 2, area.right - width));
    const int y = std::max(area.top, std::min((area.top + area.bottom) / 2 - height / 2, area.bottom - height));
    ::SetWindowPos(dialog, nullptr, g_placed ? g_place.x : x, g_placed ? g_place.y : y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InitDialog(HWND dialog) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    ::SetWindowTextA(dialog, kTitle);

    for (std::size_t i = 0; i < kKeyCount; ++i) {
        const HWND key = ::GetDlgItem(dialog, kKeys[i].id);
        g_keys[i] = key;
        g_indexOfId[kKeys[i].id - kFirstKeyId] = i;
        const LONG style = ::GetWindowLongA(key, GWL_STYLE);
        if ((style | BS_OWNERDRAW) != style) ::SetWindowLongA(key, GWL_STYLE, style | BS_OWNERDRAW);
    }

    if (const HMENU menu = ::GetSystemMenu(dialog, FALSE)) {
        char about[64] = {};
        ::LoadStringA(instance, IDS_ABOUTBOX, about, sizeof about);
        if (about[0] != '\0') {
            ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    ::SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_icon));
    ::SendMessageA(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_icon));

    for (std::size_t i = 0; i < kKeyCount; ++i) {
        if (std::strcmp(kKeys[i].label, kKeys[i].caption) != 0) ::SetWindowTextA(g_keys[i], kKeys[i].label);
    }

    const HBITMAP logo = ::LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_LOGO));
    ::SendDlgItemMessageA(dialog, IDC_LOGO, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo));

    ::ImmAssociateContextEx(dialog, nullptr, 0);
    ::ImmAssociateContextEx(dialog, nullptr, IACE_CHILDREN);
    const RAWINPUTDEVICE keyboard = {0x01, 0x06, RIDEV_NOHOTKEYS, dialog};  // as the tester: no hot keys
    ::RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
    Place(dialog);
}

// As the tester's key button draws itself: the face follows the lamp alone.
bool DrawKey(const DRAWITEMSTRUCT& item) {
    if (item.CtlType != ODT_BUTTON || item.CtlID < kFirstKeyId || item.CtlID > kLastKeyId) return false;
    const Lamp& lamp = g_lamps[g_indexOfId[item.CtlID - kFirstKeyId]];
    const HDC dc = item.hDC;
    RECT rect = item.rcItem;
    char label[64] = {};
    const int length = ::GetWindowTextA(item.hwndItem, label, sizeof label);

    ::DrawFrameControl(dc, &rect, DFC_BUTTON, lamp.Lit() ? DFCS_BUTTONPUSH | DFCS_PUSHED : DFCS_BUTTONPUSH);
    ::InflateRect(&rect, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));
    if (lamp.Lit()) {
        ::SetBkColor(dc, lamp.Colour());
        ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
    }
    if (length > 0) {
        SIZE size{0, 0};
        ::GetTextExtentPoint32A(dc, label, length, &size);
        const int oldMode = ::SetBkMode(dc, TRANSPARENT);
        const int x = (rect.left + rect.right) / 2 - size.cx / 2;
        const int y = (rect.top + rect.bottom) / 2 - size.cy / 2;
        if (item.itemState & ODS_DISABLED) {
            ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(label), 0, x, y, size.cx, size.cy,
                         DST_PREFIXTEXT | DSS_DISABLED);
        } else {
            ::TextOutA(dc, x, y, label, length);
        }
        ::SetBkMode(dc, oldMode);
    }
    return true;
}

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitDialog(dialog);
        return TRUE;
    case WM_DRAWITEM:
        return DrawKey(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != IDM_ABOUTBOX) return FALSE;
        ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ABOUTBOX), dialog, &AboutProc, 0);
        return TRUE;
    case WM_HELP:
        return TRUE;  // there is no help to show
    case WM_COMMAND:
        // The close button and the system menu's Close come as IDCANCEL.
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) ::DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY: {
        const RAWINPUTDEVICE keyboard = {0x01, 0x06, RIDEV_REMOVE, nullptr};
        ::RegisterRawInputDevices(&keyboard, 1, sizeof keyboard);
        ::PostQuitMessage(0);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    char* end = commandLine;
    g_place.x = std::strtol(commandLine, &end, 10);
    if (end != commandLine) {
        char* yEnd = end;
        g_place.y = std::strtol(end, &yEnd, 10);
        g_placed = yEnd != end;
    }

    g_icon = ::LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    if (::CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_TESTER_DIALOG), nullptr, &DialogProc, 0) == nullptr) {
        return 1;
    }
    Lamps lamps;
    const KeyNameFunction keyName = ChooseKeyName();
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Every key message is the key panel's, consumed before dispatch.
        if (RouteKeyMessage(msg.message, static_cast<std::uint32_t>(msg.wParam), static_cast<std::int32_t>(msg.lParam),
                            keyName, lamps)) {
            continue;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
