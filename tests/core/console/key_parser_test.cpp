#include "core/console/key_parser.h"
#include "core/console/send_key_error.h"

#include "key_test_support.h"

#include <gtest/gtest.h>

#include <string>

using namespace varno;
using varno::test::Stroke;
using varno::test::strokesOf;
using varno::test::usEventsOf;

namespace {

constexpr std::uint32_t kDown = kWmKeyDown;
constexpr std::uint32_t kUp = kWmKeyUp;
constexpr std::uint32_t kSysDown = kWmSysKeyDown;
constexpr std::uint32_t kSysUp = kWmSysKeyUp;

// A plain press and release of each key in turn.
std::vector<Stroke> taps(std::string_view keyCodes)
{
    std::vector<Stroke> strokes;
    for (const char k : keyCodes) {
        strokes.push_back({kDown, static_cast<unsigned char>(k)});
        strokes.push_back({kUp, static_cast<unsigned char>(k)});
    }
    return strokes;
}

} // namespace

TEST(KeyParser, PressesKeysWithTheirModifiers)
{
    const struct {
        std::string text;
        std::vector<Stroke> strokes;
    } cases[] = {
        {"^c", {{kDown, 17}, {kDown, 'C'}, {kUp, 'C'}, {kUp, 17}}},
        {"@f", {{kSysDown, 18}, {kSysDown, 'F'}, {kSysUp, 'F'}, {kSysUp, 18}}},
        {"V", {{kDown, 16}, {kDown, 'V'}, {kUp, 'V'}, {kUp, 16}}},
        {"{ENTER}", {{kDown, 13}, {kUp, 13}}},
        {"~a", {{kDown, 16}, {kDown, 'A'}, {kUp, 'A'}, {kUp, 16}}},
        {"^A", {{kDown, 17}, {kDown, 'A'}, {kUp, 'A'}, {kUp, 17}}},
        // Ctrl is released before Alt, so only the Alt release is a system message.
        {"@^x", {{kDown, 18}, {kDown, 17}, {kDown, 'X'}, {kUp, 'X'}, {kUp, 17}, {kSysUp, 18}}},
        {"^@x", {{kDown, 18}, {kDown, 17}, {kDown, 'X'}, {kUp, 'X'}, {kUp, 17}, {kSysUp, 18}}},
        {"^~V", {{kDown, 17}, {kDown, 16}, {kDown, 'V'}, {kUp, 'V'}, {kUp, 16}, {kUp, 17}}},
        {"@~a", {{kSysDown, 18}, {kDown, 16}, {kSysDown, 'A'}, {kSysUp, 'A'}, {kUp, 16}, {kSysUp, 18}}},
        {"@A", {{kSysDown, 18}, {kDown, 16}, {kSysDown, 'A'}, {kSysUp, 'A'}, {kUp, 16}, {kSysUp, 18}}},
        {"@{F4}", {{kSysDown, 18}, {kSysDown, 115}, {kSysUp, 115}, {kSysUp, 18}}},
        {"@{ENTER}", {{kSysDown, 18}, {kDown, 13}, {kUp, 13}, {kSysUp, 18}}},
        {"@1", {{kSysDown, 18}, {kDown, '1'}, {kUp, '1'}, {kSysUp, 18}}},
        {"~{TAB}", {{kDown, 16}, {kDown, 9}, {kUp, 9}, {kUp, 16}}},
        {"{enter}", {{kDown, 13}, {kUp, 13}}},
        {"{PgUp}{f12}", {{kDown, 33}, {kUp, 33}, {kDown, 123}, {kUp, 123}}},
        {"{SHIFT}", {{kDown, 16}, {kUp, 16}}},
        {"}", {{kDown, 16}, {kDown, 0xDD}, {kUp, 0xDD}, {kUp, 16}}},
        {"a}", {{kDown, 'A'}, {kUp, 'A'}, {kDown, 16}, {kDown, 0xDD}, {kUp, 0xDD}, {kUp, 16}}},
        {"~~a", {{kDown, 16}, {kDown, 'A'}, {kUp, 'A'}, {kUp, 16}}},
        {"^ab", {{kDown, 17}, {kDown, 'A'}, {kUp, 'A'}, {kUp, 17}, {kDown, 'B'}, {kUp, 'B'}}},
        {"\n", {{kDown, 13}, {kUp, 13}}}, // the layout's Ctrl for a line feed is not pressed
        {"\x80", {{kDown, 16}, {kDown, 255}, {kUp, 255}, {kUp, 16}}},
        {"a@", {{kDown, 'A'}, {kUp, 'A'}}}, // a modifier with no key after it is dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(strokesOf(usEventsOf(c.text)), c.strokes) << "text: " << c.text;
}

TEST(KeyParser, TypesTextAsOnePressPerCharacter)
{
    const struct {
        std::string text;
        std::vector<Stroke> strokes;
    } cases[] = {
        {"echo hello{ENTER}", taps("ECHO HELLO\r")},
        {"map q3dm7{ENTER}", taps("MAP Q3DM7\r")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(strokesOf(usEventsOf(c.text)), c.strokes) << "text: " << c.text;
    EXPECT_EQ(usEventsOf("echo hello{ENTER}").size(), 22u);
}

TEST(KeyParser, StampsScanCodeAndTickCountOnEachEvent)
{
    const UsKeyboardLayout layout;
    std::uint32_t tick = 1000;
    const auto events = buildKeyEvents("^c", layout, [&tick] { return tick++; });
    const std::vector<KeyEvent> expected = {
        {kWmKeyDown, 17, 0x1D, 1000, 0},
        {kWmKeyDown, 'C', 0x2E, 1001, 0},
        {kWmKeyUp, 'C', 0x2E, 1002, 0},
        {kWmKeyUp, 17, 0x1D, 1003, 0},
    };
    EXPECT_EQ(events, expected);
}

TEST(KeyParser, YieldsNoEventsForTextWithoutKeys)
{
    for (const std::string text : {"", "@", "^", "~", "@^~", "~~~~"})
        EXPECT_TRUE(usEventsOf(text).empty()) << "text: " << text;
}

TEST(KeyParser, RejectsTheWholeTextForABadBracedName)
{
    const struct {
        std::string text;
        std::string_view message;
    } cases[] = {
        {"{RETURN}", kInvalidToken},        {"{}", kInvalidToken},        {"{ESCAPEX}", kInvalidToken},
        {"{ESC}", kInvalidToken},           {"{{ENTER}", kInvalidToken},  {"abc{RETURN}def", kInvalidToken},
        {"{ENTER", kNoClosingBrace},        {"say hi{", kNoClosingBrace}, {"{ESCAPEXY}", kNoClosingBrace},
        {"{ENTER{ENTER}", kNoClosingBrace}, // more than 7 characters before the first "}"
    };
    for (const auto& c : cases) {
        try {
            usEventsOf(c.text);
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const ESKInvalidToken& error) {
            EXPECT_EQ(error.what(), c.message) << "text: " << c.text;
        }
    }
}

TEST(KeyParser, RefusesTextsOfMoreThan65535Events)
{
    // Every press comes with its release, so the largest list that fits holds 65,534 events.
    EXPECT_EQ(usEventsOf(std::string(32767, 'a')).size(), 65534u);
    EXPECT_EQ(usEventsOf(std::string(32765, 'a') + "V").size(), 65534u);
    EXPECT_THROW(usEventsOf(std::string(32768, 'a')), ESendKeyError);
    EXPECT_THROW(usEventsOf(std::string(32766, 'a') + "V"), ESendKeyError); // 65,536 through its Shift
    EXPECT_THROW(usEventsOf(std::string(1000000, 'a')), ESendKeyError);
}

TEST(KeyParser, ReportsABadNameEvenBeyondTheEventLimit)
{
    EXPECT_THROW(usEventsOf(std::string(40000, 'a') + "{RETURN}"), ESKInvalidToken);
}

TEST(KeyParser, NamesTheCharactersNoKeyTypesEachOnce)
{
    const UsKeyboardLayout layout;
    const struct {
        std::string text;
        std::vector<std::string> untypable;
    } cases[] = {
        {"say hello{ENTER}", {}},
        {"@^~x{F1}{TAB}", {}},
        {"say Gr\xc3\xbc\xc3\x9f\xc3\xbc{ENTER}", {"\xc3\xbc", "\xc3\x9f"}},
        {"tab\there\x7f", {"\x7f"}},
        {"euro \xe2\x82\xac and {ENTER} ok", {"\xe2\x82\xac"}},
        {"{ENTER", {}}, // refused as a key string anyway
    };
    for (const auto& c : cases)
        EXPECT_EQ(untypableCharacters(c.text, layout), c.untypable) << c.text;
}
