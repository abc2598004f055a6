// Each lamp change repaints its own key once, and auto-repeat repaints nothing. The count is
// printed.
#include <cstdio>
#include <map>

#include "dialog_fixture.h"

using namespace testing_support;

namespace {

using Repaints = DialogTest;

TEST_F(Repaints, EachLampChangeDrawsItsKeyOnceAndAutoRepeatDrawsNothing) {
    // WM_DRAWITEM per key, as the buttons ask the dialog to draw them.
    std::map<UINT, int> draws;
    MessageHook hook([&](HWND, UINT message, WPARAM, LPARAM lParam) {
        if (message == WM_DRAWITEM) ++draws[reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)->CtlID];
    });
    constexpr int kRepeats = 30;
    int keysTested = 0, otherDraws = 0, changeDraws = 0;
    auto drawsOf = [&](int id) {
        const int own = draws[static_cast<UINT>(id)];
        for (const auto& [other, count] : draws) otherDraws += other != static_cast<UINT>(id) ? count : 0;
        draws.clear();
        return own;
    };

    draws.clear();  // the dialog's first paint
    // The modifiers go by the system's names; see the router tests.
    PressEach(
        Alone(kCodedKeys),
        [&](const Stroke& stroke) {
            const int pressDraws = drawsOf(stroke.key.id);
            changeDraws += pressDraws;
            EXPECT_EQ(pressDraws, 1) << "press";
            const LPARAM repeat = key_message::Param(stroke.key.scan, stroke.key.extended) | 1 << 30;
            for (int i = 0; i < kRepeats; ++i) ::PostMessageA(Dialog(), WM_KEYDOWN, stroke.key.virtualKey, repeat);
        },
        [&](const Stroke& stroke) {
            const int releaseDraws = drawsOf(stroke.key.id);
            changeDraws += releaseDraws;
            EXPECT_EQ(releaseDraws, 1) << "auto-repeat and release";
            ++keysTested;
        });
    EXPECT_EQ(keysTested, 75);
    EXPECT_EQ(changeDraws, 2 * keysTested);
    EXPECT_EQ(otherDraws, 0);
    std::printf("repaints: %d keys, %d lamp changes and %d auto-repeats drew %d times, other keys drew %d times\n",
                keysTested, 2 * keysTested, kRepeats * keysTested, changeDraws, otherDraws);
}

}  // namespace
