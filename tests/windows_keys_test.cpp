// The Windows keys typed while the tester is in front stay the tester's: the shell opens no Start
// menu and shows no desktop. Only Windows has a shell that acts on them: under Wine these skip.
#include "dialog_fixture.h"

using namespace testing_support;

namespace {

class WindowsKeys : public DialogTest {
protected:
    void SetUp() override {
        if (UnderWine()) GTEST_SKIP() << "Windows only: Wine has no shell to take the Windows keys";
        DialogTest::SetUp();
        ASSERT_TRUE(ToFront()) << "the dialog is not in front, where typed keys go";
    }

    static constexpr KeyFacts kLeftWindows = *ModifierAt(0x5B, true);
    static constexpr KeyFacts kRightWindows = *ModifierAt(0x5C, true);
};

TEST_F(WindowsKeys, AloneOpenNoStartMenu) {
    for (const KeyFacts& key : {kLeftWindows, kRightWindows}) {
        SCOPED_TRACE("key " + std::to_string(key.id));
        Type({key}, false);
        EXPECT_EQ(SettledOn({key.id}), std::vector<int>{key.id}) << "held";
        Type({key}, true);
        EXPECT_EQ(SettledOn({}), std::vector<int>{}) << "released";
        ::Sleep(500);  // the Start menu opens on the release, in the shell's own time
        Settle();
        if (::GetForegroundWindow() != Dialog()) {
            ADD_FAILURE() << "another window came in front: the Start menu opened";
            const KeyFacts escape = *KeyWithCode(VK_ESCAPE);
            Type({escape}, false);
            Type({escape}, true);
            ToFront();
        }
    }
}

TEST_F(WindowsKeys, WinDShowsNoDesktop) {
    const KeyFacts d = *KeyWithCode('D');
    Type({kLeftWindows, d}, false);
    EXPECT_EQ(SettledOn({1004, kLeftWindows.id}), (std::vector<int>{1004, kLeftWindows.id})) << "held";
    Type({kLeftWindows, d}, true);
    EXPECT_EQ(SettledOn({}), std::vector<int>{}) << "released";
    ::Sleep(500);
    Settle();
    const bool shown = !::IsIconic(Dialog()) && ::GetForegroundWindow() == Dialog();
    EXPECT_TRUE(shown) << "the desktop was shown: the tester is minimised or behind it";
    if (!shown) {
        Type({kLeftWindows, d}, false);  // a second Win+D gives the windows back
        Type({kLeftWindows, d}, true);
        ::Sleep(500);
        ::ShowWindow(Dialog(), SW_RESTORE);
        ToFront();
    }
}

}  // namespace
