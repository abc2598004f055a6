// The four key messages and their second parameter as the system builds them; the router's
// native tests and the tests under Wine both post them from here.
#pragma once

#include <cstdint>

namespace key_message {

constexpr std::uint32_t kKeyDown = 0x100;     // WM_KEYDOWN
constexpr std::uint32_t kKeyUp = 0x101;       // WM_KEYUP
constexpr std::uint32_t kSysKeyDown = 0x104;  // WM_SYSKEYDOWN: with Alt held, or F10
constexpr std::uint32_t kSysKeyUp = 0x105;    // WM_SYSKEYUP

constexpr std::uint32_t Code(bool up, bool sys) {
    return (sys ? kSysKeyDown : kKeyDown) + (up ? 1u : 0u);
}

// Bits 0-15 the repeat count (1), 16-23 the scan code, 24 the extended flag (the E0 prefix), 29
// Alt held, 30 the key was down before, 31 it goes up.
constexpr std::int32_t Param(unsigned scan, bool extended = false, bool up = false, bool alt = false) {
    return static_cast<std::int32_t>(1u | (scan & 0xFFu) << 16 | (extended ? 1u << 24 : 0u) |
                                     (alt ? 1u << 29 : 0u) | (up ? 3u << 30 : 0u));
}

}  // namespace key_message
