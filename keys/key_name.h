// Key names for where the system's own cannot tell left from right, and the choice between them.
#pragma once

#include <cstdint>

#include "key_router.h"

// Shaped like GetKeyNameTextA, from the key message's second parameter alone: the US-English
// names of the eight modifier keys, found by scan code (bits 16-23) and extended flag (bit 24),
// and the empty text for every other key. Writes at most `size` bytes, terminating zero included,
// and returns the length written.
int ScanCodeKeyName(std::int32_t keyParam, char* buffer, int size);

// The scan-code names, and "Right Alt" for the key Wine reports as AltGr. Wine gives AltGr no
// code of its own but a spare scan code (0x60 and up, which one depends on the layout) and names
// it after its keysym ("ISO_Level3_Shift", "Mode_switch"); only for spare scan codes is
// `systemKeyName` (GetKeyNameTextA) asked, so the keys that have a place cost nothing more.
int WineKeyName(std::int32_t keyParam, KeyNameFunction systemKeyName, char* buffer, int size);

// Which names the router goes by, chosen once from what `systemKeyName` (GetKeyNameTextA) answers:
// the scan-code names where it gives the left and the right Shift key (scan codes 0x2A and 0x36)
// the same name, as Wine's X11 driver does ("Shift" for both); the system's own otherwise, as on
// Windows in any language.
enum class KeyNames { kSystem, kScanCode };
KeyNames ChooseKeyNames(KeyNameFunction systemKeyName);
