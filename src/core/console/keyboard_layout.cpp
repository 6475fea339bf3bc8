#include "core/console/keyboard_layout.h"

#include "core/console/key_events.h"

#include <array>
#include <string_view>

namespace varno {

namespace {

struct KeyCharacters {
    std::uint8_t keyCode;
    char plain;
    char shifted;
};

// Every key of the layout that types a character, other than the letters and digits.
constexpr std::array<KeyCharacters, 16> kOtherTypingKeys = {{
    {0x20, ' ', ' '},
    {0xBA, ';', ':'},
    {0xBB, '=', '+'},
    {0xBC, ',', '<'},
    {0xBD, '-', '_'},
    {0xBE, '.', '>'},
    {0xBF, '/', '?'},
    {0xC0, '`', '~'},
    {0xDB, '[', '{'},
    {0xDC, '\\', '|'},
    {0xDD, ']', '}'},
    {0xDE, '\'', '"'},
    {kVkBack, '\b', '\b'},
    {kVkTab, '\t', '\t'},
    {kVkReturn, '\r', '\r'},
    {kVkEscape, '\x1b', '\x1b'},
}};

constexpr std::string_view kShiftedDigits = ")!@#$%^&*(";

std::optional<KeyCharacters> typingKey(std::uint32_t keyCode)
{
    if (keyCode >= 'A' && keyCode <= 'Z') {
        const auto letter = static_cast<char>(keyCode);
        return KeyCharacters{static_cast<std::uint8_t>(keyCode), static_cast<char>(letter - 'A' + 'a'), letter};
    }
    if (keyCode >= '0' && keyCode <= '9')
        return KeyCharacters{static_cast<std::uint8_t>(keyCode), static_cast<char>(keyCode),
                             kShiftedDigits[keyCode - '0']};
    for (const auto& key : kOtherTypingKeys) {
        if (key.keyCode == keyCode)
            return key;
    }
    return std::nullopt;
}

void setRow(std::array<std::uint8_t, 256>& codes, std::string_view keys, std::uint8_t firstScanCode)
{
    for (std::size_t i = 0; i < keys.size(); ++i)
        codes[static_cast<unsigned char>(keys[i])] = static_cast<std::uint8_t>(firstScanCode + i);
}

std::array<std::uint8_t, 256> makeScanCodes()
{
    std::array<std::uint8_t, 256> codes{};
    setRow(codes, "1234567890", 0x02);
    setRow(codes, "QWERTYUIOP", 0x10);
    setRow(codes, "ASDFGHJKL", 0x1E);
    setRow(codes, "ZXCVBNM", 0x2C);
    for (std::uint8_t i = 0; i < 10; ++i)
        codes[kVkF1 + i] = static_cast<std::uint8_t>(0x3B + i);
    codes[kVkF1 + 10] = 0x57;
    codes[kVkF1 + 11] = 0x58;
    codes[kVkEscape] = 0x01;
    codes[0xBD] = 0x0C;
    codes[0xBB] = 0x0D;
    codes[kVkBack] = 0x0E;
    codes[kVkTab] = 0x0F;
    codes[0xDB] = 0x1A;
    codes[0xDD] = 0x1B;
    codes[kVkReturn] = 0x1C;
    codes[kVkControl] = 0x1D;
    codes[0xBA] = 0x27;
    codes[0xDE] = 0x28;
    codes[0xC0] = 0x29;
    codes[kVkShift] = 0x2A;
    codes[0xDC] = 0x2B;
    codes[0xBC] = 0x33;
    codes[0xBE] = 0x34;
    codes[0xBF] = 0x35;
    codes[kVkMenu] = 0x38;
    codes[0x20] = 0x39;
    // The editing keys map to their keypad twins' codes, without the extended prefix.
    codes[kVkHome] = 0x47;
    codes[kVkPrior] = 0x49;
    codes[kVkEnd] = 0x4F;
    codes[kVkNext] = 0x51;
    codes[kVkInsert] = 0x52;
    codes[kVkDelete] = 0x53;
    codes[kVkSnapshot] = 0x54;
    return codes;
}

std::array<std::uint16_t, 256> makeKeyScans()
{
    std::array<std::uint16_t, 256> scans;
    scans.fill(kKeyScanNone);
    // Walk down so that the lowest key code typing a character wins, and its plain form over its shifted one.
    for (int keyCode = 255; keyCode >= 0; --keyCode) {
        const auto key = typingKey(static_cast<std::uint32_t>(keyCode));
        if (!key)
            continue;
        scans[static_cast<unsigned char>(key->shifted)] = static_cast<std::uint16_t>(kKeyScanShift | keyCode);
        scans[static_cast<unsigned char>(key->plain)] = static_cast<std::uint16_t>(keyCode);
    }
    // Line feed is Ctrl+Enter, as on Windows.
    scans[static_cast<unsigned char>('\n')] = kKeyScanCtrl | kVkReturn;
    return scans;
}

const std::array<std::uint8_t, 256> kScanCodes = makeScanCodes();
const std::array<std::uint16_t, 256> kKeyScans = makeKeyScans();

} // namespace

std::uint16_t UsKeyboardLayout::vkKeyScan(char c) const
{
    return kKeyScans[static_cast<unsigned char>(c)];
}

std::uint32_t UsKeyboardLayout::mapVirtualKey(std::uint32_t keyCode) const
{
    return keyCode < kScanCodes.size() ? kScanCodes[keyCode] : 0;
}

std::optional<char> UsKeyboardLayout::characterFor(std::uint32_t keyCode, bool shift) const
{
    const auto key = typingKey(keyCode);
    if (!key)
        return std::nullopt;
    return shift ? key->shifted : key->plain;
}

} // namespace varno
