// The application object: runs the main dialog and ends when it closes.
#pragma once

#include <afxwin.h>

class CTesterApp : public CWinApp {
public:
    BOOL InitInstance() override;

protected:
    DECLARE_MESSAGE_MAP()
};
