// A small application framework over plain Win32, with the class names and signatures of the
// classic one: application object, windows found through a handle map, message maps, dialogs
// run in a modal loop of their own, owner-draw reflection and thin menu and GDI wrappers.
// Everything runs on the one user-interface thread.
#pragma once

#ifdef UNICODE
#error "The program uses the ANSI API; build without UNICODE."
#endif

#include <windows.h>

// The framework's Help command.
#define ID_HELP 0xE146

class CCmdTarget;
class CWnd;
class CDataExchange;

// ---------------------------------------------------------------------------------------------
// Message maps

// One map entry: `pfn` unpacks the message parameters and calls the handler; it returns false
// when the handler leaves the message to default processing.
struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; WM_COMMAND entries also name a command id
    UINT nID;
    bool (*pfn)(CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;  // ends with an entry whose nMessage is 0
};

#define DECLARE_MESSAGE_MAP()                                     \
protected:                                                        \
    static const AFX_MSGMAP* GetThisMessageMap();                 \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                           \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }   \
    const AFX_MSGMAP* theClass::GetThisMessageMap() {                                   \
        using ThisClass [[maybe_unused]] = theClass;                                     \
        using TheBaseClass = baseClass;                                                  \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                 \
            {0, 0, nullptr}};                                             \
        static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &map;                                                      \
    }

// Each entry macro is a captureless lambda that casts the target back to the class whose map
// holds the entry and calls the handler with the usual parameters.
#define AFX_MAP_ENTRY(message, id, call)                                                      \
    {message, id, [](CCmdTarget* pTarget, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {   \
         ThisClass* pThis = static_cast<ThisClass*>(pTarget);                                  \
         (void)pThis, (void)wParam, (void)lParam, (void)pResult;                               \
         call;                                                                                 \
     }},

#define ON_COMMAND(id, memberFxn) AFX_MAP_ENTRY(WM_COMMAND, id, (pThis->*(memberFxn))(); return true)
#define ON_MESSAGE(message, memberFxn) \
    AFX_MAP_ENTRY(message, 0, *pResult = (pThis->*(memberFxn))(wParam, lParam); return true)
#define ON_WM_SYSCOMMAND() \
    AFX_MAP_ENTRY(WM_SYSCOMMAND, 0, pThis->OnSysCommand(static_cast<UINT>(wParam), lParam); return true)
#define ON_WM_PAINT() AFX_MAP_ENTRY(WM_PAINT, 0, pThis->OnPaint(); return true)
#define ON_WM_DESTROY() AFX_MAP_ENTRY(WM_DESTROY, 0, pThis->OnDestroy(); return true)
#define ON_WM_QUERYDRAGICON() \
    AFX_MAP_ENTRY(WM_QUERYDRAGICON, 0, *pResult = reinterpret_cast<LRESULT>(pThis->OnQueryDragIcon()); return true)
#define ON_WM_HELPINFO() \
    AFX_MAP_ENTRY(WM_HELP, 0, *pResult = pThis->OnHelpInfo(reinterpret_cast<HELPINFO*>(lParam)); return true)

// ---------------------------------------------------------------------------------------------
// Command targets: anything with a message map.

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Runs the WM_COMMAND entry for command `nID`; false when no map in the chain has one.
    virtual BOOL OnCmdMsg(UINT nID);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // The first entry of the map chain for `nMessage` (and `nID` for WM_COMMAND), or nullptr.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nID) const;
};

// ---------------------------------------------------------------------------------------------
// Menus and windows

class CMenu {
public:
    HMENU m_hMenu = nullptr;

    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr);
};

class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    CWnd() = default;
    ~CWnd() override;

    // The object bound to `hWnd`, or nullptr.
    static CWnd* FromHandlePermanent(HWND hWnd);

    // Binds this object to an existing window and routes its messages through the message map;
    // the previous window procedure gets whatever the map leaves. False if either side is bound.
    BOOL SubclassWindow(HWND hWnd);
    // Gives the window back its previous procedure and unbinds it; the objects this one handed
    // out for its items and system menu go with it.
    HWND UnsubclassWindow();

    // Hooks
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual void PreSubclassWindow();
    virtual void DoDataExchange(CDataExchange* pDX);
    // A message the parent reflects back to the control it concerns (WM_DRAWITEM).
    virtual BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    // Window calls
    // Runs DoDataExchange; FALSE when an exchange failed (a control that could not be bound).
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    void InvalidateRect(LPCRECT lpRect, BOOL bErase = TRUE);
    int GetWindowText(LPSTR lpszString, int nMaxCount) const;
    void SetWindowText(LPCSTR lpszString);
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags = 0);
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    // The item's bound object, else one of this window's own for it, the same each time, kept
    // until this window goes (nullptr if there is no such item or no memory).
    CWnd* GetDlgItem(int nID) const;
    HICON SetIcon(HICON hIcon, BOOL bBigIcon);
    BOOL IsIconic() const;
    void GetClientRect(LPRECT lpRect) const;
    // This window's one object for its system menu, kept until this window goes.
    CMenu* GetSystemMenu(BOOL bRevert) const;
    void CenterWindow();
    BOOL DestroyWindow();

    // Runs the message loop until EndModalLoop; every message for this window or one of its
    // children goes through PreTranslateMessage first.
    int RunModalLoop();
    void EndModalLoop(int nResult);
    // Offers `pMsg` to PreTranslateMessage of each bound window from its target up to `hWndStop`.
    static BOOL WalkPreTranslateTree(HWND hWndStop, MSG* pMsg);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Whether a WM_COMMAND is a command (menu item, button click, accelerator) rather than some
    // other notification from a control.
    static bool IsCommand(WPARAM wParam, LPARAM lParam);
    // Default handling for the message-map handlers of derived classes.
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    void OnDestroy();
    // Passes the message being handled on to the previous window procedure.
    LRESULT Default();

    WNDPROC m_pfnSuper = nullptr;
    bool m_bContinueModal = false;
    int m_nModalResult = -1;

private:
    struct Item;  // a GetDlgItem object: the item's window and the next one

    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    void ReleaseItems();

    mutable Item* m_pItems = nullptr;
    mutable CMenu m_systemMenu;
};

class CButton : public CWnd {
public:
    // Paints an owner-drawn (BS_OWNERDRAW) button; reached through the parent's reflected
    // WM_DRAWITEM.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

// ---------------------------------------------------------------------------------------------
// Dialogs

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    // Marks the exchange failed; UpdateData reports it. The exchanges after it still run.
    void Fail() { m_bFailed = true; }

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    bool m_bFailed = false;
};

// Binds `rControl` to dialog item `nIDC`; a control that is already bound stays as it is. An item
// that is missing or already bound to another object fails the exchange.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Creates the dialog from its template, disables the owner and runs the modal loop.
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);

    // The ordinary dialog keyboard and mouse handling (IsDialogMessage).
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;
};

// ---------------------------------------------------------------------------------------------
// Device contexts

class CDC {
public:
    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;  // where sizes are measured; the same DC here

    CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() = default;

    BOOL Attach(HDC hDC);
    HDC Detach();

    int SetBkMode(int nBkMode);
    COLORREF SetBkColor(COLORREF crColor);
    BOOL ExtTextOut(int x, int y, UINT nOptions, LPCRECT lpRect, LPCSTR lpszString, UINT nCount,
                    LPINT lpDxWidths);
    BOOL TextOut(int x, int y, LPCSTR lpszString, int nCount);
    SIZE GetTextExtent(LPCSTR lpszString, int nCount) const;
};

// BeginPaint and EndPaint around the lifetime of the object.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

private:
    HWND m_hWnd;
};

// ---------------------------------------------------------------------------------------------
// The application

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    // A dialog program runs its main dialog modally here; the program ends when this returns.
    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Help requests end where help is looked for in a dialog program: WM_HELP to the main window.
    void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
HINSTANCE AfxGetInstanceHandle();
