// The running dialog under a storm of input: random key messages of all four kinds with any
// parameters, interleaved with the About box and minimise/restore; and the repaint count of
// every lamp change. Figures are printed; ZQ_SOAK_MESSAGES sets the storm's size.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <random>
#include <set>
#include <vector>

#include "key_table.h"
#include "resource.h"
#include "dialog_fixture.h"

using namespace testing_support;

namespace {

std::size_t SoakSize() {
    const char* text = std::getenv("ZQ_SOAK_MESSAGES");
    return text != nullptr ? static_cast<std::size_t>(std::strtoul(text, nullptr, 10)) : 100000;
}

// The modifier a key message names where the program runs, the dialog running here under Wine:
// the US-English names by scan code and extended flag, with Wine's two additions, a right Shift
// flagged extended and AltGr under a spare scan code (0x60 up) that Wine names after its keysym.
int KeyNamedUnderWine(LPARAM keyParam) {
    const UINT scan = static_cast<UINT>(keyParam >> 16) & 0xFFu;
    const bool extended = (keyParam >> 24 & 1) != 0;
    if (scan == 0x36 && extended) return 1062;
    if (scan >= 0x60) {
        char name[32] = {};
        ::GetKeyNameTextA(static_cast<LONG>(keyParam), name, sizeof name);
        if (std::strcmp(name, "ISO_Level3_Shift") == 0 || std::strcmp(name, "Mode_switch") == 0) return 1059;
    }
    const KeyFacts* key = ModifierAt(scan, extended);
    return key != nullptr ? key->id : 0;
}

// The last event seen for each key decides how it must look in the end.
class LampModel {
public:
    void Apply(UINT message, WPARAM wParam, LPARAM lParam) {
        const bool down = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        const KeyFacts* coded = KeyWithCode(wParam);
        for (const int id : {KeyNamedUnderWine(lParam), coded != nullptr ? coded->id : 0}) {
            if (id == 0) continue;
            if (down) {
                m_lit.insert(id);
            } else {
                m_lit.erase(id);
            }
        }
    }
    std::vector<int> LitKeys() const { return {m_lit.begin(), m_lit.end()}; }

private:
    std::set<int> m_lit;
};

// GDI and USER objects the process holds, and the memory it has committed. Wine answers 0 from
// GetGuiResources, but its handle tables answer for a handle given by its index alone.
struct Usage {
    DWORD gdi, user;
    SIZE_T committed;
};

DWORD GdiObjects() {
    if (const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS)) return counted;
    DWORD live = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
    }
    return live;
}

DWORD UserObjects() {
    if (const DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS)) return counted;
    DWORD live = 0;
    for (ULONG_PTR index = 0x20; index <= 0xFFFF; index += 2) {  // Wine's USER handles are even
        DWORD process = 0;
        const auto hWnd = reinterpret_cast<HWND>(index);
        if (::IsWindow(hWnd) && ::GetWindowThreadProcessId(hWnd, &process) != 0 && process == ::GetCurrentProcessId()) {
            ++live;
        }
        if (::IsMenu(reinterpret_cast<HMENU>(index))) ++live;
    }
    return live;
}

SIZE_T Committed() {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);
    return memory.PagefileUsage;
}

Usage Measure() {
    return {GdiObjects(), UserObjects(), Committed()};
}

// What the committed memory grows by in each run of kWindow batches in a row, in order. A leak
// grows it in every window; the system's one-off allocations (a cache filled, a heap's next
// region) land in one or two.
constexpr std::size_t kWindow = 10;

std::vector<long long> WindowGrowths(const std::vector<SIZE_T>& samples) {
    std::vector<long long> growths;
    for (std::size_t i = kWindow; i < samples.size(); i += kWindow) {
        growths.push_back(static_cast<long long>(samples[i]) - static_cast<long long>(samples[i - kWindow]));
    }
    return growths;
}

// A storm larger than the test command's prints its figures at each tenth, for a long session's
// growth to be seen as it builds up.
constexpr std::size_t kTestCommandSize = 100000;

void PrintTenth(std::size_t posted, DWORD started) {
    const Usage now = Measure();
    std::printf("soak: %zu key messages, %.1f s: GDI objects %lu, USER objects %lu, committed memory %zu KiB\n", posted,
                (::GetTickCount() - started) / 1000.0, now.gdi, now.user, static_cast<std::size_t>(now.committed / 1024));
    std::fflush(stdout);
}

TEST(Soak, RandomKeyStormsLeaveEveryKeyAsItsLastEventSaysAndLeakNothing) {
    const std::size_t total = SoakSize();
    constexpr std::size_t kBatch = 1000;
    constexpr UINT kKinds[] = {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP};
    std::mt19937 random(20261208);
    LampModel model;
    std::size_t posted = 0;
    int aboutRuns = 0, minimises = 0;
    Usage before{}, after{};
    std::vector<SIZE_T> committed;  // before each batch from the tenth on, and at the end
    const DWORD started = ::GetTickCount();

    const std::size_t tenth = total > kTestCommandSize ? total / kBatch / 10 : 0;  // in batches
    Steps steps;
    for (std::size_t batch = 0; batch * kBatch < total; ++batch) {
        if (tenth != 0 && batch % tenth == 0) steps.push_back([&, batch] { PrintTenth(batch * kBatch, started); });
        // Measured once the first About run and minimise are behind, so one-off allocations of
        // the system's are not counted as growth.
        if (batch == 10) steps.push_back([&] { before = Measure(); });
        steps.push_back([&, batch] {
            if (batch >= 10) committed.push_back(Committed());
            HWND hDlg = Dialog();
            for (std::size_t i = 0; i < kBatch && posted < total; ++i, ++posted) {
                const UINT message = kKinds[random() % 4];
                // Half the codes in the byte range where the keys are, half anything at all; half
                // the parameters shaped like real ones (a scan code, maybe extended), half noise.
                const WPARAM wParam = random() % 2 ? random() % 256 : random();
                const LPARAM lParam =
                    random() % 2 ? KeyParam(random() % 0x80, message == WM_KEYUP || message == WM_SYSKEYUP,
                                            message >= WM_SYSKEYDOWN, random() % 2)
                                 : static_cast<LPARAM>(random());
                // Most go to the dialog, the rest to a key button, as when one has the focus.
                HWND target = random() % 4 ? hDlg : ::GetDlgItem(hDlg, kKeys[random() % kKeyCount].id);
                ::PostMessageA(target, message, wParam, lParam);
                model.Apply(message, wParam, lParam);
            }
        });
        if (batch % 10 == 5) {
            steps.push_back([&] { ::PostMessageA(Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0); });
            steps.push_back([&] {
                if (FindAboutBox() != nullptr) ++aboutRuns;
                PostKey(::GetFocus(), WM_KEYDOWN, VK_RETURN, KeyParam(0x1C, false));
            });
        }
        if (batch % 10 == 8) {
            steps.push_back([&] {
                ::ShowWindow(Dialog(), SW_MINIMIZE);
                minimises += ::IsIconic(Dialog()) ? 1 : 0;
            });
            steps.push_back([] { ::ShowWindow(Dialog(), SW_RESTORE); });
        }
    }
    steps.push_back([&] {
        EXPECT_EQ(FindAboutBox(), nullptr);
        EXPECT_FALSE(::IsIconic(Dialog()));
        EXPECT_EQ(LitKeys(), model.LitKeys());
        ::RedrawWindow(Dialog(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
        after = Measure();
        committed.push_back(after.committed);
        if (tenth != 0) PrintTenth(posted, started);
    });

    EXPECT_FALSE(RunTester(std::move(steps)));
    const double seconds = (::GetTickCount() - started) / 1000.0;
    EXPECT_EQ(posted, total);
    if (total > 6 * kBatch) {
        EXPECT_GT(aboutRuns, 0);
    }
    EXPECT_GT(before.gdi, 0u) << "the GDI objects are not counted";
    EXPECT_GT(before.user, 0u) << "the USER objects are not counted";
    EXPECT_EQ(after.gdi, before.gdi) << "GDI objects";
    EXPECT_EQ(after.user, before.user) << "USER objects";
    // 10,000 key messages a window: a leak of a byte a message shows as 10 KB in each.
    std::vector<long long> growths = WindowGrowths(committed);
    std::sort(growths.begin(), growths.end());
    const long long medianGrowth = growths.empty() ? 0 : growths[growths.size() / 2];
    if (growths.size() >= 3) {
        EXPECT_LT(medianGrowth, 64 * 1024) << "committed memory grew by " << medianGrowth << " bytes in half of the "
                                           << growths.size() << " windows of " << kWindow * kBatch << " key messages";
    }
    std::printf("soak: %zu key messages in %.1f s (%.0f per second), %d About runs, %d minimise/restore, "
                "GDI objects %lu -> %lu, USER objects %lu -> %lu, committed memory %zu -> %zu KiB "
                "(growth per %zu messages: median %lld, most %lld bytes), lit at the end: %zu\n",
                posted, seconds, static_cast<double>(posted) / (seconds > 0 ? seconds : 1), aboutRuns, minimises, before.gdi, after.gdi,
                before.user, after.user, static_cast<std::size_t>(before.committed / 1024),
                static_cast<std::size_t>(after.committed / 1024), kWindow * kBatch, medianGrowth,
                growths.empty() ? 0 : growths.back(), model.LitKeys().size());
}

TEST(Repaints, EachLampChangeDrawsItsKeyOnceAndAutoRepeatDrawsNothing) {
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

    Steps steps = {[&] { draws.clear(); }};  // the dialog's first paint
    for (const KeyFacts& key : kCodedKeys) {  // the modifiers go by the system's names; see the router tests
        PressCheckRelease(
            steps, key, false,
            [&, key] {
                const int pressDraws = drawsOf(key.id);
                changeDraws += pressDraws;
                EXPECT_EQ(pressDraws, 1) << "press of key " << key.id;
                for (int i = 0; i < kRepeats; ++i) {
                    PostKey(Dialog(), WM_KEYDOWN, key.virtualKey, KeyParam(key.scan, false, false, key.extended) | 1 << 30);
                }
            },
            [&, key] {
                const int releaseDraws = drawsOf(key.id);
                changeDraws += releaseDraws;
                EXPECT_EQ(releaseDraws, 1) << "auto-repeat and release of key " << key.id;
                ++keysTested;
            });
    }
    EXPECT_FALSE(RunTester(std::move(steps)));
    EXPECT_EQ(keysTested, 75);
    EXPECT_EQ(changeDraws, 2 * keysTested);
    EXPECT_EQ(otherDraws, 0);
    std::printf("repaints: %d keys, %d lamp changes and %d auto-repeats drew %d times, other keys drew %d times\n",
                keysTested, 2 * keysTested, kRepeats * keysTested, changeDraws, otherDraws);
}

}  // namespace
