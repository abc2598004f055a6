#include "afxwin.h"

#include "handle_map.h"

namespace {

// Windows bound to an object for their life, and temporary objects for any other window asked
// about. One user-interface thread uses both.
CPermanentMap<HWND, CWnd> g_permanentWindows;
CTemporaryMap<CWnd, HWND, &CWnd::m_hWnd> g_temporaryWindows;

// The message the innermost window procedure call is handling, for Default().
MSG g_currentMessage{};

}  // namespace

// ---------------------------------------------------------------------------------------------
// CCmdTarget

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, entries};
    return &map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const {
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nID) const {
    for (const AFX_MSGMAP* map = GetMessageMap(); map != nullptr;
         map = map->pfnGetBaseMap != nullptr ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e->nMessage != 0; ++e) {
            if (e->nMessage == nMessage && (nMessage != WM_COMMAND || e->nID == nID)) return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID) {
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(WM_COMMAND, nID);
    LRESULT unused = 0;
    return entry != nullptr && entry->pfn(this, 0, 0, &unused);
}

// ---------------------------------------------------------------------------------------------
// CWnd: binding objects to windows

CWnd::~CWnd() {
    // An object that goes before its window must not leave the window calling into it.
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this) UnsubclassWindow();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    return g_permanentWindows.Lookup(hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    if (CWnd* permanent = FromHandlePermanent(hWnd)) return permanent;
    return g_temporaryWindows.FromHandle(hWnd);
}

bool CWnd::HasTempMap() {
    return !g_temporaryWindows.IsEmpty();
}

void CWnd::DeleteTempMap() {
    g_temporaryWindows.Clear();
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd != nullptr || !::IsWindow(hWnd) || FromHandlePermanent(hWnd) != nullptr) return FALSE;
    if (!g_permanentWindows.Insert(hWnd, this)) return FALSE;
    m_hWnd = hWnd;
    g_temporaryWindows.Remove(hWnd);
    PreSubclassWindow();
    m_pfnSuper = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::WndProc)));
    return TRUE;
}

HWND CWnd::UnsubclassWindow() {
    HWND hWnd = m_hWnd;
    if (hWnd == nullptr) return nullptr;
    // Only take the procedure back if nobody subclassed the window after us.
    const LONG_PTR current = ::GetWindowLongPtrA(hWnd, GWLP_WNDPROC);
    if (m_pfnSuper != nullptr && current == reinterpret_cast<LONG_PTR>(&CWnd::WndProc)) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    }
    g_permanentWindows.Remove(hWnd);
    m_pfnSuper = nullptr;
    m_hWnd = nullptr;
    return hWnd;
}

LRESULT CALLBACK CWnd::WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWnd* pWnd = FromHandlePermanent(hWnd);
    if (pWnd == nullptr) return ::DefWindowProcA(hWnd, message, wParam, lParam);

    const MSG outer = g_currentMessage;
    g_currentMessage = MSG{hWnd, message, wParam, lParam, 0, {0, 0}};
    const LRESULT result = pWnd->WindowProc(message, wParam, lParam);
    g_currentMessage = outer;

    // The window is gone after this message; the object may live on and be bound again.
    if (message == WM_NCDESTROY && pWnd->m_hWnd == hWnd) pWnd->UnsubclassWindow();
    return result;
}

// ---------------------------------------------------------------------------------------------
// CWnd: message handling

const AFX_MSGMAP* CWnd::GetThisMessageMap() {
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, nullptr}};
    static const AFX_MSGMAP map = {&CCmdTarget::GetThisMessageMap, entries};
    return &map;
}

const AFX_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
    return result;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    if (message == WM_COMMAND) return OnCommand(wParam, lParam);
    if (message == WM_DRAWITEM && lParam != 0) {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        CWnd* child = item->CtlType != ODT_MENU ? FromHandlePermanent(item->hwndItem) : nullptr;
        if (child != nullptr && child->OnChildNotify(message, wParam, lParam, pResult)) return TRUE;
    }
    const AFX_MSGMAP_ENTRY* entry = FindMessageEntry(message, 0);
    return entry != nullptr && entry->pfn(this, wParam, lParam, pResult);
}

bool CWnd::IsCommand(WPARAM wParam, LPARAM lParam) {
    // Code 0 is a menu item or a button click, and 1 with no control an accelerator. A control's
    // notification that happens to be 1 (BN_PAINT, LBN_SELCHANGE, ...) is not a command.
    const UINT code = HIWORD(wParam);
    return code == 0 || (code == 1 && lParam == 0);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (!IsCommand(wParam, lParam)) return FALSE;
    return OnCmdMsg(LOWORD(wParam));
}

BOOL CWnd::OnChildNotify(UINT, WPARAM, LPARAM, LRESULT*) {
    return FALSE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default() {
    return DefWindowProc(g_currentMessage.message, g_currentMessage.wParam, g_currentMessage.lParam);
}

void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}

void CWnd::OnPaint() {
    Default();
}

void CWnd::OnDestroy() {
    Default();
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

void CWnd::PreSubclassWindow() {}

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.m_bFailed;
}

// ---------------------------------------------------------------------------------------------
// CWnd: message loops

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd)) {
            if (pWnd->PreTranslateMessage(pMsg)) return TRUE;
        }
        if (hWnd == hWndStop) break;
    }
    return FALSE;
}

int CWnd::RunModalLoop() {
    // A template without WS_VISIBLE is shown once it is ready to take input.
    if (m_hWnd != nullptr && !::IsWindowVisible(m_hWnd)) {
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        ::UpdateWindow(m_hWnd);
    }
    MSG msg;
    while (m_bContinueModal && m_hWnd != nullptr) {
        // Temporary objects go once the queue is empty. Asking costs a trip to the window server
        // (under Wine, on the path of every key), so the loop asks only while there are some,
        // and a message the question finds is taken then rather than asked for a second time.
        bool taken = false;
        if (HasTempMap() || CMenu::HasTempMap()) {
            taken = ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) != FALSE;
            if (!taken) {
                DeleteTempMap();
                CMenu::DeleteTempMap();
            }
        }
        if (taken ? msg.message == WM_QUIT : !::GetMessageA(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside this one
            break;
        }
        // Messages for other windows (the disabled owner, say) are not this dialog's input. The
        // parent chain is walked in the process; IsChild would ask the window server.
        const bool ours = msg.hwnd == m_hWnd || (msg.hwnd != nullptr && ::GetAncestor(msg.hwnd, GA_ROOT) == m_hWnd);
        if (!ours || !WalkPreTranslateTree(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    m_bContinueModal = false;
    return m_nModalResult;
}

void CWnd::EndModalLoop(int nResult) {
    m_nModalResult = nResult;
    m_bContinueModal = false;
    ::PostMessageA(m_hWnd, WM_NULL, 0, 0);  // wakes the loop if it is waiting
}

// ---------------------------------------------------------------------------------------------
// CWnd: window calls

void CWnd::InvalidateRect(LPCRECT lpRect, BOOL bErase) {
    // A null handle would invalidate every window on the desktop.
    if (m_hWnd != nullptr) ::InvalidateRect(m_hWnd, lpRect, bErase);
}

int CWnd::GetWindowText(LPSTR lpszString, int nMaxCount) const {
    return ::GetWindowTextA(m_hWnd, lpszString, nMaxCount);
}

void CWnd::SetWindowText(LPCSTR lpszString) {
    ::SetWindowTextA(m_hWnd, lpszString);
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(m_hWnd, GWL_STYLE));
    const DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle) return FALSE;
    ::SetWindowLongA(m_hWnd, GWL_STYLE, static_cast<LONG>(newStyle));
    if (nFlags != 0) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    }
    return TRUE;
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessageA(m_hWnd, message, wParam, lParam);
}

CWnd* CWnd::GetDlgItem(int nID) const {
    return FromHandle(::GetDlgItem(m_hWnd, nID));
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                  reinterpret_cast<LPARAM>(hIcon)));
}

BOOL CWnd::IsIconic() const {
    return ::IsIconic(m_hWnd);
}

void CWnd::GetClientRect(LPRECT lpRect) const {
    ::GetClientRect(m_hWnd, lpRect);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

void CWnd::CenterWindow() {
    const HWND hOwner = ::GetWindow(m_hWnd, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromWindow(hOwner != nullptr ? hOwner : m_hWnd, MONITOR_DEFAULTTONEAREST),
                      &monitor);
    const RECT area = monitor.rcWork;

    RECT around = area;
    if (hOwner != nullptr && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner)) {
        ::GetWindowRect(hOwner, &around);
    }
    RECT rect;
    ::GetWindowRect(m_hWnd, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    int x = (around.left + around.right) / 2 - width / 2;
    int y = (around.top + around.bottom) / 2 - height / 2;

    // Keep the whole window on the work area where it fits.
    if (x + width > area.right) x = area.right - width;
    if (x < area.left) x = area.left;
    if (y + height > area.bottom) y = area.bottom - height;
    if (y < area.top) y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

// ---------------------------------------------------------------------------------------------
// CButton

void CButton::DrawItem(LPDRAWITEMSTRUCT) {
    // Only BS_OWNERDRAW buttons are asked to draw; their classes override this.
}

BOOL CButton::OnChildNotify(UINT message, WPARAM, LPARAM lParam, LRESULT* pResult) {
    if (message != WM_DRAWITEM) return FALSE;
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    *pResult = TRUE;
    return TRUE;
}
