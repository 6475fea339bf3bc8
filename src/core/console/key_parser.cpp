#include "core/console/key_parser.h"

#include "core/console/key_names.h"
#include "core/console/send_key_error.h"

#include <algorithm>
#include <string>

namespace varno {

namespace {

constexpr std::size_t kMaxBracedNameLength = 7;
constexpr std::string_view kTooManyEvents = "Too many key events";

class KeyStringBuilder {
public:
    KeyStringBuilder(const KeyboardLayout& layout, const TickSource& ticks)
        : m_layout(layout)
        , m_ticks(ticks)
    {
    }

    std::vector<KeyEvent> build(std::string_view text)
    {
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '@') {
                m_alt = true;
            } else if (c == '^') {
                m_ctrl = true;
            } else if (c == '~') {
                m_shift = true;
            } else if (c == '{') {
                i = pressBracedKey(text, i + 1);
            } else {
                // The Ctrl and Alt a layout may ask for are not pressed.
                const std::uint16_t scan = m_layout.vkKeyScan(c);
                press(static_cast<std::uint8_t>(scan & 0xFF), (scan & kKeyScanShift) != 0);
            }
        }
        if (m_count > kMaxKeyEvents)
            throw ESendKeyError(std::string(kTooManyEvents));
        return std::move(m_events);
    }

private:
    // Presses the key named from nameStart up to the next "}" and returns the position of that "}".
    std::size_t pressBracedKey(std::string_view text, std::size_t nameStart)
    {
        std::size_t end = nameStart;
        while (end < text.size() && text[end] != '}' && end - nameStart < kMaxBracedNameLength)
            ++end;
        if (end == text.size() || text[end] != '}')
            throw ESKInvalidToken(std::string(kNoClosingBrace));
        const auto keyCode = LookupKeyName(text.substr(nameStart, end - nameStart));
        if (!keyCode)
            throw ESKInvalidToken(std::string(kInvalidToken));
        press(*keyCode, false);
        return end;
    }

    void press(std::uint8_t keyCode, bool characterWantsShift)
    {
        if (m_alt)
            append(true, kVkMenu);
        if (m_ctrl)
            append(true, kVkControl);
        const bool shift = (characterWantsShift && !m_ctrl) || m_shift;
        if (shift)
            append(true, kVkShift);
        append(true, keyCode);
        append(false, keyCode);
        if (shift)
            append(false, kVkShift);
        m_shift = false;
        if (m_ctrl) {
            append(false, kVkControl);
            m_ctrl = false;
        }
        // Ctrl is released by now, so after Ctrl+Alt this release is a system message.
        if (m_alt) {
            append(false, kVkMenu);
            m_alt = false;
        }
    }

    void append(bool down, std::uint8_t keyCode)
    {
        // Past the limit events are only counted, so that a bad name further on is still reported as such.
        if (++m_count > kMaxKeyEvents)
            return;
        const bool system = m_alt && !m_ctrl && isSystemKey(keyCode);
        KeyEvent event;
        event.message = down ? (system ? kWmSysKeyDown : kWmKeyDown) : (system ? kWmSysKeyUp : kWmKeyUp);
        event.keyCode = keyCode;
        event.scanCode = m_layout.mapVirtualKey(keyCode);
        event.time = m_ticks();
        m_events.push_back(event);
    }

    const KeyboardLayout& m_layout;
    const TickSource& m_ticks;
    std::vector<KeyEvent> m_events;
    std::size_t m_count = 0;
    bool m_alt = false;
    bool m_ctrl = false;
    bool m_shift = false;
};

} // namespace

std::vector<KeyEvent> buildKeyEvents(std::string_view text, const KeyboardLayout& layout, const TickSource& ticks)
{
    return KeyStringBuilder(layout, ticks).build(text);
}

std::vector<std::string> untypableCharacters(std::string_view text, const KeyboardLayout& layout)
{
    std::vector<std::string> found;
    const auto note = [&found](std::string character) {
        if (std::find(found.begin(), found.end(), character) == found.end())
            found.push_back(std::move(character));
    };
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '@' || c == '^' || c == '~')
            continue;
        if (c == '{') {
            const std::size_t end = text.find('}', i + 1);
            if (end == std::string_view::npos)
                break; // the key string itself is refused for that
            i = end;
            continue;
        }
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            // A UTF-8 character: its lead byte and the continuation bytes after it.
            std::size_t end = i + 1;
            while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
                ++end;
            note(std::string(text.substr(i, end - i)));
            i = end - 1;
            continue;
        }
        if (layout.vkKeyScan(c) == kKeyScanNone)
            note(std::string(1, c));
    }
    return found;
}

} // namespace varno
