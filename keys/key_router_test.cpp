#include "key_router.h"
#include "key_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr std::uint32_t WM_KEYDOWN_ = 0x100;
constexpr std::uint32_t WM_KEYUP_ = 0x101;
constexpr std::uint32_t WM_CHAR_ = 0x102;
constexpr std::uint32_t WM_SYSKEYDOWN_ = 0x104;
constexpr std::uint32_t WM_SYSKEYUP_ = 0x105;

// The key-message parameter as the system builds it: repeat count, scan code, extended flag.
std::int32_t KeyParam(unsigned scan, bool extended = false) {
    return static_cast<std::int32_t>(1u | (scan & 0xFFu) << 16 | (extended ? 1u << 24 : 0u));
}

// Copies as GetKeyNameTextA does: cut to `size` bytes, terminating zero included.
int CopyCut(const char* name, char* buffer, int size) {
    const int length = static_cast<int>(std::strlen(name));
    if (size <= 0) return 0;
    const int copied = length < size ? length : size - 1;
    std::memcpy(buffer, name, static_cast<std::size_t>(copied));
    buffer[copied] = '\0';
    return copied;
}

// What GetKeyNameTextA answers with a US-English layout for these scan codes.
int UsEnglishKeyName(std::int32_t keyParam, char* buffer, int size) {
    const unsigned scan = (static_cast<unsigned>(keyParam) >> 16) & 0xFFu;
    const bool extended = (static_cast<unsigned>(keyParam) >> 24) & 1u;
    const char* name = "";
    switch (scan) {
    case 0x01: name = "Esc"; break;
    case 0x0F: name = "Tab"; break;
    case 0x1C: name = extended ? "Num Enter" : "Enter"; break;
    case 0x1D: name = extended ? "Right Ctrl" : "Ctrl"; break;
    case 0x1E: name = "A"; break;
    case 0x2A: name = "Shift"; break;
    case 0x36: name = "Right Shift"; break;
    case 0x38: name = extended ? "Right Alt" : "Alt"; break;
    case 0x39: name = "Space"; break;
    case 0x3B: name = "F1"; break;
    case 0x3E: name = "F4"; break;
    case 0x45: name = extended ? "Num Lock" : "Pause"; break;
    case 0x47: name = extended ? "Home" : "Num 7"; break;
    case 0x5B: name = extended ? "Left Windows" : ""; break;
    case 0x5C: name = extended ? "Right Windows" : ""; break;
    case 0x5D: name = extended ? "Application" : ""; break;
    default: break;
    }
    return CopyCut(name, buffer, size);
}

struct LampCall {
    std::uint16_t id;
    std::uint8_t red, green, blue, lit;
};

class RecordingLamps : public KeyLampSink {
public:
    void SetLamp(const KeyEntry& key, std::uint8_t red, std::uint8_t green, std::uint8_t blue,
                 std::uint8_t lit) override {
        calls.push_back({key.id, red, green, blue, lit});
    }
    std::vector<std::uint16_t> Ids() const {
        std::vector<std::uint16_t> ids;
        for (const LampCall& c : calls) ids.push_back(c.id);
        return ids;
    }
    std::vector<LampCall> calls;
};

using Ids = std::vector<std::uint16_t>;

Ids Route(std::uint32_t message, std::uint32_t vk, std::int32_t keyParam, KeyNameFunction names = UsEnglishKeyName,
          bool* handled = nullptr) {
    RecordingLamps lamps;
    const bool result = RouteKeyMessage(message, vk, keyParam, names, lamps);
    if (handled != nullptr) *handled = result;
    return lamps.Ids();
}

TEST(KeyRouter, DownLightsGreenAndUpClearsKeepingTheColour) {
    for (std::uint32_t message : {WM_KEYDOWN_, WM_SYSKEYDOWN_, WM_KEYUP_, WM_SYSKEYUP_}) {
        RecordingLamps lamps;
        EXPECT_TRUE(RouteKeyMessage(message, 65, KeyParam(0x1E), UsEnglishKeyName, lamps));
        ASSERT_EQ(lamps.calls.size(), 1u) << message;
        const LampCall& c = lamps.calls[0];
        EXPECT_EQ(c.id, 1001);
        EXPECT_EQ(c.red, 0);
        EXPECT_EQ(c.green, 255);
        EXPECT_EQ(c.blue, 0);
        const bool down = message == WM_KEYDOWN_ || message == WM_SYSKEYDOWN_;
        EXPECT_EQ(c.lit, down ? 1 : 0) << message;
    }
}

TEST(KeyRouter, ModifiersAreToldApartByTheirNames) {
    EXPECT_EQ(Route(WM_KEYDOWN_, 16, KeyParam(0x2A)), Ids{1054});
    EXPECT_EQ(Route(WM_KEYDOWN_, 16, KeyParam(0x36)), Ids{1062});
    EXPECT_EQ(Route(WM_KEYDOWN_, 17, KeyParam(0x1D)), Ids{1055});
    EXPECT_EQ(Route(WM_KEYDOWN_, 17, KeyParam(0x1D, true)), Ids{1061});
    EXPECT_EQ(Route(WM_SYSKEYDOWN_, 18, KeyParam(0x38)), Ids{1057});
    EXPECT_EQ(Route(WM_SYSKEYDOWN_, 18, KeyParam(0x38, true)), Ids{1059});
    EXPECT_EQ(Route(WM_KEYDOWN_, 91, KeyParam(0x5B, true)), Ids{1056});
    EXPECT_EQ(Route(WM_KEYDOWN_, 92, KeyParam(0x5C, true)), Ids{1060});
    EXPECT_EQ(Route(WM_KEYUP_, 17, KeyParam(0x1D, true)), Ids{1061});
    EXPECT_EQ(Route(WM_SYSKEYUP_, 18, KeyParam(0x38)), Ids{1057});
}

TEST(KeyRouter, NameMatchComesFirstThenTheCodeCanLightASecondKey) {
    // A message whose name is a modifier's and whose code is a table key lights both, in order.
    RecordingLamps lamps;
    EXPECT_TRUE(RouteKeyMessage(WM_KEYDOWN_, 13, KeyParam(0x36), UsEnglishKeyName, lamps));
    EXPECT_EQ(lamps.Ids(), (Ids{1062, 1070}));
}

TEST(KeyRouter, KeysThatCloseOrNavigateAreLitAndConsumed) {
    bool handled = false;
    EXPECT_EQ(Route(WM_KEYDOWN_, 27, KeyParam(0x01), UsEnglishKeyName, &handled), Ids{1051});
    EXPECT_TRUE(handled);
    EXPECT_EQ(Route(WM_KEYDOWN_, 13, KeyParam(0x1C)), Ids{1070});
    EXPECT_EQ(Route(WM_KEYDOWN_, 9, KeyParam(0x0F)), Ids{1052});
    EXPECT_EQ(Route(WM_KEYDOWN_, 32, KeyParam(0x39)), Ids{1058});
    EXPECT_EQ(Route(WM_KEYDOWN_, 112, KeyParam(0x3B)), Ids{1039});
    // Alt+F4: the Alt press, then F4 as a system key.
    EXPECT_EQ(Route(WM_SYSKEYDOWN_, 18, KeyParam(0x38)), Ids{1057});
    EXPECT_EQ(Route(WM_SYSKEYDOWN_, 115, KeyParam(0x3E)), Ids{1042});
    // Keypad Enter and keypad Home (Num Lock off) send the main keys' codes.
    EXPECT_EQ(Route(WM_KEYDOWN_, 13, KeyParam(0x1C, true)), Ids{1070});
    EXPECT_EQ(Route(WM_KEYDOWN_, 36, KeyParam(0x47)), Ids{1079});
}

TEST(KeyRouter, KeysOutsideTheTableLightNothingButAreConsumed) {
    struct Case { std::uint32_t vk; std::int32_t param; };
    const Case cases[] = {{144, KeyParam(0x45, true)},  // Num Lock
                          {19, KeyParam(0x45)},         // Pause
                          {93, KeyParam(0x5D, true)},   // application menu
                          {103, KeyParam(0x47)},        // keypad 7
                          {0, 0},
                          {256, KeyParam(0x1E)},
                          {0x10041, KeyParam(0x1E)},
                          {0xFFFFFFFF, -1}};
    for (std::uint32_t message : {WM_KEYDOWN_, WM_KEYUP_, WM_SYSKEYDOWN_, WM_SYSKEYUP_}) {
        for (const Case& c : cases) {
            bool handled = false;
            EXPECT_TRUE(Route(message, c.vk, c.param, UsEnglishKeyName, &handled).empty()) << c.vk;
            EXPECT_TRUE(handled) << c.vk;
        }
    }
}

TEST(KeyRouter, OtherMessagesArePassedOnUntouched) {
    int asked = 0;
    static int* counter = nullptr;
    counter = &asked;
    auto countingNames = [](std::int32_t, char*, int) { return ++*counter, 0; };
    for (std::uint32_t message : {0u, WM_CHAR_, 0x103u, 0x106u, 0x0FFu, 0x102u, 0x200u, 0x201u, 0x10u,
                                  0x112u, 0x53u, 0x10100u, 0xFFFFFFFFu}) {
        bool handled = true;
        EXPECT_TRUE(Route(message, 65, KeyParam(0x1E), countingNames, &handled).empty());
        EXPECT_FALSE(handled) << "message " << message;
    }
    EXPECT_EQ(asked, 0) << "the key-name service is asked only about key messages";
}

TEST(KeyRouter, ForeignLayoutNamesLightNoModifierButCodesStillWork) {
    auto germanNames = [](std::int32_t keyParam, char* buffer, int) {
        const unsigned scan = (static_cast<unsigned>(keyParam) >> 16) & 0xFFu;
        const char* name = scan == 0x2A ? "Umschalt" : scan == 0x1D ? "Strg" : scan == 0x38 ? "Alt Gr" : "A";
        std::strcpy(buffer, name);
        return static_cast<int>(std::strlen(name));
    };
    EXPECT_TRUE(Route(WM_KEYDOWN_, 16, KeyParam(0x2A), germanNames).empty());
    EXPECT_TRUE(Route(WM_KEYDOWN_, 17, KeyParam(0x1D), germanNames).empty());
    EXPECT_EQ(Route(WM_KEYDOWN_, 65, KeyParam(0x1E), germanNames), Ids{1001});
}

TEST(KeyRouter, AFailingOrSilentNameServiceLeavesOnlyTheCode) {
    auto failing = [](std::int32_t, char* buffer, int) { return buffer[0] = '\0', 0; };
    auto silent = [](std::int32_t, char*, int) { return 0; };
    EXPECT_EQ(Route(WM_KEYDOWN_, 65, KeyParam(0x1E), failing), Ids{1001});
    EXPECT_EQ(Route(WM_KEYDOWN_, 65, KeyParam(0x1E), silent), Ids{1001});
    EXPECT_TRUE(Route(WM_KEYDOWN_, 16, KeyParam(0x36), silent).empty());
}

TEST(KeyRouter, LongAndUnterminatedNamesStayInsideTheBuffer) {
    // Exactly what the size allows: 49 bytes and the terminating zero.
    auto longest = [](std::int32_t, char* buffer, int size) {
        EXPECT_EQ(size, 50);
        std::memset(buffer, 'x', static_cast<std::size_t>(size - 1));
        buffer[size - 1] = '\0';
        return size - 1;
    };
    EXPECT_EQ(Route(WM_KEYDOWN_, 65, KeyParam(0x1E), longest), Ids{1001});
    // A service that ignores the terminator: the buffer still ends inside its 50 bytes
    // (AddressSanitizer would report a read past it).
    auto unterminated = [](std::int32_t, char* buffer, int size) {
        std::memcpy(buffer, "Right Shift", 11);
        std::memset(buffer + 11, 'y', static_cast<std::size_t>(size - 11));
        return size;
    };
    EXPECT_EQ(Route(WM_KEYDOWN_, 65, KeyParam(0x1E), unterminated), Ids{1001});
    // "Right Shift" followed by terminator-less padding is not "Right Shift".
    auto padded = [](std::int32_t, char* buffer, int size) {
        std::memset(buffer, ' ', static_cast<std::size_t>(size));
        std::memcpy(buffer, "Shift", 5);
        return size;
    };
    EXPECT_TRUE(Route(WM_KEYDOWN_, 16, KeyParam(0x2A), padded).empty());
}

TEST(KeyRouter, TheNameBufferIsZeroedForEveryMessage) {
    // A service that writes nothing must not see, or leave, the previous message's name.
    static bool firstCall = true;
    firstCall = true;
    auto onceOnly = [](std::int32_t, char* buffer, int) {
        EXPECT_EQ(buffer[0], '\0');
        if (firstCall) std::strcpy(buffer, "Right Shift");
        firstCall = false;
        return 0;
    };
    EXPECT_EQ(Route(WM_KEYDOWN_, 16, KeyParam(0x36), onceOnly), Ids{1062});
    EXPECT_TRUE(Route(WM_KEYDOWN_, 16, KeyParam(0x36), onceOnly).empty());
}

TEST(KeyRouter, TheKeyParameterReachesTheNameServiceUnchanged) {
    static std::int32_t seen = 0;
    auto recordParam = [](std::int32_t keyParam, char*, int) { return seen = keyParam, 0; };
    for (std::int32_t param : {0, -1, KeyParam(0x36), static_cast<std::int32_t>(0xC1360001u)}) {
        Route(WM_KEYUP_, 0, param, recordParam);
        EXPECT_EQ(seen, param);
    }
}

// ---------------------------------------------------------------------------------------------
// The scan-code key names, as the program uses them where the system's names cannot tell left
// from right.

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

TEST(ScanCodeKeyName, WritesNothingPastTheGivenSize) {
    const std::int32_t rightWindows = KeyParam(0x5C, true);  // the longest name, 13 bytes
    EXPECT_EQ(ScanCodeKeyName(rightWindows, nullptr, 50), 0);
    char untouched = 'u';
    EXPECT_EQ(ScanCodeKeyName(rightWindows, &untouched, 0), 0);
    EXPECT_EQ(ScanCodeKeyName(rightWindows, &untouched, -5), 0);
    EXPECT_EQ(untouched, 'u');
    // Buffers of exactly `size` bytes on the heap: AddressSanitizer reports any byte past them.
    for (int size = 1; size <= 15; ++size) {
        const auto buffer = std::make_unique<char[]>(static_cast<std::size_t>(size));
        std::memset(buffer.get(), 'x', static_cast<std::size_t>(size));
        const int length = ScanCodeKeyName(rightWindows, buffer.get(), size);
        EXPECT_EQ(length, size - 1 < 13 ? size - 1 : 13) << size;
        EXPECT_EQ(std::string(buffer.get()), std::string("Right Windows").substr(0, static_cast<std::size_t>(length)));
    }
    char empty[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(ScanCodeKeyName(KeyParam(0x1E), empty, sizeof empty), 0);
    EXPECT_EQ(empty[0], '\0') << "an unnamed key gets the empty text";
}

TEST(ScanCodeKeyName, LightsEachModifierFromTheParametersWineDelivers) {
    // The second parameters of WM_KEYDOWN / WM_SYSKEYDOWN as Wine's X11 driver sends them.
    struct Case { std::uint32_t message, vk, param; std::uint16_t id; };
    const Case cases[] = {{WM_KEYDOWN_, 16, 0x002A0001, 1054},    {WM_KEYDOWN_, 16, 0x00360001, 1062},
                          {WM_KEYDOWN_, 16, 0x01360001, 1062},    {WM_KEYDOWN_, 17, 0x001D0001, 1055},
                          {WM_KEYDOWN_, 17, 0x011D0001, 1061},    {WM_SYSKEYDOWN_, 18, 0x20380001, 1057},
                          {WM_SYSKEYDOWN_, 18, 0x21380001, 1059}, {WM_KEYDOWN_, 91, 0x015B0001, 1056},
                          {WM_KEYDOWN_, 92, 0x015C0001, 1060},    {WM_KEYUP_, 17, 0xC11D0001, 1061},
                          {WM_SYSKEYUP_, 18, 0xE1380001, 1059}};
    for (const Case& c : cases) {
        EXPECT_EQ(Route(c.message, c.vk, static_cast<std::int32_t>(c.param), ScanCodeKeyName), Ids{c.id})
            << std::hex << c.param;
    }
    // Every other key lights by its code alone.
    EXPECT_EQ(Route(WM_KEYDOWN_, 65, KeyParam(0x1E), ScanCodeKeyName), Ids{1001});
    EXPECT_EQ(Route(WM_KEYDOWN_, 13, KeyParam(0x1C, true), ScanCodeKeyName), Ids{1070});
    EXPECT_TRUE(Route(WM_KEYDOWN_, 93, KeyParam(0x5D, true), ScanCodeKeyName).empty());
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
            EXPECT_EQ(Route(WM_KEYDOWN_, 0xE4, static_cast<std::int32_t>(param), WineNames), Ids{1059})
                << keysym << std::hex << " " << param;
            EXPECT_EQ(Route(WM_KEYUP_, 0xE4, static_cast<std::int32_t>(param | 0xC0000000u), WineNames), Ids{1059});
        }
    }
    // Any other name of a spare scan code lights nothing: near misses, other level keys, and a
    // long name that a buffer one byte longer than "ISO_Level3_Shift" would cut to it.
    for (const char* other : {"", "ISO_Level3_Shif", "ISO_Level3_Shift ", "iso_level3_shift", "ISO_Level3_Latch",
                              "ISO_Level5_Shift", "Mode_switchX", "Alt_R", "Right Alt ",
                              "ISO_Level3_Shift_and_then_some_more"}) {
        wineName = other;
        EXPECT_TRUE(Route(WM_KEYDOWN_, 0xE4, 0x00680001, WineNames).empty()) << other;
    }
}

TEST(ScanCodeKeyName, WineIsAskedOnlyForSpareScanCodes) {
    // Even a system that calls every key AltGr changes no name below 0x60: those keys are not
    // asked about at all, so the keys Wine places cost no call.
    wineCalls = 0;
    for (unsigned extended = 0; extended < 2; ++extended) {
        for (unsigned scan = 0; scan < 0x60; ++scan) {
            const std::int32_t param = KeyParam(scan, extended != 0);
            EXPECT_EQ(WineName(param, "ISO_Level3_Shift"), ScanName(param)) << std::hex << scan;
        }
    }
    EXPECT_EQ(wineCalls, 0);
    for (unsigned scan = 0x60; scan < 0x100; ++scan) {
        EXPECT_EQ(WineName(KeyParam(scan), "Mode_switch"), "Right Alt") << std::hex << scan;
        EXPECT_EQ(WineName(KeyParam(scan), "ssharp"), "") << std::hex << scan;
    }
    EXPECT_EQ(wineCalls, 2 * 0xA0);
}

TEST(ScanCodeKeyName, WineNamesWriteNothingPastTheGivenSize) {
    const std::int32_t altGr = 0x00680001;
    wineName = "ISO_Level3_Shift";
    wineCalls = 0;
    EXPECT_EQ(WineKeyName(altGr, FakeWineSystemName, nullptr, 50), 0);
    char untouched = 'u';
    EXPECT_EQ(WineKeyName(altGr, FakeWineSystemName, &untouched, 0), 0);
    EXPECT_EQ(WineKeyName(altGr, FakeWineSystemName, &untouched, -1), 0);
    EXPECT_EQ(untouched, 'u');
    EXPECT_EQ(wineCalls, 0) << "nothing to write, nothing to ask";
    for (int size = 1; size <= 11; ++size) {
        const auto buffer = std::make_unique<char[]>(static_cast<std::size_t>(size));
        std::memset(buffer.get(), 'x', static_cast<std::size_t>(size));
        const int length = WineKeyName(altGr, FakeWineSystemName, buffer.get(), size);
        EXPECT_EQ(length, size - 1 < 9 ? size - 1 : 9) << size;
        EXPECT_EQ(std::string(buffer.get()), std::string("Right Alt").substr(0, static_cast<std::size_t>(length)));
    }
}

TEST(KeyEventOf, ClassifiesThePlainAndSystemVariantsAlike) {
    EXPECT_EQ(KeyEventOf(WM_KEYDOWN_), KeyEvent::Down);
    EXPECT_EQ(KeyEventOf(WM_SYSKEYDOWN_), KeyEvent::Down);
    EXPECT_EQ(KeyEventOf(WM_KEYUP_), KeyEvent::Up);
    EXPECT_EQ(KeyEventOf(WM_SYSKEYUP_), KeyEvent::Up);
    EXPECT_EQ(KeyEventOf(WM_CHAR_), KeyEvent::None);
    EXPECT_EQ(KeyEventOf(0x100 + 0x10000), KeyEvent::None);
}

}  // namespace
