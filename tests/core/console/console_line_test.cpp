#include "core/console/console_line.h"

#include "key_test_support.h"

#include <gtest/gtest.h>

#include <ostream>

using namespace varno;
using varno::test::usEventsOf;

namespace varno {

std::ostream& operator<<(std::ostream& out, const ConsoleDelivery& delivery)
{
    static const char* const keys[] = {"", "+Enter", "+Tab", "+Up", "+Down"};
    return out << "[" << delivery.text << "]" << keys[static_cast<int>(delivery.key)];
}

} // namespace varno

namespace {

using Deliveries = std::vector<ConsoleDelivery>;
constexpr ConsoleKey kEnter = ConsoleKey::Enter;

TEST(ConsoleLine, DeliversWhatTheInputFieldWouldHoldAndOnlyConsoleKeys)
{
    const struct {
        std::string keys;
        Deliveries deliveries;
    } cases[] = {
        {"echo hello{ENTER}", {{"echo hello", kEnter}}},
        {"Fraglimit 30{ENTER}", {{"Fraglimit 30", kEnter}}},
        // Ctrl and Alt combinations type nothing, so colour codes vanish instead of raising signals.
        {"say ^cya{ENTER}", {{"say ya", kEnter}}},
        {"echo A^2B^bC^\\D{ENTER}", {{"echo ABCD", kEnter}}},
        {"x^z{BKSP}{ENTER}", {{"", kEnter}}},
        {"a@fb@{F4}^{ENTER}c{ENTER}", {{"abc", kEnter}}},
        {"^~a~b{ENTER}", {{"B", kEnter}}},
        // The caret moves and deletes like an edit field's.
        {"abc{HOME}echo {ENTER}", {{"echo abc", kEnter}}},
        {"abc{HOME}{DELETE}{END}d{ENTER}", {{"bcd", kEnter}}},
        {"abcd{LEFT}{LEFT}{BKSP}X{RIGHT}Y{ENTER}", {{"aXcYd", kEnter}}},
        {"{BKSP}{DELETE}{LEFT}{HOME}ab{RIGHT}{RIGHT}{END}c{ENTER}", {{"abc", kEnter}}},
        // Keys that type no text in an edit field.
        {"a{INSERT}{PGUP}{PGDN}{F1}{F12}{ESCAPE}{PRTSC}{SHIFT}b{ENTER}", {{"ab", kEnter}}},
        {"a\x80"
         "b{ENTER}",
         {{"ab", kEnter}}},
        // Text with characters special to a shell or tmux is kept as typed.
        {"say a;b \"c\" $d \\e{ENTER}", {{"say a;b \"c\" $d \\e", kEnter}}},
        // The console's own keys first hand over what is pending.
        {"ca{TAB}", {{"ca", ConsoleKey::Tab}}},
        {"{UP}{UP}{DOWN}{ENTER}", {{"", ConsoleKey::Up}, {"", ConsoleKey::Up}, {"", ConsoleKey::Down}, {"", kEnter}}},
        {"ab{HOME}x{TAB}y{ENTER}", {{"xab", ConsoleKey::Tab}, {"y", kEnter}}},
        {"~{ENTER}~{TAB}", {{"", kEnter}, {"", ConsoleKey::Tab}}},
        {"^{TAB}@{UP}", {}},
        // Raw control characters are the keys that type them.
        {"a\tb\r", {{"a", ConsoleKey::Tab}, {"b", kEnter}}},
        // A line left unfinished is typed without Enter.
        {"one{ENTER}two", {{"one", kEnter}, {"two", ConsoleKey::None}}},
        {"^c", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(consoleDeliveries(usEventsOf(c.keys)), c.deliveries) << "keys: " << c.keys;
}

TEST(ConsoleLine, NothingOutsidePrintableAsciiIsEverDelivered)
{
    // Every key code alone and under each modifier.
    for (int code = 0; code < 256; ++code) {
        for (const char* prefix : {"", "~", "^", "@", "^@"}) {
            std::vector<KeyEvent> events = usEventsOf(std::string(prefix) + "a");
            for (KeyEvent& event : events) {
                if (event.keyCode == 'A')
                    event.keyCode = std::uint32_t(code);
            }
            for (const ConsoleDelivery& delivery : consoleDeliveries(events)) {
                for (char c : delivery.text)
                    EXPECT_TRUE(c >= ' ' && c <= '~') << "code " << code << " prefix " << prefix;
            }
        }
    }
}

} // namespace
