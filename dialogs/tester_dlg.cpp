#include "tester_dlg.h"

#include <imm.h>

#include "about_dlg.h"
#include "key_name.h"
#include "resource.h"

namespace {

int SystemKeyName(std::int32_t keyParam, char* buffer, int size) {
    return ::GetKeyNameTextA(keyParam, buffer, size);
}

int ScanCodeOrAltGrName(std::int32_t keyParam, char* buffer, int size) {
    return WineKeyName(keyParam, &SystemKeyName, buffer, size);
}

// The system's names where they tell left from right; where they name both Shift keys alike
// (Wine's X11 driver names keys after their X keysyms: "Shift", "Control", "Super_L"), the key
// parameter's scan code and extended flag can.
KeyNameFunction KeyNameService() {
    return ChooseKeyNames(&SystemKeyName) == KeyNames::kSystem ? &SystemKeyName : &ScanCodeOrAltGrName;
}

// Registers the keyboard for raw input to `target` with `flags`, or with RIDEV_REMOVE takes that
// back. Raw input came with Windows XP and the program starts on Windows 2000 too, so the call is
// looked up; where it is missing or fails, nothing changes.
void RegisterKeyboard(DWORD flags, HWND target) {
    using RegisterDevices = BOOL(WINAPI*)(PCRAWINPUTDEVICE, UINT, UINT);
    const HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const FARPROC found = user32 != nullptr ? ::GetProcAddress(user32, "RegisterRawInputDevices") : nullptr;
    if (found == nullptr) return;
    const RAWINPUTDEVICE keyboard = {0x01, 0x06, flags, target};  // generic desktop: keyboard
    reinterpret_cast<RegisterDevices>(reinterpret_cast<void (*)()>(found))(&keyboard, 1, sizeof keyboard);
}

}  // namespace

CTesterDlg::CTesterDlg(CWnd* pParent)
    : CDialog(IDD_TESTER_DIALOG, pParent),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_keyName(KeyNameService()) {}

BEGIN_MESSAGE_MAP(CTesterDlg, CDialog)
    ON_WM_SYSCOMMAND()
    ON_WM_PAINT()
    ON_WM_QUERYDRAGICON()
    ON_MESSAGE(WM_KEYDOWN, &CTesterDlg::OnKeyMessage)
    ON_MESSAGE(WM_KEYUP, &CTesterDlg::OnKeyMessage)
    ON_WM_HELPINFO()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

void CTesterDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    for (std::size_t i = 0; i < kKeyCount; ++i) DDX_Control(pDX, kKeys[i].id, m_keys[i]);
}

BOOL CTesterDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        char about[64] = {};
        ::LoadStringA(AfxGetInstanceHandle(), IDS_ABOUTBOX, about, sizeof about);
        if (about[0] != '\0') {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, about);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    // The template names the arrow keys in words; they show arrows (and Backspace an arrow too).
    for (const std::size_t row : kRelabelledRows) m_keys[row].SetWindowText(kKeys[row].label);

    // The logo stays with the picture control for the life of the process.
    if (CWnd* pLogo = GetDlgItem(IDC_LOGO)) {
        const HBITMAP logo = ::LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDB_LOGO));
        pLogo->ModifyStyle(0x0F, SS_BITMAP);
        pLogo->SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(logo));
    }

    // While an input method (Chinese, Japanese, Korean) has a window's keys, they arrive as
    // VK_PROCESSKEY and light nothing; with no input context the keys come as they are.
    ::ImmAssociateContextEx(m_hWnd, nullptr, 0);
    ::ImmAssociateContextEx(m_hWnd, nullptr, IACE_CHILDREN);  // the keys; "children" leaves out the dialog

    // The shell acts on the Windows keys (the Start menu, Win+D, Win+R, ...) whatever the program
    // does with their messages; this keeps such keyboard hot keys from it while the tester has
    // the keyboard. The key messages still come, and the WM_INPUT it adds goes to DefWindowProc.
    RegisterKeyboard(RIDEV_NOHOTKEYS, m_hWnd);
    return TRUE;
}

BOOL CTesterDlg::PreTranslateMessage(MSG* pMsg) {
    if (RouteKeyMessage(pMsg->message, static_cast<std::uint32_t>(pMsg->wParam),
                        static_cast<std::int32_t>(pMsg->lParam), m_keyName, *this)) {
        return TRUE;
    }
    return CDialog::PreTranslateMessage(pMsg);
}

void CTesterDlg::SetLamp(const KeyEntry& key, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                         std::uint8_t lit) {
    m_keys[KeyIndex(key)].SetLamp(red, green, blue, lit);
}

void CTesterDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

void CTesterDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    RECT rect;
    GetClientRect(&rect);
    const int x = (rect.right - rect.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rect.bottom - rect.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.m_hDC, x, y, m_hIcon);
}

HCURSOR CTesterDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}

LRESULT CTesterDlg::OnKeyMessage(WPARAM, LPARAM) {
    // Only key messages sent straight to the dialog get here; queued ones went to the router.
    return Default();
}

BOOL CTesterDlg::OnHelpInfo(HELPINFO*) {
    return TRUE;  // there is no help to show
}

void CTesterDlg::OnDestroy() {
    RegisterKeyboard(RIDEV_REMOVE, nullptr);  // the hot keys are Windows' again
    CDialog::OnDestroy();
}
