#include "tester_app.h"

#include "tester_dlg.h"

BEGIN_MESSAGE_MAP(CTesterApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CTesterApp theApp;

BOOL CTesterApp::InitInstance() {
    CTesterDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    m_pMainWnd = nullptr;
    // The dialog was the program: returning false ends it without a message loop of its own.
    return FALSE;
}
