// The on-screen keyboard: one row per key (the rows are in key_table.def), in control-id order.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>

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

namespace key_table_rows {

// The rows of key_table.def as they stand there: in the dialog's creation order, each key showing
// its caption.
inline constexpr KeyEntry kInCreationOrder[] = {
#define KEY(id, caption, x, y, cx, cy, multiLine, virtualKey, keyName) \
    {id, caption, caption, x, y, cx, cy, multiLine, virtualKey, keyName},
#define LABEL(id, label)
#include "key_table.def"
#undef KEY
#undef LABEL
};

struct KeyLabel {
    std::uint16_t id;
    const char* label;
};
// The other texts some keys show, in the order the dialog sets them.
inline constexpr KeyLabel kLabels[] = {
#define KEY(id, caption, x, y, cx, cy, multiLine, virtualKey, keyName)
#define LABEL(id, label) {id, label},
#include "key_table.def"
#undef KEY
#undef LABEL
};

static_assert(std::size(kInCreationOrder) == kKeyCount, "key_table.def has a row for each key");

}  // namespace key_table_rows

// The rows in control-id order, each with the label it shows.
inline constexpr std::array<KeyEntry, kKeyCount> kKeys = [] {
    std::array<KeyEntry, kKeyCount> rows{};
    std::size_t count = 0;
    for (const KeyEntry& key : key_table_rows::kInCreationOrder) {
        std::size_t at = count++;
        for (; at > 0 && rows[at - 1].id > key.id; --at) rows[at] = rows[at - 1];
        rows[at] = key;
    }
    for (const key_table_rows::KeyLabel& label : key_table_rows::kLabels) {
        for (KeyEntry& key : rows) {
            if (key.id == label.id) key.label = label.label;
        }
    }
    return rows;
}();

// The rows (positions in kKeys) whose label differs from their caption, in the order the dialog
// sets the labels.
inline constexpr std::array<std::size_t, std::size(key_table_rows::kLabels)> kRelabelledRows = [] {
    std::array<std::size_t, std::size(key_table_rows::kLabels)> rows{};
    for (std::size_t r = 0; r < rows.size(); ++r) {
        rows[r] = kKeyCount;
        for (std::size_t i = 0; i < kKeyCount; ++i) {
            if (kKeys[i].id == key_table_rows::kLabels[r].id) rows[r] = i;
        }
    }
    return rows;
}();

// Modifier keys are told apart by key name, compared in this order; the left-hand Alt, Shift
// and Ctrl go by the plain names.
inline constexpr std::uint16_t kModifierOrder[] = {1057, 1059, 1054, 1062, 1055, 1061, 1056, 1060};

// The key recognised by this virtual-key code (the whole 32-bit value), or nullptr.
const KeyEntry* FindKeyByVirtualKey(std::uint32_t virtualKey);

// The first modifier key, in kModifierOrder, whose name equals `name` byte for byte, or nullptr.
const KeyEntry* FindKeyByName(const char* name);

// The row's position in kKeys, which is also the position of its button in the main dialog.
std::size_t KeyIndex(const KeyEntry& key);
