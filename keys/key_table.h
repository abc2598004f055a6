// The on-screen keyboard: one row per key, in control-id order.
#pragma once

#include <cstddef>
#include <cstdint>

struct KeyEntry {
    std::uint16_t id;          // dialog item id of the key's button
    const char* caption;       // button text in the dialog template
    const char* label;         // text the button shows once the dialog is up
    short x, y, cx, cy;        // rectangle in dialog units of the main dialog
    bool multiLine;            // BS_MULTILINE in the template (no visible effect once owner-drawn)
    std::uint32_t virtualKey;  // recognised by this virtual-key code, or 0
    const char* keyName;       // or by this key-name text, or nullptr
};

inline constexpr std::size_t kKeyCount = 83;

// The arrow labels are code page 936 (GB2312) arrows set as narrow text: they show as arrows
// where the system's ANSI code page is 936, and as that code page's characters elsewhere.
// clang-format off
inline constexpr KeyEntry kKeys[kKeyCount] = {
    // id    caption       label                       x    y    cx   cy  multi  vk   name
    {1001, "A",          "A",                         64, 106,  20, 20, false,  65, nullptr},
    {1002, "B",          "B",                        167, 132,  20, 20, false,  66, nullptr},
    {1003, "C",          "C",                        121, 132,  20, 20, false,  67, nullptr},
    {1004, "D",          "D",                        110, 106,  20, 20, false,  68, nullptr},
    {1005, "E",          "E",                         98,  80,  20, 20, false,  69, nullptr},
    {1006, "F",          "F",                        133, 106,  20, 20, false,  70, nullptr},
    {1007, "G",          "G",                        156, 106,  20, 20, false,  71, nullptr},
    {1008, "H",          "H",                        179, 106,  20, 20, false,  72, nullptr},
    {1009, "I",          "I",                        213,  80,  20, 20, false,  73, nullptr},
    {1010, "J",          "J",                        202, 106,  20, 20, false,  74, nullptr},
    {1011, "K",          "K",                        225, 106,  20, 20, false,  75, nullptr},
    {1012, "L",          "L",                        248, 106,  20, 20, false,  76, nullptr},
    {1013, "M",          "M",                        213, 132,  20, 20, false,  77, nullptr},
    {1014, "N",          "N",                        190, 132,  20, 20, false,  78, nullptr},
    {1015, "O",          "O",                        236,  80,  20, 20, false,  79, nullptr},
    {1016, "P",          "P",                        259,  80,  20, 20, false,  80, nullptr},
    {1017, "Q",          "Q",                         52,  80,  20, 20, false,  81, nullptr},
    {1018, "R",          "R",                        121,  80,  20, 20, false,  82, nullptr},
    {1019, "S",          "S",                         87, 106,  20, 20, false,  83, nullptr},
    {1020, "T",          "T",                        144,  80,  20, 20, false,  84, nullptr},
    {1021, "U",          "U",                        190,  80,  20, 20, false,  85, nullptr},
    {1022, "V",          "V",                        144, 132,  20, 20, false,  86, nullptr},
    {1023, "W",          "W",                         75,  80,  20, 20, false,  87, nullptr},
    {1024, "X",          "X",                         98, 132,  20, 20, false,  88, nullptr},
    {1025, "Y",          "Y",                        167,  80,  20, 20, false,  89, nullptr},
    {1026, "Z",          "Z",                         75, 132,  20, 20, false,  90, nullptr},
    {1027, "1",          "1",                         39,  54,  20, 20, false,  49, nullptr},
    {1028, "2",          "2",                         62,  54,  20, 20, false,  50, nullptr},
    {1029, "3",          "3",                         85,  54,  20, 20, false,  51, nullptr},
    {1030, "4",          "4",                        108,  54,  20, 20, false,  52, nullptr},
    {1031, "5",          "5",                        131,  54,  20, 20, false,  53, nullptr},
    {1032, "6",          "6",                        154,  54,  20, 20, false,  54, nullptr},
    {1033, "7",          "7",                        177,  54,  20, 20, false,  55, nullptr},
    {1034, "8",          "8",                        200,  54,  20, 20, false,  56, nullptr},
    {1035, "9",          "9",                        223,  54,  20, 20, false,  57, nullptr},
    {1036, "0",          "0",                        246,  54,  20, 20, false,  48, nullptr},
    {1038, "=",          "=",                        292,  54,  20, 20, true,  187, nullptr},  // VK_OEM_PLUS
    {1039, "F1",         "F1",                        61,  20,  20, 20, false, 112, nullptr},
    {1040, "F2",         "F2",                        85,  20,  20, 20, false, 113, nullptr},
    {1041, "F3",         "F3",                       109,  20,  20, 20, false, 114, nullptr},
    {1042, "F4",         "F4",                       133,  20,  20, 20, false, 115, nullptr},
    {1043, "F5",         "F5",                       170,  20,  20, 20, false, 116, nullptr},
    {1044, "F6",         "F6",                       194,  20,  20, 20, false, 117, nullptr},
    {1045, "F7",         "F7",                       218,  20,  20, 20, false, 118, nullptr},
    {1046, "F8",         "F8",                       241,  20,  20, 20, false, 119, nullptr},
    {1047, "F9",         "F9",                       279,  20,  20, 20, false, 120, nullptr},
    {1048, "F10",        "F10",                      303,  20,  20, 20, false, 121, nullptr},
    {1049, "F11",        "F11",                      327,  20,  20, 20, false, 122, nullptr},
    {1050, "F12",        "F12",                      351,  20,  20, 20, false, 123, nullptr},
    {1051, "ESC",        "ESC",                       16,  20,  20, 20, false,  27, nullptr},
    {1052, "TAB",        "TAB",                       16,  80,  31, 20, false,   9, nullptr},
    {1053, "CAPS",       "CAPS",                      16, 106,  44, 20, false,  20, nullptr},
    {1054, "SHIFT",      "SHIFT",                     16, 132,  55, 20, false,   0, "Shift"},
    {1055, "CTRL",       "CTRL",                      16, 158,  43, 20, false,   0, "Ctrl"},
    {1056, "WIN",        "WIN",                       64, 158,  30, 20, false,   0, "Left Windows"},
    {1057, "ALT",        "ALT",                       97, 158,  29, 20, false,   0, "Alt"},
    {1058, "SPACE BAR",  "SPACE BAR",                129, 158, 136, 20, false,  32, nullptr},
    {1059, "ALT",        "ALT",                      268, 158,  33, 20, false,   0, "Right Alt"},
    {1060, "WIN",        "WIN",                      304, 158,  33, 20, false,   0, "Right Windows"},
    {1061, "CTRL",       "CTRL",                     340, 158,  31, 20, false,   0, "Right Ctrl"},
    {1062, "SHIFT",      "SHIFT",                    305, 132,  43, 20, false,   0, "Right Shift"},
    {1063, ",",          ",",                        236, 132,  20, 20, true,  188, nullptr},  // VK_OEM_COMMA
    {1064, ".",          ".",                        259, 132,  20, 20, true,  190, nullptr},  // VK_OEM_PERIOD
    {1065, "/",          "/",                        282, 132,  20, 20, true,  191, nullptr},  // VK_OEM_2
    {1066, "`",          "`",                         16,  54,  20, 20, true,  192, nullptr},  // VK_OEM_3
    {1067, "\\",         "\\",                       351, 132,  20, 20, true,  220, nullptr},  // VK_OEM_5
    {1068, ";",          ";",                        271, 106,  20, 20, true,  186, nullptr},  // VK_OEM_1
    {1069, "'",          "'",                        294, 106,  20, 20, true,  222, nullptr},  // VK_OEM_7
    {1070, "ENTER",      "ENTER",                    328,  80,  43, 46, false,  13, nullptr},
    {1071, "[",          "[",                        282,  80,  20, 20, true,  219, nullptr},  // VK_OEM_4
    {1072, "]",          "]",                        305,  80,  20, 20, true,  221, nullptr},  // VK_OEM_6
    {1073, "Backspace",  "\xA1\xFB" "Backspace",     316,  54,  55, 20, false,   8, nullptr},
    {1074, "up",         "\xA1\xFC",                407, 132,  20, 20, false,  38, nullptr},
    {1075, "left",       "\xA1\xFB",                382, 158,  20, 20, false,  37, nullptr},
    {1076, "down",       "\xA1\xFD",                407, 158,  21, 20, false,  40, nullptr},
    {1077, "right",      "\xA1\xFA",                432, 158,  21, 20, false,  39, nullptr},
    {1078, "Ins",        "Ins",                      382,  54,  20, 20, false,  45, nullptr},
    {1079, "Home",       "Home",                     407,  54,  20, 20, false,  36, nullptr},
    {1080, "PgUp",       "PgUp",                     432,  54,  20, 20, false,  33, nullptr},
    {1081, "Del",        "Del",                      382,  80,  20, 20, false,  46, nullptr},
    {1082, "End",        "End",                      407,  80,  20, 20, false,  35, nullptr},
    {1083, "PgDn",       "PgDn",                     432,  80,  20, 20, false,  34, nullptr},
    {1084, "-",          "-",                        269,  54,  20, 20, true,  189, nullptr},  // VK_OEM_MINUS
};
// clang-format on

// Modifier keys are told apart by key name, compared in this order; the left-hand Alt, Shift
// and Ctrl go by the plain names.
inline constexpr std::uint16_t kModifierOrder[] = {1057, 1059, 1054, 1062, 1055, 1061, 1056, 1060};

// The key recognised by this virtual-key code (the whole 32-bit value), or nullptr.
const KeyEntry* FindKeyByVirtualKey(std::uint32_t virtualKey);

// The first modifier key, in kModifierOrder, whose name equals `name` byte for byte, or nullptr.
const KeyEntry* FindKeyByName(const char* name);

// The row's position in kKeys, which is also the position of its button in the main dialog.
std::size_t KeyIndex(const KeyEntry& key);
