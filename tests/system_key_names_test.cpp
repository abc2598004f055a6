// The dialog on the system's own key names, the program's path on Windows. Wine answers
// GetKeyNameTextA with Windows' US-English names ("Right Shift", "Left Windows") only without a
// display driver: a Wine set-up of its own runs this suite.
#include <algorithm>
#include <cstdio>

#include "dialog_fixture.h"
#include "tester_dlg.h"

using namespace testing_support;

namespace {

class SystemKeyNames : public DialogTest {
protected:
    void SetUp() override {
        char name[50] = {};
        ::GetKeyNameTextA(key_message::Param(0x36), name, sizeof name);
        ASSERT_STREQ(name, "Right Shift") << "the set-up did not give the system's own key names";
        CTesterDlg::s_systemKeyNamesForTests = true;
        DialogTest::SetUp();
    }
    void TearDown() override {
        DialogTest::TearDown();
        CTesterDlg::s_systemKeyNamesForTests = false;
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

}  // namespace
