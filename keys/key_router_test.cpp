#include "key_router.h"

#include <gtest/gtest.h>

#include <cstring>

#include "key_message.h"
#include "routed_lamps.h"

using namespace key_message;
using testing_support::CopyCut;
using testing_support::Ids;
using testing_support::LampCall;
using testing_support::RecordingLamps;

namespace {

constexpr std::uint32_t kChar = 0x102;  // WM_CHAR

// What GetKeyNameTextA answers with a US-English layout for these scan codes, plain and extended.
constexpr struct { unsigned scan; const char* plain; const char* extended; } kUsEnglishNames[] = {
    {0x01, "Esc", "Esc"},           {0x0F, "Tab", "Tab"},     {0x1C, "Enter", "Num Enter"}, {0x1D, "Ctrl", "Right Ctrl"},
    {0x1E, "A", "A"},               {0x2A, "Shift", "Shift"}, {0x38, "Alt", "Right Alt"},   {0x39, "Space", "Space"},
    {0x36, "Right Shift", "Right Shift"},                     {0x3B, "F1", "F1"},           {0x3E, "F4", "F4"},
    {0x45, "Pause", "Num Lock"},    {0x47, "Num 7", "Home"},  {0x5B, "", "Left Windows"},   {0x5C, "", "Right Windows"},
    {0x5D, "", "Application"}};

int UsEnglishKeyName(std::int32_t keyParam, char* buffer, int size) {
    const unsigned scan = (static_cast<unsigned>(keyParam) >> 16) & 0xFFu;
    const bool extended = (static_cast<unsigned>(keyParam) >> 24) & 1u;
    for (const auto& name : kUsEnglishNames) {
        if (name.scan == scan) return CopyCut(extended ? name.extended : name.plain, buffer, size);
    }
    return CopyCut("", buffer, size);
}

Ids Route(std::uint32_t message, std::uint32_t vk, std::int32_t keyParam, KeyNameFunction names = UsEnglishKeyName,
          bool* handled = nullptr) {
    return testing_support::Route(message, vk, keyParam, names, handled);
}

TEST(KeyRouter, DownLightsGreenAndUpClearsKeepingTheColour) {
    for (std::uint32_t message : {kKeyDown, kSysKeyDown, kKeyUp, kSysKeyUp}) {
        RecordingLamps lamps;
        EXPECT_TRUE(RouteKeyMessage(message, 65, Param(0x1E), UsEnglishKeyName, lamps));
        ASSERT_EQ(lamps.calls.size(), 1u) << message;
        const LampCall& c = lamps.calls[0];
        EXPECT_EQ(c.id, 1001);
        EXPECT_EQ(c.red, 0);
        EXPECT_EQ(c.green, 255);
        EXPECT_EQ(c.blue, 0);
        const bool down = message == kKeyDown || message == kSysKeyDown;
        EXPECT_EQ(c.lit, down ? 1 : 0) << message;
    }
}

TEST(KeyRouter, ModifiersAreToldApartByTheirNames) {
    EXPECT_EQ(Route(kKeyDown, 16, Param(0x2A)), Ids{1054});
    EXPECT_EQ(Route(kKeyDown, 16, Param(0x36)), Ids{1062});
    EXPECT_EQ(Route(kKeyDown, 17, Param(0x1D)), Ids{1055});
    EXPECT_EQ(Route(kKeyDown, 17, Param(0x1D, true)), Ids{1061});
    EXPECT_EQ(Route(kSysKeyDown, 18, Param(0x38)), Ids{1057});
    EXPECT_EQ(Route(kSysKeyDown, 18, Param(0x38, true)), Ids{1059});
    EXPECT_EQ(Route(kKeyDown, 91, Param(0x5B, true)), Ids{1056});
    EXPECT_EQ(Route(kKeyDown, 92, Param(0x5C, true)), Ids{1060});
    EXPECT_EQ(Route(kKeyUp, 17, Param(0x1D, true)), Ids{1061});
    EXPECT_EQ(Route(kSysKeyUp, 18, Param(0x38)), Ids{1057});
}

TEST(KeyRouter, NameMatchComesFirstThenTheCodeCanLightASecondKey) {
    // A message whose name is a modifier's and whose code is a table key lights both, in order.
    RecordingLamps lamps;
    EXPECT_TRUE(RouteKeyMessage(kKeyDown, 13, Param(0x36), UsEnglishKeyName, lamps));
    EXPECT_EQ(lamps.Ids(), (Ids{1062, 1070}));
}

TEST(KeyRouter, KeysThatCloseOrNavigateAreLitAndConsumed) {
    bool handled = false;
    EXPECT_EQ(Route(kKeyDown, 27, Param(0x01), UsEnglishKeyName, &handled), Ids{1051});
    EXPECT_TRUE(handled);
    EXPECT_EQ(Route(kKeyDown, 13, Param(0x1C)), Ids{1070});
    EXPECT_EQ(Route(kKeyDown, 9, Param(0x0F)), Ids{1052});
    EXPECT_EQ(Route(kKeyDown, 32, Param(0x39)), Ids{1058});
    EXPECT_EQ(Route(kKeyDown, 112, Param(0x3B)), Ids{1039});
    // Alt+F4: the Alt press, then F4 as a system key.
    EXPECT_EQ(Route(kSysKeyDown, 18, Param(0x38)), Ids{1057});
    EXPECT_EQ(Route(kSysKeyDown, 115, Param(0x3E)), Ids{1042});
    // Keypad Enter and keypad Home (Num Lock off) send the main keys' codes.
    EXPECT_EQ(Route(kKeyDown, 13, Param(0x1C, true)), Ids{1070});
    EXPECT_EQ(Route(kKeyDown, 36, Param(0x47)), Ids{1079});
}

TEST(KeyRouter, KeysOutsideTheTableLightNothingButAreConsumed) {
    struct Case { std::uint32_t vk; std::int32_t param; };
    const Case cases[] = {{144, Param(0x45, true)},  // Num Lock
                          {19, Param(0x45)},         // Pause
                          {93, Param(0x5D, true)},   // application menu
                          {103, Param(0x47)},        // keypad 7
                          {0, 0},
                          {256, Param(0x1E)},
                          {0x10041, Param(0x1E)},
                          {0xFFFFFFFF, -1}};
    for (std::uint32_t message : {kKeyDown, kKeyUp, kSysKeyDown, kSysKeyUp}) {
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
    for (std::uint32_t message : {0u, kChar, 0x103u, 0x106u, 0x0FFu, 0x102u, 0x200u, 0x201u, 0x10u,
                                  0x112u, 0x53u, 0x10100u, 0xFFFFFFFFu}) {
        bool handled = true;
        EXPECT_TRUE(Route(message, 65, Param(0x1E), countingNames, &handled).empty());
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
    EXPECT_TRUE(Route(kKeyDown, 16, Param(0x2A), germanNames).empty());
    EXPECT_TRUE(Route(kKeyDown, 17, Param(0x1D), germanNames).empty());
    EXPECT_EQ(Route(kKeyDown, 65, Param(0x1E), germanNames), Ids{1001});
}

TEST(KeyRouter, AFailingOrSilentNameServiceLeavesOnlyTheCode) {
    auto failing = [](std::int32_t, char* buffer, int) { return buffer[0] = '\0', 0; };
    auto silent = [](std::int32_t, char*, int) { return 0; };
    EXPECT_EQ(Route(kKeyDown, 65, Param(0x1E), failing), Ids{1001});
    EXPECT_EQ(Route(kKeyDown, 65, Param(0x1E), silent), Ids{1001});
    EXPECT_TRUE(Route(kKeyDown, 16, Param(0x36), silent).empty());
}

TEST(KeyRouter, LongAndUnterminatedNamesStayInsideTheBuffer) {
    // Exactly what the size allows: 49 bytes and the terminating zero.
    auto longest = [](std::int32_t, char* buffer, int size) {
        EXPECT_EQ(size, 50);
        std::memset(buffer, 'x', static_cast<std::size_t>(size - 1));
        buffer[size - 1] = '\0';
        return size - 1;
    };
    EXPECT_EQ(Route(kKeyDown, 65, Param(0x1E), longest), Ids{1001});
    // A service that ignores the terminator: the buffer still ends inside its 50 bytes
    // (AddressSanitizer would report a read past it).
    auto unterminated = [](std::int32_t, char* buffer, int size) {
        std::memcpy(buffer, "Right Shift", 11);
        std::memset(buffer + 11, 'y', static_cast<std::size_t>(size - 11));
        return size;
    };
    EXPECT_EQ(Route(kKeyDown, 65, Param(0x1E), unterminated), Ids{1001});
    // "Right Shift" followed by terminator-less padding is not "Right Shift".
    auto padded = [](std::int32_t, char* buffer, int size) {
        std::memset(buffer, ' ', static_cast<std::size_t>(size));
        std::memcpy(buffer, "Shift", 5);
        return size;
    };
    EXPECT_TRUE(Route(kKeyDown, 16, Param(0x2A), padded).empty());
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
    EXPECT_EQ(Route(kKeyDown, 16, Param(0x36), onceOnly), Ids{1062});
    EXPECT_TRUE(Route(kKeyDown, 16, Param(0x36), onceOnly).empty());
}

TEST(KeyRouter, TheKeyParameterReachesTheNameServiceUnchanged) {
    static std::int32_t seen = 0;
    auto recordParam = [](std::int32_t keyParam, char*, int) { return seen = keyParam, 0; };
    for (std::int32_t param : {0, -1, Param(0x36), static_cast<std::int32_t>(0xC1360001u)}) {
        Route(kKeyUp, 0, param, recordParam);
        EXPECT_EQ(seen, param);
    }
}

TEST(KeyRouter, KeyEventOfClassifiesThePlainAndSystemVariantsAlike) {
    EXPECT_EQ(KeyEventOf(kKeyDown), KeyEvent::Down);
    EXPECT_EQ(KeyEventOf(kSysKeyDown), KeyEvent::Down);
    EXPECT_EQ(KeyEventOf(kKeyUp), KeyEvent::Up);
    EXPECT_EQ(KeyEventOf(kSysKeyUp), KeyEvent::Up);
    EXPECT_EQ(KeyEventOf(kChar), KeyEvent::None);
    EXPECT_EQ(KeyEventOf(0x100 + 0x10000), KeyEvent::None);
}

}  // namespace
