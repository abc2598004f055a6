#include "key_router.h"

namespace {

constexpr std::uint32_t kKeyDown = 0x100;     // WM_KEYDOWN
constexpr std::uint32_t kKeyUp = 0x101;       // WM_KEYUP
constexpr std::uint32_t kSysKeyDown = 0x104;  // WM_SYSKEYDOWN
constexpr std::uint32_t kSysKeyUp = 0x105;    // WM_SYSKEYUP

constexpr int kKeyNameSize = 50;

}  // namespace

KeyEvent KeyEventOf(std::uint32_t message) {
    switch (message) {
    case kKeyDown:
    case kSysKeyDown:
        return KeyEvent::Down;
    case kKeyUp:
    case kSysKeyUp:
        return KeyEvent::Up;
    default:
        return KeyEvent::None;
    }
}

bool RouteKeyMessage(std::uint32_t message, std::uint32_t virtualKey, std::int32_t keyParam,
                     KeyNameFunction keyName, KeyLampSink& lamps) {
    const KeyEvent event = KeyEventOf(message);
    if (event == KeyEvent::None) return false;
    const std::uint8_t lit = event == KeyEvent::Down ? 1 : 0;

    // The name tells left from right (the key parameter carries the extended-key flag);
    // the modifiers' own virtual-key codes are not in the table.
    char name[kKeyNameSize] = {};
    keyName(keyParam, name, kKeyNameSize);
    name[kKeyNameSize - 1] = '\0';  // a service that ignores the size still ends here
    if (const KeyEntry* key = FindKeyByName(name)) lamps.SetLamp(*key, 0, 255, 0, lit);

    if (const KeyEntry* key = FindKeyByVirtualKey(virtualKey)) lamps.SetLamp(*key, 0, 255, 0, lit);
    return true;
}
