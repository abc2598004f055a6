// What each key of a US-English keyboard sends, as the tests press it: the virtual-key code of
// its key messages, its scan code (set 1) and extended flag (the E0 prefix), and the X keysym of
// the key that gives it. Written from the keyboard, not from the program's key table; `id` is the
// panel key that must light.
#pragma once

#include <windows.h>

#include <iterator>

namespace testing_support {

struct KeyFacts {
    int id;
    UINT virtualKey;
    UINT scan;
    bool extended;
    const char* keysym;
};

// The modifiers: the system gives each pair one virtual-key code, the scan code and extended
// flag tell the sides apart.
inline constexpr KeyFacts kModifiers[] = {
    {1054, VK_SHIFT, 0x2A, false, "Shift_L"},    {1062, VK_SHIFT, 0x36, false, "Shift_R"},
    {1055, VK_CONTROL, 0x1D, false, "Control_L"}, {1061, VK_CONTROL, 0x1D, true, "Control_R"},
    {1057, VK_MENU, 0x38, false, "Alt_L"},       {1059, VK_MENU, 0x38, true, "Alt_R"},
    {1056, VK_LWIN, 0x5B, true, "Super_L"},      {1060, VK_RWIN, 0x5C, true, "Super_R"},
};

// Every other key on the panel, each with a virtual-key code of its own.
inline constexpr KeyFacts kCodedKeys[] = {
    {1001, 'A', 0x1E, false, "a"}, {1002, 'B', 0x30, false, "b"}, {1003, 'C', 0x2E, false, "c"},
    {1004, 'D', 0x20, false, "d"}, {1005, 'E', 0x12, false, "e"}, {1006, 'F', 0x21, false, "f"},
    {1007, 'G', 0x22, false, "g"}, {1008, 'H', 0x23, false, "h"}, {1009, 'I', 0x17, false, "i"},
    {1010, 'J', 0x24, false, "j"}, {1011, 'K', 0x25, false, "k"}, {1012, 'L', 0x26, false, "l"},
    {1013, 'M', 0x32, false, "m"}, {1014, 'N', 0x31, false, "n"}, {1015, 'O', 0x18, false, "o"},
    {1016, 'P', 0x19, false, "p"}, {1017, 'Q', 0x10, false, "q"}, {1018, 'R', 0x13, false, "r"},
    {1019, 'S', 0x1F, false, "s"}, {1020, 'T', 0x14, false, "t"}, {1021, 'U', 0x16, false, "u"},
    {1022, 'V', 0x2F, false, "v"}, {1023, 'W', 0x11, false, "w"}, {1024, 'X', 0x2D, false, "x"},
    {1025, 'Y', 0x15, false, "y"}, {1026, 'Z', 0x2C, false, "z"},
    {1027, '1', 0x02, false, "1"}, {1028, '2', 0x03, false, "2"}, {1029, '3', 0x04, false, "3"},
    {1030, '4', 0x05, false, "4"}, {1031, '5', 0x06, false, "5"}, {1032, '6', 0x07, false, "6"},
    {1033, '7', 0x08, false, "7"}, {1034, '8', 0x09, false, "8"}, {1035, '9', 0x0A, false, "9"},
    {1036, '0', 0x0B, false, "0"},
    {1084, VK_OEM_MINUS, 0x0C, false, "minus"},   {1038, VK_OEM_PLUS, 0x0D, false, "equal"},
    {1039, VK_F1, 0x3B, false, "F1"},   {1040, VK_F2, 0x3C, false, "F2"},   {1041, VK_F3, 0x3D, false, "F3"},
    {1042, VK_F4, 0x3E, false, "F4"},   {1043, VK_F5, 0x3F, false, "F5"},   {1044, VK_F6, 0x40, false, "F6"},
    {1045, VK_F7, 0x41, false, "F7"},   {1046, VK_F8, 0x42, false, "F8"},   {1047, VK_F9, 0x43, false, "F9"},
    {1048, VK_F10, 0x44, false, "F10"}, {1049, VK_F11, 0x57, false, "F11"}, {1050, VK_F12, 0x58, false, "F12"},
    {1051, VK_ESCAPE, 0x01, false, "Escape"},     {1052, VK_TAB, 0x0F, false, "Tab"},
    {1053, VK_CAPITAL, 0x3A, false, "Caps_Lock"}, {1058, VK_SPACE, 0x39, false, "space"},
    {1070, VK_RETURN, 0x1C, false, "Return"},     {1073, VK_BACK, 0x0E, false, "BackSpace"},
    {1063, VK_OEM_COMMA, 0x33, false, "comma"},   {1064, VK_OEM_PERIOD, 0x34, false, "period"},
    {1065, VK_OEM_2, 0x35, false, "slash"},       {1066, VK_OEM_3, 0x29, false, "grave"},
    {1067, VK_OEM_5, 0x2B, false, "backslash"},   {1068, VK_OEM_1, 0x27, false, "semicolon"},
    {1069, VK_OEM_7, 0x28, false, "apostrophe"},  {1071, VK_OEM_4, 0x1A, false, "bracketleft"},
    {1072, VK_OEM_6, 0x1B, false, "bracketright"},
    {1074, VK_UP, 0x48, true, "Up"},       {1075, VK_LEFT, 0x4B, true, "Left"},
    {1076, VK_DOWN, 0x50, true, "Down"},   {1077, VK_RIGHT, 0x4D, true, "Right"},
    {1078, VK_INSERT, 0x52, true, "Insert"}, {1079, VK_HOME, 0x47, true, "Home"},
    {1080, VK_PRIOR, 0x49, true, "Prior"}, {1081, VK_DELETE, 0x53, true, "Delete"},
    {1082, VK_END, 0x4F, true, "End"},     {1083, VK_NEXT, 0x51, true, "Next"},
};

// No two keys light the same panel key or send the same code.
constexpr bool EachKeyOnce() {
    for (const KeyFacts& a : kCodedKeys) {
        for (const KeyFacts& b : kCodedKeys) {
            if (&a != &b && (a.id == b.id || a.virtualKey == b.virtualKey || (a.scan == b.scan && a.extended == b.extended))) {
                return false;
            }
        }
        for (const KeyFacts& modifier : kModifiers) {
            if (a.id == modifier.id || (a.scan == modifier.scan && a.extended == modifier.extended)) return false;
        }
    }
    return true;
}
// The modifier with these codes, or the other key with this virtual-key code; or nullptr.
constexpr const KeyFacts* ModifierAt(UINT scan, bool extended) {
    for (const KeyFacts& key : kModifiers) {
        if (key.scan == scan && key.extended == extended) return &key;
    }
    return nullptr;
}
constexpr const KeyFacts* KeyWithCode(WPARAM virtualKey) {
    for (const KeyFacts& key : kCodedKeys) {
        if (key.virtualKey == virtualKey) return &key;
    }
    return nullptr;
}

static_assert(std::size(kModifiers) == 8 && std::size(kCodedKeys) == 75, "83 keys on the panel");
static_assert(EachKeyOnce(), "two keys alike");

}  // namespace testing_support
