// The dialog on the system's own key names, the program's path on Windows. Wine answers
// GetKeyNameTextA with Windows' US-English names ("Right Shift", "Left Windows") only without a
// display driver: a Wine set-up of its own runs this suite.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "dialog_fixture.h"
#include "tester_dlg.h"

using namespace testing_support;

namespace {

class SystemKeyNames : public ::testing::Test {
protected:
    void SetUp() override {
        char name[50] = {};
        ::GetKeyNameTextA(static_cast<LONG>(KeyParam(0x36, false)), name, sizeof name);
        ASSERT_STREQ(name, "Right Shift") << "the set-up did not give the system's own key names";
        CTesterDlg::s_systemKeyNamesForTests = true;
    }
    void TearDown() override { CTesterDlg::s_systemKeyNamesForTests = false; }
};

TEST_F(SystemKeyNames, EveryScanCodeLightsWhatItsNameAndCodeSay) {
    // The layout is the one the expectations assume: the keypad with Num Lock off sends the
    // navigation codes, Num Enter Enter's.
    EXPECT_EQ(::MapVirtualKeyA(0x47, MAPVK_VSC_TO_VK_EX), static_cast<UINT>(VK_HOME));
    EXPECT_EQ(::MapVirtualKeyA(0xE01C, MAPVK_VSC_TO_VK_EX), static_cast<UINT>(VK_RETURN));

    std::vector<KeyFacts> presses;
    for (UINT scan = 0x01; scan <= 0x7F; ++scan) {
        for (const bool extended : {false, true}) {
            const UINT vk = ::MapVirtualKeyA(extended ? 0xE000 | scan : scan, MAPVK_VSC_TO_VK_EX);
            presses.push_back({0, vk, scan, extended, ""});
        }
    }
    int lighting = 0;
    Steps steps;
    for (const KeyFacts& press : presses) {
        std::vector<int> lit;
        for (const KeyFacts* key : {ModifierAt(press.scan, press.extended), KeyWithCode(press.virtualKey)}) {
            if (key != nullptr) lit.push_back(key->id);
        }
        std::sort(lit.begin(), lit.end());
        lighting += lit.empty() ? 0 : 1;
        // The modifiers go down as system keys too, as with Alt held, with their own codes.
        const KeyFacts* modifier = ModifierAt(press.scan, press.extended);
        for (const bool sys : {false, true}) {
            if (sys && modifier == nullptr) continue;
            const std::string what = "scan " + std::to_string(press.scan) + (press.extended ? " extended" : "") +
                                     ", virtual key " + std::to_string(press.virtualKey) + (sys ? ", system key" : "");
            PressCheckRelease(
                steps, sys ? *modifier : press, sys, [lit, what] { EXPECT_EQ(LitKeys(), lit) << what; },
                [what] { EXPECT_EQ(LitKeys(), std::vector<int>{}) << what << " released"; });
        }
    }
    EXPECT_FALSE(RunTester(std::move(steps)));
    std::printf("system key names: %zu scan codes sent, %d lit a key\n", presses.size(), lighting);
}

}  // namespace
