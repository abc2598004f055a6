// Fuzzes the router: a message, its two parameters and the text the key-name service returns
// (any bytes, any length, terminated or not) come from the input.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "key_router.h"

namespace {

const std::uint8_t* g_name = nullptr;
std::size_t g_nameSize = 0;

// Writes the input's bytes as the name, honouring `size` the way the system does.
int FuzzedKeyName(std::int32_t, char* buffer, int size) {
    if (size <= 0) return 0;
    const std::size_t room = static_cast<std::size_t>(size);
    const std::size_t n = g_nameSize < room ? g_nameSize : room;
    std::memcpy(buffer, g_name, n);
    return static_cast<int>(n);
}

class CheckingLamps : public KeyLampSink {
public:
    void SetLamp(const KeyEntry& key, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                 std::uint8_t lit) override {
        // Only table rows, only green, and at most two calls (by name, then by code).
        if (KeyIndex(key) >= kKeyCount || red != 0 || green != 255 || blue != 0 || lit > 1) __builtin_trap();
        if (++calls > 2) __builtin_trap();
    }
    int calls = 0;
};

std::uint32_t Read32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 12) return 0;
    // The message is folded onto the interesting range now and then so key messages are common.
    std::uint32_t message = Read32(data);
    if (message & 0x80000000u) message = 0x100u + (message & 0x7u);
    const std::uint32_t virtualKey = Read32(data + 4);
    const auto keyParam = static_cast<std::int32_t>(Read32(data + 8));
    g_name = data + 12;
    g_nameSize = size - 12;

    CheckingLamps lamps;
    const bool handled = RouteKeyMessage(message, virtualKey, keyParam, FuzzedKeyName, lamps);
    if (handled != (KeyEventOf(message) != KeyEvent::None)) __builtin_trap();
    if (!handled && lamps.calls != 0) __builtin_trap();
    return 0;
}
