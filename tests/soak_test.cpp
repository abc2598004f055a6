// The running dialog under a storm of input: random key messages of all four kinds with any
// parameters, interleaved with the About box and minimise/restore. Figures are printed;
// ZQ_SOAK_MESSAGES sets the storm's size.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "key_table.h"
#include "resource.h"
#include "dialog_fixture.h"

using namespace testing_support;

namespace {

using Soak = DialogTest;

// The modifier a key message names where the program runs. On Windows: the system's own name,
// which for a noisy parameter may be the other side's (bit 25 asks for no left or right). Under
// Wine, the scan-code names the program takes there, with Wine's two additions: a right Shift
// flagged extended, and AltGr under a spare scan code (0x60 up) that Wine names after its keysym.
struct ModifierName {
    int id;
    const char* name;
};
constexpr ModifierName kWindowsNames[] = {
    {1057, "Alt"},  {1059, "Right Alt"},  {1054, "Shift"},        {1062, "Right Shift"},
    {1055, "Ctrl"}, {1061, "Right Ctrl"}, {1056, "Left Windows"}, {1060, "Right Windows"},
};

std::string SystemName(LPARAM keyParam) {
    char name[32] = {};
    ::GetKeyNameTextA(static_cast<LONG>(keyParam), name, sizeof name);
    return name;
}

int KeyNamed(LPARAM keyParam) {
    if (!UnderWine()) {
        const std::string name = SystemName(keyParam);
        for (const ModifierName& modifier : kWindowsNames) {
            if (name == modifier.name) return modifier.id;
        }
        return 0;
    }
    const UINT scan = static_cast<UINT>(keyParam >> 16) & 0xFFu;
    const bool extended = (keyParam >> 24 & 1) != 0;
    if (scan == 0x36 && extended) return 1062;
    if (scan >= 0x60) {
        const std::string name = SystemName(keyParam);
        if (name == "ISO_Level3_Shift" || name == "Mode_switch") return 1059;
    }
    const KeyFacts* key = ModifierAt(scan, extended);
    return key != nullptr ? key->id : 0;
}

// GDI and USER objects the process holds, and the memory it has committed. Under Wine,
// GetGuiResources answers 0, but its handle tables answer for a handle given by its index alone.
struct Usage {
    DWORD gdi, user;
    SIZE_T committed;
};

DWORD GdiObjects() {
    if (!UnderWine()) return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD live = 0;
    for (ULONG_PTR index = 1; index <= 0xFFFF; ++index) {
        if (::GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++live;
    }
    return live;
}

DWORD UserObjects() {
    if (!UnderWine()) return ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
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

TEST_F(Soak, RandomKeyStormsLeaveEveryKeyAsItsLastEventSaysAndLeakNothing) {
    const char* size = std::getenv("ZQ_SOAK_MESSAGES");
    const std::size_t total = size != nullptr ? static_cast<std::size_t>(std::strtoul(size, nullptr, 10)) : 100000;
    constexpr std::size_t kBatch = 1000;
    constexpr UINT kKinds[] = {WM_KEYDOWN, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP};
    std::mt19937 random(20261208);
    std::set<int> modelLit;  // the last event seen for each key decides how it must look in the end
    std::size_t posted = 0;
    int aboutRuns = 0, minimises = 0;
    Usage before{}, after{};
    std::vector<SIZE_T> committed;  // before each batch from the tenth on, and at the end
    const DWORD started = ::GetTickCount();

    // A storm larger than the test command's prints its figures at each tenth, so that a long
    // session's growth shows as it builds up.
    const std::size_t tenth = total > 100000 ? total / kBatch / 10 : 0;  // in batches
    const auto printFigures = [&](std::size_t messages) {
        std::printf("soak: %zu key messages, %.1f s: GDI objects %lu, USER objects %lu, committed memory %zu KiB\n",
                    messages, (::GetTickCount() - started) / 1000.0, GdiObjects(), UserObjects(),
                    static_cast<std::size_t>(Committed() / 1024));
        std::fflush(stdout);
    };

    HWND hDlg = Dialog();
    for (std::size_t batch = 0; batch * kBatch < total; ++batch) {
        if (tenth != 0 && batch % tenth == 0) printFigures(posted);
        // Measured once the first About run and minimise are behind, so one-off allocations of
        // the system's are not counted as growth.
        if (batch == 10) before = {GdiObjects(), UserObjects(), Committed()};
        if (batch >= 10) committed.push_back(Committed());
        for (std::size_t i = 0; i < kBatch && posted < total; ++i, ++posted) {
            const UINT message = kKinds[random() % 4];
            // Half the codes in the byte range where the keys are, half anything at all; half
            // the parameters shaped like real ones (a scan code, maybe extended), half noise.
            const WPARAM wParam = random() % 2 ? random() % 256 : random();
            const bool up = message == WM_KEYUP || message == WM_SYSKEYUP;
            const LPARAM lParam = random() % 2 ? key_message::Param(random() % 0x80, random() % 2, up, message >= WM_SYSKEYDOWN)
                                               : static_cast<LPARAM>(random());
            // Most go to the dialog, the rest to a key button, as when one has the focus.
            HWND target = random() % 4 ? hDlg : ::GetDlgItem(hDlg, kKeys[random() % kKeyCount].id);
            ::PostMessageA(target, message, wParam, lParam);
            const KeyFacts* coded = KeyWithCode(wParam);
            for (const int id : {KeyNamed(lParam), coded != nullptr ? coded->id : 0}) {
                if (id != 0 && !up) modelLit.insert(id);
                if (id != 0 && up) modelLit.erase(id);
            }
        }
        Settle();
        if (batch % 10 == 5) {
            ::PostMessageA(hDlg, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
            Settle();
            if (ThreadWindowTitled("About") != nullptr) ++aboutRuns;
            Post(*KeyWithCode(VK_RETURN), false, false, ::GetFocus());
            Settle();
        }
        if (batch % 10 == 8) {
            ::ShowWindow(hDlg, SW_MINIMIZE);
            minimises += ::IsIconic(hDlg) ? 1 : 0;
            Settle();
            ::ShowWindow(hDlg, SW_RESTORE);
            Settle();
        }
    }
    EXPECT_EQ(ThreadWindowTitled("About"), nullptr);
    EXPECT_FALSE(::IsIconic(hDlg));
    EXPECT_EQ(LitKeys(), std::vector<int>(modelLit.begin(), modelLit.end()));
    ::RedrawWindow(hDlg, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    after = {GdiObjects(), UserObjects(), Committed()};
    committed.push_back(after.committed);
    if (tenth != 0) printFigures(posted);

    const double seconds = (::GetTickCount() - started) / 1000.0;
    EXPECT_EQ(posted, total);
    if (total > 6 * kBatch) {
        EXPECT_GT(aboutRuns, 0);
    }
    EXPECT_GT(before.gdi, 0u) << "the GDI objects are not counted";
    EXPECT_GT(before.user, 0u) << "the USER objects are not counted";
    EXPECT_EQ(after.gdi, before.gdi) << "GDI objects";
    EXPECT_EQ(after.user, before.user) << "USER objects";
    // What the committed memory grows by in each run of kWindow batches in a row. A leak grows it
    // in every window, 10 KB for a byte a message; the system's one-off allocations (a cache
    // filled, a heap's next region) land in one or two.
    constexpr std::size_t kWindow = 10;
    std::vector<long long> growths;
    for (std::size_t i = kWindow; i < committed.size(); i += kWindow) {
        growths.push_back(static_cast<long long>(committed[i]) - static_cast<long long>(committed[i - kWindow]));
    }
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
                growths.empty() ? 0 : growths.back(), modelLit.size());
}

}  // namespace
