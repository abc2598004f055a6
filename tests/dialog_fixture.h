// The fixture of the tests of the running program: the program's own InitInstance runs the real
// dialog in its real modal loop, and each test reads top to bottom: press, check, release, check.
// With it come the support the tests share: keys, key messages, pixels and Win32 queries.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "key_button.h"
#include "key_message.h"
#include "keyboard.h"
#include "pixels.h"
#include "win32_queries.h"

namespace testing_support {

// The program runs on a fiber of its own. The test body, on the thread's first fiber, hands the
// thread to it with Settle() and gets it back once the modal loop, or a nested one such as the
// About box's, finds its queue empty: all that was posted before has been handled and painted.
// Where the dialog ends before the test does, Settle throws, which ends the test as failed.
class DialogTest : public ::testing::Test {
protected:
    // Starts the program; the dialog is up.
    void SetUp() override;
    // Closes the dialog where the test has not.
    void TearDown() override;
    // Closes the dialog through the system menu's Close command: that ends the run.
    static void Close();

    static void Settle();

    static HWND Dialog();  // the running main dialog, or nullptr
    // The key button bound to dialog item `id`, or nullptr.
    static CKeyButton* Key(int id);
    // The ids of the keys whose lamp is lit, in id order.
    static std::vector<int> LitKeys();

    // Posts `key` going down or up, as a system key (Alt held) if `sys`, to `target`: the dialog,
    // or the focus where the system would send it.
    static void Post(const KeyFacts& key, bool up, bool sys = false, HWND target = nullptr);

    // Real input, through the system as from the keyboard (SendInput), for the checks that only a
    // run on Windows can make. ToFront brings the dialog in front, where the keys go; Type sends
    // `keys` going down in order, or with `up` going up in reverse order; SettledOn waits,
    // settling, until exactly `lit` is lit (or a few seconds have gone) and gives what is.
    static bool ToFront();
    static void Type(const std::vector<KeyFacts>& keys, bool up);
    static std::vector<int> SettledOn(const std::vector<int>& lit);

    // One row of a press table: the key, whether it goes as a system key, the keys it lights.
    struct Stroke {
        KeyFacts key;
        bool sys;
        std::vector<int> lit;
    };
    // Each of `keys` alone, lighting its own key.
    template <class Keys>
    static std::vector<Stroke> Alone(const Keys& keys) {
        std::vector<Stroke> strokes;
        for (const KeyFacts& key : keys) strokes.push_back({key, false, {key.id}});
        return strokes;
    }
    // Presses each stroke alone and settles: exactly its keys are lit, then `held` runs; releases
    // it and settles: no key is lit, then `released` runs.
    using StrokeCheck = std::function<void(const Stroke&)>;
    static void PressEach(const std::vector<Stroke>& strokes, const StrokeCheck& held = {},
                          const StrokeCheck& released = {});
};

}  // namespace testing_support
