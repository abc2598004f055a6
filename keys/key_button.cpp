#include "key_button.h"

BEGIN_MESSAGE_MAP(CKeyButton, CButton)
END_MESSAGE_MAP()

void CKeyButton::SetLamp(BYTE red, BYTE green, BYTE blue, BYTE lit) {
    if (Store(red, green, blue, lit)) InvalidateRect(nullptr, TRUE);
}

void CKeyButton::PreSubclassWindow() {
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

void CKeyButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CDC dc;
    dc.Attach(lpDrawItemStruct->hDC);
    RECT rect;
    ::CopyRect(&rect, &lpDrawItemStruct->rcItem);
    const UINT state = lpDrawItemStruct->itemState;
    char label[64] = {};  // the longest key label is 11 bytes
    const int length = GetWindowText(label, sizeof label);

    // The face follows the lamp alone: clicks and focus leave a key's look unchanged.
    ::DrawFrameControl(dc.m_hDC, &rect, DFC_BUTTON, Lit() ? DFCS_BUTTONPUSH | DFCS_PUSHED : DFCS_BUTTONPUSH);
    ::InflateRect(&rect, -::GetSystemMetrics(SM_CXEDGE), -::GetSystemMetrics(SM_CYEDGE));

    if (Lit()) {
        dc.SetBkColor(Colour());
        dc.ExtTextOut(0, 0, ETO_OPAQUE, &rect, "", 0, nullptr);
    }

    if (length > 0) {
        const SIZE size = dc.GetTextExtent(label, length);
        const int oldMode = dc.SetBkMode(TRANSPARENT);
        // Edges and label are halved separately (truncating), so an odd label sits a pixel
        // further right than (width - cx) / 2 would put it.
        const int x = (rect.left + rect.right) / 2 - size.cx / 2;
        const int y = (rect.top + rect.bottom) / 2 - size.cy / 2;
        if (state & ODS_DISABLED) {
            ::DrawStateA(dc.m_hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(label), 0, x, y, size.cx,
                         size.cy, DST_PREFIXTEXT | DSS_DISABLED);
        } else {
            dc.TextOut(x, y, label, length);
        }
        dc.SetBkMode(oldMode);
    }
    dc.Detach();
}
