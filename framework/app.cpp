#include "afxwin.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp* AfxGetApp() {
    return g_app;
}

CWnd* AfxGetMainWnd() {
    return g_app != nullptr ? g_app->m_pMainWnd : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    return g_app != nullptr && g_app->m_hInstance != nullptr ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

CWinApp::CWinApp() {
    g_app = this;  // the one application object, constructed before WinMain
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

void CWinApp::OnHelp() {
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd == nullptr || pMainWnd->m_hWnd == nullptr) return;
    HELPINFO info{};
    info.cbSize = sizeof info;
    info.iContextType = HELPINFO_WINDOW;
    info.hItemHandle = pMainWnd->m_hWnd;
    ::GetCursorPos(&info.MousePos);
    pMainWnd->SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

// The program's entry point: the application object was built before this runs.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int) {
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr) return -1;
    pApp->m_hInstance = hInstance;
    pApp->InitInstance();
    return pApp->ExitInstance();
}
