#include "key_name.h"

#include <cstddef>

#include "key_table.h"

namespace {

struct ScanCodeName {
    std::uint8_t scan;
    bool extended;
    const char* name;
};

// Left and right Ctrl and Alt share a scan code and differ in the extended flag; the Shift keys
// have codes of their own, and some keyboards flag the right one extended.
constexpr ScanCodeName kNames[] = {
    {0x38, false, "Alt"},          {0x38, true, "Right Alt"},
    {0x2A, false, "Shift"},        {0x36, false, "Right Shift"}, {0x36, true, "Right Shift"},
    {0x1D, false, "Ctrl"},         {0x1D, true, "Right Ctrl"},
    {0x5B, true, "Left Windows"},  {0x5C, true, "Right Windows"},
};

constexpr bool SameText(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

// Every modifier of the key table has its name here, so each of them can light.
constexpr bool NamesEveryModifier() {
    for (const KeyEntry& key : kKeys) {
        if (key.keyName == nullptr) continue;
        bool found = false;
        for (const ScanCodeName& row : kNames) found = found || SameText(row.name, key.keyName);
        if (!found) return false;
    }
    return true;
}
static_assert(NamesEveryModifier(), "a modifier key of the table has no scan-code name");

// Like GetKeyNameTextA, a name longer than the buffer is cut short and still terminated.
int CopyName(const char* name, char* buffer, int size) {
    int length = 0;
    while (name[length] != '\0' && length < size - 1) {
        buffer[length] = name[length];
        ++length;
    }
    buffer[length] = '\0';
    return length;
}

constexpr std::uint8_t ScanCode(std::int32_t keyParam) {
    return static_cast<std::uint8_t>(static_cast<std::uint32_t>(keyParam) >> 16);
}

// Wine numbers the keys it finds in none of its layout tables from here up.
constexpr std::uint8_t kFirstSpareScan = 0x60;

}  // namespace

int ScanCodeKeyName(std::int32_t keyParam, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    const std::uint8_t scan = ScanCode(keyParam);
    const bool extended = (static_cast<std::uint32_t>(keyParam) >> 24 & 1u) != 0;

    const char* name = "";
    for (const ScanCodeName& row : kNames) {
        if (row.scan == scan && row.extended == extended) {
            name = row.name;
            break;
        }
    }
    return CopyName(name, buffer, size);
}

int WineKeyName(std::int32_t keyParam, KeyNameFunction systemKeyName, char* buffer, int size) {
    if (buffer == nullptr || size <= 0) return 0;
    if (ScanCode(keyParam) >= kFirstSpareScan) {
        // Longer than any AltGr name plus one, so a longer name cut short cannot pass for one.
        char name[32] = {};
        systemKeyName(keyParam, name, sizeof name);
        name[sizeof name - 1] = '\0';  // a service that ignores the size still ends here
        if (SameText(name, "ISO_Level3_Shift") || SameText(name, "Mode_switch")) {
            return CopyName("Right Alt", buffer, size);
        }
    }
    return ScanCodeKeyName(keyParam, buffer, size);
}

KeyNames ChooseKeyNames(KeyNameFunction systemKeyName) {
    char left[64] = {}, right[64] = {};
    systemKeyName(0x2A << 16 | 1, left, sizeof left);
    systemKeyName(0x36 << 16 | 1, right, sizeof right);
    left[sizeof left - 1] = right[sizeof right - 1] = '\0';  // a service that ignores the size
    return SameText(left, right) ? KeyNames::kScanCode : KeyNames::kSystem;
}
