// Key names for where the system's own cannot tell left from right.
#pragma once

#include <cstdint>

// Shaped like GetKeyNameTextA, from the key message's second parameter alone: the US-English
// names of the eight modifier keys, found by scan code (bits 16-23) and extended flag (bit 24),
// and the empty text for every other key. Writes at most `size` bytes, terminating zero included,
// and returns the length written.
int ScanCodeKeyName(std::int32_t keyParam, char* buffer, int size);
