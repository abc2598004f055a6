#include "key_table.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace {

std::uint16_t IdForCode(std::uint32_t code) {
    const KeyEntry* key = FindKeyByVirtualKey(code);
    return key != nullptr ? key->id : 0;
}

std::uint16_t IdForName(const char* name) {
    const KeyEntry* key = FindKeyByName(name);
    return key != nullptr ? key->id : 0;
}

TEST(KeyTable, HasEightyThreeKeysInIdOrderWithout1037) {
    std::set<std::uint16_t> ids;
    for (const KeyEntry& key : kKeys) ids.insert(key.id);
    EXPECT_EQ(ids.size(), 83u);
    EXPECT_EQ(*ids.begin(), 1001);
    EXPECT_EQ(*ids.rbegin(), 1084);
    EXPECT_EQ(ids.count(1037), 0u);
    for (std::size_t i = 0; i < kKeyCount; ++i) EXPECT_EQ(KeyIndex(kKeys[i]), i);
}

TEST(KeyTable, RecognisesExactlyTheDocumentedCodes) {
    std::set<std::uint32_t> expected = {8, 9, 13, 20, 27};
    for (std::uint32_t c = 32; c <= 40; ++c) expected.insert(c);
    expected.insert({45, 46});
    for (std::uint32_t c = 48; c <= 57; ++c) expected.insert(c);
    for (std::uint32_t c = 65; c <= 90; ++c) expected.insert(c);
    for (std::uint32_t c = 112; c <= 123; ++c) expected.insert(c);
    for (std::uint32_t c = 186; c <= 192; ++c) expected.insert(c);
    for (std::uint32_t c = 219; c <= 222; ++c) expected.insert(c);
    ASSERT_EQ(expected.size(), 75u);

    for (std::uint32_t code = 0; code <= 300; ++code) {
        const KeyEntry* key = FindKeyByVirtualKey(code);
        EXPECT_EQ(key != nullptr, expected.count(code) == 1) << "code " << code;
        if (key != nullptr) EXPECT_EQ(key->virtualKey, code);
    }
}

TEST(KeyTable, DigitsLettersAndPunctuationFindTheirKeys) {
    EXPECT_EQ(IdForCode(48), 1036);  // "0" stands after "9"
    for (std::uint32_t c = 49; c <= 57; ++c) EXPECT_EQ(IdForCode(c), 1027 + (c - 49)) << c;
    for (std::uint32_t c = 65; c <= 90; ++c) {
        const KeyEntry* key = FindKeyByVirtualKey(c);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(key->id, 1001 + (c - 65));
        EXPECT_EQ(std::string(key->caption), std::string(1, static_cast<char>(c)));
    }
    EXPECT_EQ(IdForCode(187), 1038);  // =
    EXPECT_EQ(IdForCode(189), 1084);  // -
    EXPECT_EQ(IdForCode(192), 1066);  // `
    EXPECT_EQ(IdForCode(220), 1067);  // backslash
    EXPECT_EQ(IdForCode(13), 1070);
    EXPECT_EQ(IdForCode(8), 1073);
    EXPECT_EQ(IdForCode(27), 1051);
}

TEST(KeyTable, ModifierAndOutOfRangeCodesFindNothing) {
    for (std::uint32_t code : {16u, 17u, 18u, 91u, 92u, 93u, 0u, 144u, 145u, 19u, 44u, 96u, 111u,
                               256u, 256u + 65u, 0x10041u, 0xFFFFFFFFu}) {
        EXPECT_EQ(FindKeyByVirtualKey(code), nullptr) << "code " << code;
    }
}

TEST(KeyTable, ModifierNamesFindTheirKeys) {
    const std::pair<const char*, std::uint16_t> names[] = {
        {"Alt", 1057},  {"Right Alt", 1059},  {"Shift", 1054},        {"Right Shift", 1062},
        {"Ctrl", 1055}, {"Right Ctrl", 1061}, {"Left Windows", 1056}, {"Right Windows", 1060}};
    for (const auto& [name, id] : names) EXPECT_EQ(IdForName(name), id) << name;
}

TEST(KeyTable, NamesAreComparedExactly) {
    for (const char* name : {"alt", "ALT", "shift", "Right shift", "Shift ", " Shift", "Left Shift",
                             "Left Alt", "Left Ctrl", "Windows", "Right Windows ", "Control", "",
                             "A", "Esc", "Num Lock", "Alt\tGr", "Right Alt\n"}) {
        EXPECT_EQ(FindKeyByName(name), nullptr) << "name '" << name << "'";
    }
    EXPECT_EQ(FindKeyByName(nullptr), nullptr);
}

TEST(KeyTable, ArrowAndBackspaceLabelsAreCodePage936Bytes) {
    auto label = [](std::uint16_t id) {
        for (const KeyEntry& key : kKeys) {
            if (key.id == id) return std::string(key.label);
        }
        return std::string("<missing>");
    };
    EXPECT_EQ(label(1074), "\xA1\xFC");
    EXPECT_EQ(label(1076), "\xA1\xFD");
    EXPECT_EQ(label(1075), "\xA1\xFB");
    EXPECT_EQ(label(1077), "\xA1\xFA");
    EXPECT_EQ(label(1073), std::string("\xA1\xFB") + "Backspace");
    int different = 0;
    for (const KeyEntry& key : kKeys) different += std::string(key.label) != key.caption ? 1 : 0;
    EXPECT_EQ(different, 5);
}

TEST(KeyTable, ElevenPunctuationKeysAreMultiLine) {
    std::string captions;
    for (const KeyEntry& key : kKeys) {
        if (key.multiLine) captions += key.caption;
    }
    EXPECT_EQ(captions, "=,./`\\;'[]-");
}

TEST(KeyTable, KeysStayInsideTheDialogAndDoNotOverlap) {
    for (const KeyEntry& a : kKeys) {
        EXPECT_GE(a.x, 0);
        EXPECT_LE(a.x + a.cx, 467) << a.id;
        EXPECT_LE(a.y + a.cy, 198) << a.id;
        for (const KeyEntry& b : kKeys) {
            if (&a == &b) continue;
            const bool overlap =
                a.x < b.x + b.cx && b.x < a.x + a.cx && a.y < b.y + b.cy && b.y < a.y + a.cy;
            EXPECT_FALSE(overlap) << a.id << " overlaps " << b.id;
        }
    }
}

}  // namespace
