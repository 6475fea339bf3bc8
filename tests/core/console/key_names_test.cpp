#include "core/console/key_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using varno::isSystemKey;
using varno::LookupKeyName;

TEST(KeyNames, FindsEveryTableNameRegardlessOfLetterCase)
{
    const struct {
        std::string name;
        int keyCode;
    } cases[] = {
        {"F1", 112},    {"F2", 113},    {"F3", 114},  {"F4", 115},   {"F5", 116},    {"F6", 117},
        {"F7", 118},    {"F8", 119},    {"F9", 120},  {"F10", 121},  {"F11", 122},   {"F12", 123},
        {"INSERT", 45}, {"DELETE", 46}, {"HOME", 36}, {"END", 35},   {"PGUP", 33},   {"PGDN", 34},
        {"TAB", 9},     {"ENTER", 13},  {"BKSP", 8},  {"PRTSC", 44}, {"SHIFT", 16},  {"ESCAPE", 27},
        {"LEFT", 37},   {"UP", 38},     {"RIGHT", 39}, {"DOWN", 40},   {"left", 37},
        {"enter", 13},  {"Enter", 13},  {"f5", 116},  {"pgDn", 34},  {"escape", 27},
    };
    for (const auto& c : cases) {
        const auto keyCode = LookupKeyName(c.name);
        ASSERT_TRUE(keyCode.has_value()) << c.name;
        EXPECT_EQ(*keyCode, c.keyCode) << c.name;
    }
}

TEST(KeyNames, RejectsNamesOutsideTheTable)
{
    const std::string names[] = {
        "",         "RETURN",  "ESC",      "F0",   "F13", "F01",   " ENTER",
        "ENTER ",   "ESCAPEX", "ESCAPEXY", "CTRL", "ALT", "SPACE",
        "\xc9NTER", // only ASCII letters are upper-cased
    };
    for (const auto& name : names)
        EXPECT_EQ(LookupKeyName(name), std::nullopt) << name;
}

TEST(KeyNames, SystemKeysAreAltLettersAndFunctionKeys)
{
    const struct {
        unsigned keyCode;
        bool system;
    } cases[] = {
        {18, true},  {65, true},  {90, true},  {112, true}, {123, true},  {16, false},  {17, false},  {13, false},
        {48, false}, {64, false}, {91, false}, {97, false}, {111, false}, {124, false}, {255, false}, {0, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isSystemKey(c.keyCode), c.system) << c.keyCode;
}
