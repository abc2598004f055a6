#include "key_table.h"

#include <array>
#include <cstring>
#include <iterator>

namespace {

constexpr bool SameText(const char* a, const char* b) {
    if (a == nullptr || b == nullptr) return a == b;
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

constexpr bool IdsAscendWithout1037() {
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        const std::uint16_t expected = static_cast<std::uint16_t>(1001 + i + (i >= 36 ? 1 : 0));
        if (kKeys[i].id != expected) return false;
    }
    return true;
}

// Each key is recognised one way only, and no code or name leads to two keys.
constexpr bool RecognitionIsUnambiguous() {
    for (std::size_t i = 0; i < kKeyCount; ++i) {
        const KeyEntry& k = kKeys[i];
        if ((k.virtualKey != 0) == (k.keyName != nullptr)) return false;
        if (k.virtualKey > 255) return false;
        for (std::size_t j = i + 1; j < kKeyCount; ++j) {
            if (k.virtualKey != 0 && k.virtualKey == kKeys[j].virtualKey) return false;
            if (k.keyName != nullptr && SameText(k.keyName, kKeys[j].keyName)) return false;
        }
    }
    return true;
}

constexpr std::size_t CountNamedKeys() {
    std::size_t n = 0;
    for (const KeyEntry& k : kKeys) n += k.keyName != nullptr ? 1 : 0;
    return n;
}

constexpr bool ModifierOrderNamesNamedKeys() {
    for (std::uint16_t id : kModifierOrder) {
        bool found = false;
        for (const KeyEntry& k : kKeys) found = found || (k.id == id && k.keyName != nullptr);
        if (!found) return false;
    }
    return true;
}

// Each label row names a key of its own and gives it a text other than its caption.
constexpr bool LabelsRelabelDistinctKeys() {
    for (std::size_t r = 0; r < kRelabelledRows.size(); ++r) {
        const std::size_t row = kRelabelledRows[r];
        if (row == kKeyCount || SameText(kKeys[row].label, kKeys[row].caption)) return false;
        for (std::size_t s = r + 1; s < kRelabelledRows.size(); ++s) {
            if (kRelabelledRows[s] == row) return false;
        }
    }
    return true;
}

static_assert(IdsAscendWithout1037(), "key ids run 1001..1084 in order, without 1037");
static_assert(LabelsRelabelDistinctKeys(), "each label row gives its own key a text other than its caption");
static_assert(RecognitionIsUnambiguous(), "each key has exactly one code or name, none shared");
static_assert(CountNamedKeys() == 8 && std::size(kModifierOrder) == 8, "eight modifier keys");
static_assert(ModifierOrderNamesNamedKeys(), "the modifier order lists the named keys");

// The rows of the modifier keys in comparison order, found once at compile time.
constexpr std::array<std::size_t, std::size(kModifierOrder)> kModifierRows = [] {
    std::array<std::size_t, std::size(kModifierOrder)> rows{};
    for (std::size_t m = 0; m < rows.size(); ++m) {
        rows[m] = kKeyCount;
        for (std::size_t i = 0; i < kKeyCount; ++i) {
            if (kKeys[i].id == kModifierOrder[m]) rows[m] = i;
        }
    }
    return rows;
}();

}  // namespace

const KeyEntry* FindKeyByVirtualKey(std::uint32_t virtualKey) {
    if (virtualKey == 0) return nullptr;  // 0 marks the named keys in the table
    for (const KeyEntry& k : kKeys) {
        if (k.virtualKey == virtualKey) return &k;
    }
    return nullptr;
}

const KeyEntry* FindKeyByName(const char* name) {
    if (name == nullptr) return nullptr;
    for (std::size_t row : kModifierRows) {
        if (std::strcmp(kKeys[row].keyName, name) == 0) return &kKeys[row];
    }
    return nullptr;
}

std::size_t KeyIndex(const KeyEntry& key) {
    return static_cast<std::size_t>(&key - kKeys.data());
}
