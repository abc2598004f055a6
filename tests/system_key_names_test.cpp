// The dialog on the system's own key names, the program's path on Windows, where the layout names
// the modifiers in US English. Wine answers GetKeyNameTextA with Windows' names ("Right Shift",
// "Left Windows") only without a display driver: a Wine set-up of its own runs this suite.
#include <algorithm>
#include <cstdio>

#include <string>

#include "dialog_fixture.h"

using namespace testing_support;

namespace {

class SystemKeyNames : public DialogTest {
protected:
    void SetUp() override {
        // Where the two Shift keys have one name (Wine's X11 driver) the program goes by scan
        // codes, which the other suites check; a layout that names them in another language
        // lights no modifier by name.
        const std::string left = Name(0x2A), right = Name(0x36);
        if (left == right) GTEST_SKIP() << "both Shift keys are named \"" << left << "\" here: the program goes by scan codes";
        if (right != "Right Shift") GTEST_SKIP() << "the right Shift key is named \"" << right << "\" here, not in US English";
        DialogTest::SetUp();
    }

    static std::string Name(UINT scan) {
        char name[50] = {};
        ::GetKeyNameTextA(key_message::Param(scan), name, sizeof name);
        return name;
    }
};

TEST_F(SystemKeyNames, EveryScanCodeLightsWhatItsNameAndCodeSay) {
    // The layout is the one the expectations assume: the keypad with Num Lock off sends the
    // navigation codes, Num Enter Enter's.
    EXPECT_EQ(::MapVirtualKeyA(0x47, MAPVK_VSC_TO_VK_EX), static_cast<UINT>(VK_HOME));
    EXPECT_EQ(::MapVirtualKeyA(0xE01C, MAPVK_VSC_TO_VK_EX), static_cast<UINT>(VK_RETURN));

    // Each scan code with the virtual-key code the layout gives it lights the modifier it names
    // and the key of its code; a modifier goes down as a system key too, as with Alt held.
    std::vector<Stroke> strokes;
    int lighting = 0;
    for (UINT scan = 0x01; scan <= 0x7F; ++scan) {
        for (const bool extended : {false, true}) {
            const UINT vk = ::MapVirtualKeyA(extended ? 0xE000 | scan : scan, MAPVK_VSC_TO_VK_EX);
            const KeyFacts* modifier = ModifierAt(scan, extended);
            std::vector<int> lit;
            for (const KeyFacts* key : {modifier, KeyWithCode(vk)}) {
                if (key != nullptr) lit.push_back(key->id);
            }
            std::sort(lit.begin(), lit.end());
            lighting += lit.empty() ? 0 : 1;
            strokes.push_back({{0, vk, scan, extended, ""}, false, lit});
            if (modifier != nullptr) strokes.push_back({*modifier, true, lit});
        }
    }
    PressEach(strokes);
    std::printf("system key names: %d scan codes sent, %d lit a key\n", 2 * 0x7F, lighting);
}

TEST_F(SystemKeyNames, TheProgramAsksTheSystemNotTheScanCodes) {
    // Bit 25 asks the system for a name that does not tell left from right: the right Shift key
    // is then "Shift", where the scan-code names would still say "Right Shift".
    constexpr LPARAM kEitherSide = 1 << 25;
    ::PostMessageA(Dialog(), WM_KEYDOWN, VK_SHIFT, key_message::Param(0x36) | kEitherSide);
    Settle();
    EXPECT_EQ(LitKeys(), std::vector<int>{1054});
    ::PostMessageA(Dialog(), WM_KEYUP, VK_SHIFT, key_message::Param(0x36, false, true) | kEitherSide);
    Settle();
    EXPECT_EQ(LitKeys(), std::vector<int>{});
}

TEST_F(SystemKeyNames, EachModifierTypedLightsItselfAlone) {
    // As the system builds the key messages from a keyboard's scan codes, not as a test posts them.
    ASSERT_TRUE(ToFront()) << "the dialog is not in front, where typed keys go";
    bool altGr = false;  // some character of the layout's is typed with Ctrl and Alt
    for (int c = 0x21; c <= 0xFF; ++c) {
        const SHORT typed = ::VkKeyScanA(static_cast<char>(c));
        altGr = altGr || (typed != -1 && (typed >> 8 & 6) == 6);
    }
    for (const KeyFacts& key : kModifiers) {
        SCOPED_TRACE("key " + std::to_string(key.id));
        Type({key}, false);
        // On a layout with AltGr (UK, US-International) Windows is reported to send a left Ctrl
        // with the right Alt.
        std::vector<int> lit{key.id};
        if (key.id == 1059 && altGr) lit.insert(lit.begin(), 1055);
        EXPECT_EQ(SettledOn(lit), lit) << "held" << (altGr ? ", on a layout with AltGr" : "");
        Type({key}, true);
        EXPECT_EQ(SettledOn({}), std::vector<int>{}) << "released";
    }
}

}  // namespace
