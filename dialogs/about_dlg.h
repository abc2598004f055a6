// The About box: program name, version and the maker's notice, reached from the system menu.
#pragma once

#include <afxwin.h>

class CAboutDlg : public CDialog {
public:
    CAboutDlg();

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* pDX) override;
};
