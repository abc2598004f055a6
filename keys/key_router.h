// Turns keyboard messages into lamp changes on the on-screen keys.
#pragma once

#include <cstdint>

#include "key_table.h"

// Shaped like GetKeyNameTextA: writes the name of the key described by a key message's second
// parameter into `buffer` (at most `size` bytes, terminating zero included).
using KeyNameFunction = int (*)(std::int32_t keyParam, char* buffer, int size);

// Whoever owns the key buttons: receives every lamp value the router decides on.
class KeyLampSink {
public:
    virtual void SetLamp(const KeyEntry& key, std::uint8_t red, std::uint8_t green,
                         std::uint8_t blue, std::uint8_t lit) = 0;

protected:
    ~KeyLampSink() = default;
};

enum class KeyEvent { None, Down, Up };

// WM_KEYDOWN and WM_SYSKEYDOWN are Down, WM_KEYUP and WM_SYSKEYUP are Up, anything else None.
KeyEvent KeyEventOf(std::uint32_t message);

// Lights (Down) or clears (Up) the key named by the key-name text, then the key with the
// message's virtual-key code. Returns true for every key message, which is then consumed;
// false for any other message, which the caller passes on.
bool RouteKeyMessage(std::uint32_t message, std::uint32_t virtualKey, std::int32_t keyParam,
                     KeyNameFunction keyName, KeyLampSink& lamps);
