// The router run against a recording lamp sink, for the router's and the key names' tests.
#pragma once

#include <cstring>
#include <vector>

#include "key_router.h"

namespace testing_support {

// Copies as GetKeyNameTextA does: cut to `size` bytes, terminating zero included.
inline int CopyCut(const char* name, char* buffer, int size) {
    const int length = static_cast<int>(std::strlen(name));
    if (size <= 0) return 0;
    const int copied = length < size ? length : size - 1;
    std::memcpy(buffer, name, static_cast<std::size_t>(copied));
    buffer[copied] = '\0';
    return copied;
}

struct LampCall {
    std::uint16_t id;
    std::uint8_t red, green, blue, lit;
};

class RecordingLamps : public KeyLampSink {
public:
    void SetLamp(const KeyEntry& key, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                 std::uint8_t lit) override {
        calls.push_back({key.id, red, green, blue, lit});
    }
    std::vector<std::uint16_t> Ids() const {
        std::vector<std::uint16_t> ids;
        for (const LampCall& c : calls) ids.push_back(c.id);
        return ids;
    }
    std::vector<LampCall> calls;
};

using Ids = std::vector<std::uint16_t>;

// The keys one message lights or clears, in order; whether the router consumed it in `handled`.
inline Ids Route(std::uint32_t message, std::uint32_t vk, std::int32_t keyParam, KeyNameFunction names,
                 bool* handled = nullptr) {
    RecordingLamps lamps;
    const bool result = RouteKeyMessage(message, vk, keyParam, names, lamps);
    if (handled != nullptr) *handled = result;
    return lamps.Ids();
}

}  // namespace testing_support
