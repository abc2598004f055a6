// The scan-code key names, as the program uses them where the system's names cannot tell left
// from right, and the names Wine gives the keys it places on spare scan codes.
#include "key_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "key_message.h"
#include "routed_lamps.h"

using namespace key_message;
using namespace testing_support;

namespace {

std::string ScanName(std::int32_t keyParam) {
    char name[50] = {};
    const int length = ScanCodeKeyName(keyParam, name, sizeof name);
    EXPECT_EQ(length, static_cast<int>(std::strlen(name)));
    return name;
}

TEST(ScanCodeKeyName, NamesTheEightModifiersAndNothingElse) {
    std::string names[2][256];
    names[0][0x38] = "Alt";
    names[1][0x38] = "Right Alt";
    names[0][0x2A] = "Shift";
    names[0][0x36] = names[1][0x36] = "Right Shift";
    names[0][0x1D] = "Ctrl";
    names[1][0x1D] = "Right Ctrl";
    names[1][0x5B] = "Left Windows";
    names[1][0x5C] = "Right Windows";
    // Repeat count, previous-state, transition and context bits take no part.
    for (std::uint32_t other : {0x00000000u, 0x00000001u, 0x0000FFFFu, 0x20000000u, 0x40000001u, 0xC0000001u,
                                0xFE00FFFFu}) {
        for (unsigned extended = 0; extended < 2; ++extended) {
            for (unsigned scan = 0; scan < 256; ++scan) {
                const auto param = static_cast<std::int32_t>((other & ~0x01FF0000u) | scan << 16 | extended << 24);
                EXPECT_EQ(ScanName(param), names[extended][scan])
                    << std::hex << "scan " << scan << " extended " << extended << " bits " << other;
            }
        }
    }
}

// `name` writes nothing where there is no room (size 0 or `negative`), and `full` cut to size into
// buffers of up to 2 bytes more than it needs, on the heap: AddressSanitizer reports a byte past.
void ExpectNothingPastTheSize(const std::function<int(char*, int)>& name, const std::string& full, int negative) {
    EXPECT_EQ(name(nullptr, 50), 0);
    char untouched = 'u';
    EXPECT_EQ(name(&untouched, 0), 0);
    EXPECT_EQ(name(&untouched, negative), 0);
    EXPECT_EQ(untouched, 'u');
    const int longest = static_cast<int>(full.size());
    for (int size = 1; size <= longest + 2; ++size) {
        const auto buffer = std::make_unique<char[]>(static_cast<std::size_t>(size));
        std::memset(buffer.get(), 'x', static_cast<std::size_t>(size));
        const int length = name(buffer.get(), size);
        EXPECT_EQ(length, size - 1 < longest ? size - 1 : longest) << size;
        EXPECT_EQ(std::string(buffer.get()), full.substr(0, static_cast<std::size_t>(length)));
    }
}

TEST(ScanCodeKeyName, WritesNothingPastTheGivenSize) {
    // Right Windows has the longest name.
    ExpectNothingPastTheSize([](char* buffer, int size) { return ScanCodeKeyName(Param(0x5C, true), buffer, size); },
                             "Right Windows", -5);
    char empty[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(ScanCodeKeyName(Param(0x1E), empty, sizeof empty), 0);
    EXPECT_EQ(empty[0], '\0') << "an unnamed key gets the empty text";
}

TEST(ScanCodeKeyName, LightsEachModifierFromTheParametersWineDelivers) {
    // The second parameters of WM_KEYDOWN / WM_SYSKEYDOWN as Wine's X11 driver sends them.
    struct Case { std::uint32_t message, vk, param; std::uint16_t id; };
    const Case cases[] = {{kKeyDown, 16, 0x002A0001, 1054},    {kKeyDown, 16, 0x00360001, 1062},
                          {kKeyDown, 16, 0x01360001, 1062},    {kKeyDown, 17, 0x001D0001, 1055},
                          {kKeyDown, 17, 0x011D0001, 1061},    {kSysKeyDown, 18, 0x20380001, 1057},
                          {kSysKeyDown, 18, 0x21380001, 1059}, {kKeyDown, 91, 0x015B0001, 1056},
                          {kKeyDown, 92, 0x015C0001, 1060},    {kKeyUp, 17, 0xC11D0001, 1061},
                          {kSysKeyUp, 18, 0xE1380001, 1059}};
    for (const Case& c : cases) {
        EXPECT_EQ(Route(c.message, c.vk, static_cast<std::int32_t>(c.param), ScanCodeKeyName), Ids{c.id})
            << std::hex << c.param;
    }
    // Every other key lights by its code alone.
    EXPECT_EQ(Route(kKeyDown, 65, Param(0x1E), ScanCodeKeyName), Ids{1001});
    EXPECT_EQ(Route(kKeyDown, 13, Param(0x1C, true), ScanCodeKeyName), Ids{1070});
    EXPECT_TRUE(Route(kKeyDown, 93, Param(0x5D, true), ScanCodeKeyName).empty());
}

// Wine's GetKeyNameTextA for the AltGr tests: answers wineName for every key and counts how
// often it is asked.
const char* wineName = "";
int wineCalls = 0;

int FakeWineSystemName(std::int32_t, char* buffer, int size) {
    ++wineCalls;
    return CopyCut(wineName, buffer, size);
}

int WineNames(std::int32_t keyParam, char* buffer, int size) {
    return WineKeyName(keyParam, FakeWineSystemName, buffer, size);
}

std::string WineName(std::int32_t keyParam, const char* systemName) {
    wineName = systemName;
    char name[50] = {};
    const int length = WineNames(keyParam, name, sizeof name);
    EXPECT_EQ(length, static_cast<int>(std::strlen(name)));
    return name;
}

TEST(ScanCodeKeyName, AltGrUnderWineLightsTheRightAltWhateverItsSpareScanCode) {
    // AltGr as Wine sends it: VK 0xE4, not extended, the scan code of the layout (de, fr, gb, and
    // de in a locale where Wine recognises the layout), down and up.
    for (std::uint32_t param : {0x00680001u, 0x00690001u, 0x00630001u, 0x00640001u}) {
        for (const char* keysym : {"ISO_Level3_Shift", "Mode_switch"}) {
            wineName = keysym;
            EXPECT_EQ(Route(kKeyDown, 0xE4, static_cast<std::int32_t>(param), WineNames), Ids{1059})
                << keysym << std::hex << " " << param;
            EXPECT_EQ(Route(kKeyUp, 0xE4, static_cast<std::int32_t>(param | 0xC0000000u), WineNames), Ids{1059});
        }
    }
    // Any other name of a spare scan code lights nothing: near misses, other level keys, and a
    // long name that a buffer one byte longer than "ISO_Level3_Shift" would cut to it.
    for (const char* other : {"", "ISO_Level3_Shif", "ISO_Level3_Shift ", "iso_level3_shift", "ISO_Level3_Latch",
                              "ISO_Level5_Shift", "Mode_switchX", "Alt_R", "Right Alt ",
                              "ISO_Level3_Shift_and_then_some_more"}) {
        wineName = other;
        EXPECT_TRUE(Route(kKeyDown, 0xE4, 0x00680001, WineNames).empty()) << other;
    }
}

TEST(ScanCodeKeyName, WineIsAskedOnlyForSpareScanCodes) {
    // Even a system that calls every key AltGr changes no name below 0x60: those keys are not
    // asked about at all, so the keys Wine places cost no call.
    wineCalls = 0;
    for (unsigned extended = 0; extended < 2; ++extended) {
        for (unsigned scan = 0; scan < 0x60; ++scan) {
            const std::int32_t param = Param(scan, extended != 0);
            EXPECT_EQ(WineName(param, "ISO_Level3_Shift"), ScanName(param)) << std::hex << scan;
        }
    }
    EXPECT_EQ(wineCalls, 0);
    for (unsigned scan = 0x60; scan < 0x100; ++scan) {
        EXPECT_EQ(WineName(Param(scan), "Mode_switch"), "Right Alt") << std::hex << scan;
        EXPECT_EQ(WineName(Param(scan), "ssharp"), "") << std::hex << scan;
    }
    EXPECT_EQ(wineCalls, 2 * 0xA0);
}

TEST(ScanCodeKeyName, WineNamesWriteNothingPastTheGivenSize) {
    wineName = "ISO_Level3_Shift";
    wineCalls = 0;
    const auto altGr = [](char* buffer, int size) { return WineKeyName(0x00680001, FakeWineSystemName, buffer, size); };
    ExpectNothingPastTheSize(altGr, "Right Alt", -1);
    EXPECT_EQ(wineCalls, 11) << "one question a buffer, none where there is nothing to write";
}

// A system's key names as the program first meets them: the left and the right Shift key's.
const char* leftShiftName = "";
const char* rightShiftName = "";
std::int32_t askedMore = 0;  // a parameter asked about other than the two Shift keys', or 0

int ShiftNames(std::int32_t keyParam, char* buffer, int size) {
    const unsigned scan = static_cast<std::uint32_t>(keyParam) >> 16 & 0x1FFu;
    if (scan != 0x2A && scan != 0x36) askedMore = keyParam;
    return CopyCut(scan == 0x2A ? leftShiftName : scan == 0x36 ? rightShiftName : "", buffer, size);
}

TEST(ChooseKeyNames, ScanCodeNamesOnlyWhereTheSystemNamesBothShiftKeysAlike) {
    struct Case { const char* left; const char* right; KeyNames chosen; };
    const Case cases[] = {
        {"Shift", "Right Shift", KeyNames::kSystem},         // Windows, US English; Wine's null driver
        {"Umschalt", "Umschalt rechts", KeyNames::kSystem},  // Windows, German: the modifiers stay dark
        {"Shift_L", "Shift_R", KeyNames::kSystem},           // apart, if not in Windows' words
        {"Shift", "Shift", KeyNames::kScanCode},             // Wine's X11 driver
        {"", "", KeyNames::kScanCode},                       // a service that names nothing
        {"Right Shift", "Right Shift", KeyNames::kScanCode},
    };
    for (const Case& c : cases) {
        leftShiftName = c.left, rightShiftName = c.right, askedMore = 0;
        EXPECT_EQ(ChooseKeyNames(ShiftNames), c.chosen) << c.left << " / " << c.right;
        EXPECT_EQ(askedMore, 0) << std::hex << askedMore;
    }
}

}  // namespace
