// One on-screen key: a push button the program draws itself, raised, or pushed in and filled
// with its lamp colour while the lamp is lit.
#pragma once

#include <afxwin.h>

#include "key_lamp.h"

class CKeyButton : public CButton, public KeyLamp {
public:
    CKeyButton() = default;
    ~CKeyButton() override = default;

    // Stores the lamp; the button is repainted on the next paint cycle if anything changed.
    void SetLamp(BYTE red, BYTE green, BYTE blue, BYTE lit);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    DECLARE_MESSAGE_MAP()

    void PreSubclassWindow() override;
};
