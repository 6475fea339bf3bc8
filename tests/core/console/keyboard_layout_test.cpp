#include "core/console/keyboard_layout.h"

#include <gtest/gtest.h>

using varno::UsKeyboardLayout;

TEST(UsKeyboardLayout, ScansCharactersAsWindowsDoesForAUsKeyboard)
{
    const struct {
        char c;
        unsigned keyScan;
    } cases[] = {
        {'a', 0x41},      {'z', 0x5A},      {'A', 0x141},     {'Z', 0x15A},   {'0', 0x30},      {'9', 0x39},
        {')', 0x130},     {'!', 0x131},     {'@', 0x132},     {'^', 0x136},   {'(', 0x139},     {' ', 0x20},
        {';', 0xBA},      {':', 0x1BA},     {'=', 0xBB},      {'+', 0x1BB},   {',', 0xBC},      {'<', 0x1BC},
        {'-', 0xBD},      {'_', 0x1BD},     {'.', 0xBE},      {'>', 0x1BE},   {'/', 0xBF},      {'?', 0x1BF},
        {'`', 0xC0},      {'~', 0x1C0},     {'[', 0xDB},      {'{', 0x1DB},   {'\\', 0xDC},     {'|', 0x1DC},
        {']', 0xDD},      {'}', 0x1DD},     {'\'', 0xDE},     {'"', 0x1DE},   {'\t', 0x09},     {'\r', 0x0D},
        {'\n', 0x20D},    {'\b', 0x08},     {'\x1b', 0x1B},   {'\0', 0xFFFF}, {'\x01', 0xFFFF}, {'\x7f', 0xFFFF},
        {'\x80', 0xFFFF}, {'\xe9', 0xFFFF}, {'\xff', 0xFFFF},
    };
    const UsKeyboardLayout layout;
    for (const auto& c : cases)
        EXPECT_EQ(layout.vkKeyScan(c.c), c.keyScan) << "character " << int(static_cast<unsigned char>(c.c));
}

TEST(UsKeyboardLayout, MapsKeyCodesToSetOneScanCodes)
{
    const struct {
        unsigned keyCode;
        unsigned scanCode;
    } cases[] = {
        {'A', 0x1E}, {'C', 0x2E}, {'F', 0x21},  {'M', 0x32},  {'P', 0x19},  {'Q', 0x10},  {'V', 0x2F},  {'Z', 0x2C},
        {'1', 0x02}, {'0', 0x0B}, {0x20, 0x39}, {0xBA, 0x27}, {0xDE, 0x28}, {0xC0, 0x29}, {0xDC, 0x2B}, {0xBF, 0x35},
        {8, 0x0E},   {9, 0x0F},   {13, 0x1C},   {16, 0x2A},   {17, 0x1D},   {18, 0x38},   {27, 0x01},   {112, 0x3B},
        {121, 0x44}, {122, 0x57}, {123, 0x58},  {36, 0x47},   {35, 0x4F},   {33, 0x49},   {34, 0x51},   {45, 0x52},
        {46, 0x53},  {44, 0x54},  {255, 0},     {0, 0},       {256, 0},
    };
    const UsKeyboardLayout layout;
    for (const auto& c : cases)
        EXPECT_EQ(layout.mapVirtualKey(c.keyCode), c.scanCode) << "key code " << c.keyCode;
}

TEST(UsKeyboardLayout, TypesEveryPrintableCharacterAndReadsItBack)
{
    const UsKeyboardLayout layout;
    for (int code = 32; code < 127; ++code) {
        const char c = static_cast<char>(code);
        const unsigned keyScan = layout.vkKeyScan(c);
        ASSERT_NE(keyScan, 0xFFFFu) << c;
        EXPECT_NE(layout.mapVirtualKey(keyScan & 0xFF), 0u) << c;
        EXPECT_EQ(layout.characterFor(keyScan & 0xFF, (keyScan & 0x100) != 0), c) << c;
    }
}

TEST(UsKeyboardLayout, KnowsNoCharacterForKeysThatTypeNone)
{
    const UsKeyboardLayout layout;
    for (const unsigned keyCode : {0u, 16u, 17u, 18u, 33u, 44u, 112u, 123u, 255u}) {
        EXPECT_EQ(layout.characterFor(keyCode, false), std::nullopt) << keyCode;
        EXPECT_EQ(layout.characterFor(keyCode, true), std::nullopt) << keyCode;
    }
}
