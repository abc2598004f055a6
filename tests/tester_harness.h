// Runs the program's own InitInstance and acts on its dialog from inside the modal loop.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "key_button.h"
#include "modal_script.h"

namespace testing_support {

// The running main dialog, or nullptr.
HWND Dialog();

// Runs the program's InitInstance with `steps` acting on the dialog, then closes it through the
// system menu's Close command. Returns what InitInstance returned.
BOOL RunTester(std::vector<ModalScript::Step> steps);

// The key button bound to dialog item `id`, or nullptr.
CKeyButton* Key(int id);

// The ids of the keys whose lamp is lit, in id order.
std::vector<int> LitKeys();

// The second parameter of a key message as the system builds it.
LPARAM KeyParam(UINT scan, bool up, bool alt = false, bool extended = false);

void PostKey(HWND target, UINT message, UINT vk, LPARAM keyParam);

// The tests' own account of which key a key message must light, apart from the program's
// table: the modifier that the US-English key name of this scan code and extended flag
// ("Shift", "Right Shift", ...) belongs to, or 0; and the key of this virtual-key code, or 0.
int KeyNamedBy(LPARAM keyParam);
int KeyWithCode(WPARAM virtualKey);

std::string Text(HWND hWnd);
std::vector<HWND> VisibleThreadWindows();
HWND FindAboutBox();

}  // namespace testing_support
