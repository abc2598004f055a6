// The main dialog: the on-screen keyboard. Every key message for it or its keys goes to the
// key router, which lights the matching keys and consumes the message.
#pragma once

#include <afxwin.h>

#include "key_button.h"
#include "key_router.h"
#include "key_table.h"

class CTesterDlg : public CDialog, private KeyLampSink {
public:
    explicit CTesterDlg(CWnd* pParent = nullptr);

    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    DECLARE_MESSAGE_MAP()

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    LRESULT OnKeyMessage(WPARAM wParam, LPARAM lParam);
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);
    void OnDestroy();

private:
    void SetLamp(const KeyEntry& key, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                 std::uint8_t lit) override;

    CKeyButton m_keys[kKeyCount];  // one per key table row, in the same order
    HICON m_hIcon;
    const KeyNameFunction m_keyName;  // chosen once, off the key path
};
