#include "afxwin.h"

namespace {

// The dialog whose window is being created: its dialog procedure binds the two.
CDialog* g_dialogBeingCreated = nullptr;

}  // namespace

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd != nullptr) return;
    if (!rControl.SubclassWindow(::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC))) pDX->Fail();
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_MESSAGE(WM_INITDIALOG, &CDialog::HandleInitDialog)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The first message the system's dialog procedure passes here binds the new window to its
    // object; from then on every message reaches the object through the window procedure first,
    // and what it leaves comes back here for the system's default dialog handling.
    CDialog* pDlg = g_dialogBeingCreated;
    if (pDlg == nullptr || FromHandlePermanent(hWnd) != nullptr) return FALSE;
    g_dialogBeingCreated = nullptr;
    if (!pDlg->SubclassWindow(hWnd)) return FALSE;  // DoModal destroys the window
    // Had the system sent nothing before WM_INITDIALOG, it would be in hand only here.
    if (message == WM_INITDIALOG) return pDlg->HandleInitDialog(wParam, lParam);
    return FALSE;
}

INT_PTR CDialog::DoModal() {
    // The owner is the given parent or else the main window, and is disabled while this runs.
    CWnd* pOwner = m_pParentWnd != nullptr ? m_pParentWnd : AfxGetMainWnd();
    HWND hOwner = pOwner != nullptr && pOwner != this ? pOwner->m_hWnd : nullptr;
    if (hOwner != nullptr) hOwner = ::GetAncestor(hOwner, GA_ROOT);
    const bool enableOwner = hOwner != nullptr && ::IsWindowEnabled(hOwner);
    if (enableOwner) ::EnableWindow(hOwner, FALSE);

    m_nModalResult = -1;
    m_bContinueModal = true;
    g_dialogBeingCreated = this;
    const HWND hWnd = ::CreateDialogParamA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(m_nIDTemplate),
                                           hOwner, &CDialog::DialogProc, 0);
    g_dialogBeingCreated = nullptr;
    const bool bound = hWnd != nullptr && m_hWnd == hWnd;
    if (bound && m_bContinueModal) RunModalLoop();
    m_bContinueModal = false;
    if (hWnd != nullptr && !bound) {
        // The window could not be bound to this object: it has no one to run or close it.
        ::DestroyWindow(hWnd);
        if (enableOwner) ::EnableWindow(hOwner, TRUE);
        return -1;
    }

    // Hide first and give the owner back its input before the window goes, so that activation
    // returns to the owner rather than to some other program.
    if (m_hWnd != nullptr) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }
    if (enableOwner) ::EnableWindow(hOwner, TRUE);
    if (hOwner != nullptr && m_hWnd != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hOwner);
    DestroyWindow();
    return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
    if (m_hWnd != nullptr) EndModalLoop(nResult);
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
    RECT before;
    ::GetWindowRect(m_hWnd, &before);
    const BOOL result = OnInitDialog();
    // A dialog that did not place itself is centred, over its owner if it has one.
    RECT after;
    if (m_hWnd != nullptr && ::GetWindowRect(m_hWnd, &after) && ::EqualRect(&before, &after)) {
        CenterWindow();
    }
    return result;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    // Application commands (ids 0x8000 to 0xEFFF) the dialog leaves go on to the application.
    const UINT nID = LOWORD(wParam);
    if (!IsCommand(wParam, lParam) || nID < 0x8000 || nID >= 0xF000) return FALSE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
    const UINT message = pMsg->message;
    const bool input = (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
                       (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST);
    return input && ::IsDialogMessageA(m_hWnd, pMsg);
}
