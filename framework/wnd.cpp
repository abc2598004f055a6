#include "afxwin.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <new>

namespace {

// The windows bound to an object, kept sorted by handle: every message looks its window up here,
// so the lookup stays in the process (a window property would ask the window server each time).
// Memory comes from the process heap, so the framework needs no C++ allocation (and none of the
// exception support that comes with it). The one user-interface thread uses it.
class CHandleMap {
public:
    CWnd* Lookup(HWND hWnd) const {
        const Entry* entry = Find(hWnd);
        return entry != End() && entry->hWnd == hWnd ? entry->pWnd : nullptr;
    }

    // False when the table cannot grow.
    bool Insert(HWND hWnd, CWnd* pWnd) {
        if (m_count == m_capacity && !Grow()) return false;
        Entry* at = Find(hWnd);
        std::memmove(at + 1, at, static_cast<std::size_t>(End() - at) * sizeof(Entry));
        *at = Entry{hWnd, pWnd};
        ++m_count;
        return true;
    }

    void Remove(HWND hWnd) {
        Entry* at = Find(hWnd);
        if (at == End() || at->hWnd != hWnd) return;
        std::memmove(at, at + 1, static_cast<std::size_t>(End() - at - 1) * sizeof(Entry));
        --m_count;
    }

private:
    struct Entry {
        HWND hWnd;
        CWnd* pWnd;
    };

    Entry* Find(HWND hWnd) const {
        return std::lower_bound(m_entries, m_entries + m_count, hWnd,
                                [](const Entry& e, HWND h) { return std::less<HWND>()(e.hWnd, h); });
    }
    Entry* End() const { return m_entries + m_count; }

    bool Grow() {
        const std::size_t capacity = m_capacity == 0 ? 128 : m_capacity * 2;
        const std::size_t bytes = capacity * sizeof(Entry);
        void* memory = m_entries == nullptr ? ::HeapAlloc(::GetProcessHeap(), 0, bytes)
                                            : ::HeapReAlloc(::GetProcessHeap(), 0, m_entries, bytes);
        if (memory == nullptr) return false;
        m_entries = static_cast<Entry*>(memory);
        m_capacity = capacity;
        return true;
    }

    Entry* m_entries = nullptr;
    std::size_t m_count = 0;
    std::size_t m_capacity = 0;
} g_permanentWindows;

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
    ReleaseItems();
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd) {
    if (hWnd == nullptr) return nullptr;
    return g_permanentWindows.Lookup(hWnd);
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (m_hWnd != nullptr || !::IsWindow(hWnd) || FromHandlePermanent(hWnd) != nullptr) return FALSE;
    if (!g_permanentWindows.Insert(hWnd, this)) return FALSE;
    m_hWnd = hWnd;
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
    ReleaseItems();
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
// CWnd: objects for the items and the system menu, which the window keeps until it goes

struct CWnd::Item {
    CWnd wnd;
    Item* next;
};

CWnd* CWnd::GetDlgItem(int nID) const {
    const HWND hItem = ::GetDlgItem(m_hWnd, nID);
    if (hItem == nullptr) return nullptr;
    if (CWnd* bound = FromHandlePermanent(hItem)) return bound;
    for (Item* item = m_pItems; item != nullptr; item = item->next) {
        if (item->wnd.m_hWnd == hItem) return &item->wnd;
    }
    void* memory = ::HeapAlloc(::GetProcessHeap(), 0, sizeof(Item));
    if (memory == nullptr) return nullptr;
    Item* item = new (memory) Item{};
    item->wnd.m_hWnd = hItem;
    item->next = m_pItems;
    m_pItems = item;
    return &item->wnd;
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const {
    // The one object follows the handle, which a revert changes (and then answers none).
    m_systemMenu.m_hMenu = ::GetSystemMenu(m_hWnd, bRevert);
    return m_systemMenu.m_hMenu != nullptr ? &m_systemMenu : nullptr;
}

void CWnd::ReleaseItems() {
    while (m_pItems != nullptr) {
        Item* item = m_pItems;
        m_pItems = item->next;
        item->wnd.m_hWnd = nullptr;  // the object never owned its window
        item->~Item();
        ::HeapFree(::GetProcessHeap(), 0, item);
    }
    m_systemMenu.m_hMenu = nullptr;
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
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
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
