#include "core/console/console_line.h"

#include "core/console/keyboard_layout.h"

#include <utility>

namespace varno {

namespace {

constexpr std::uint8_t kVkLeft = 37;
constexpr std::uint8_t kVkUp = 38;
constexpr std::uint8_t kVkRight = 39;
constexpr std::uint8_t kVkDown = 40;

bool isPrintable(char c)
{
    return c >= ' ' && c <= '~';
}

} // namespace

std::vector<ConsoleDelivery> ConsoleLine::press(const KeyEvent& event)
{
    std::vector<ConsoleDelivery> deliveries;
    const bool down = isKeyDown(event);
    if (!down && !isKeyUp(event))
        return deliveries;
    switch (event.keyCode) {
    case kVkShift:
        m_shift = down;
        return deliveries;
    case kVkControl:
        m_ctrl = down;
        return deliveries;
    case kVkMenu:
        m_alt = down;
        return deliveries;
    default:
        break;
    }
    // An input field acts on presses; with Ctrl or Alt held it types nothing (and the console must never
    // see Ctrl+C, Ctrl+\ or Ctrl+Z, which a terminal turns into signals).
    if (down && !m_ctrl && !m_alt)
        keyDown(event.keyCode, deliveries);
    return deliveries;
}

void ConsoleLine::keyDown(std::uint32_t keyCode, std::vector<ConsoleDelivery>& deliveries)
{
    switch (keyCode) {
    case kVkReturn:
        deliveries = handOver(ConsoleKey::Enter);
        return;
    case kVkTab:
        deliveries = handOver(ConsoleKey::Tab);
        return;
    case kVkUp:
        deliveries = handOver(ConsoleKey::Up);
        return;
    case kVkDown:
        deliveries = handOver(ConsoleKey::Down);
        return;
    case kVkHome:
        m_caret = 0;
        return;
    case kVkEnd:
        m_caret = m_text.size();
        return;
    case kVkLeft:
        if (m_caret > 0)
            --m_caret;
        return;
    case kVkRight:
        if (m_caret < m_text.size())
            ++m_caret;
        return;
    case kVkBack:
        if (m_caret > 0)
            m_text.erase(--m_caret, 1);
        return;
    case kVkDelete:
        if (m_caret < m_text.size())
            m_text.erase(m_caret, 1);
        return;
    default:
        break;
    }
    static const UsKeyboardLayout layout;
    const auto c = layout.characterFor(keyCode, m_shift);
    if (c && isPrintable(*c))
        m_text.insert(m_caret++, 1, *c);
}

std::vector<ConsoleDelivery> ConsoleLine::handOver(ConsoleKey key)
{
    std::vector<ConsoleDelivery> deliveries{{std::exchange(m_text, {}), key}};
    m_caret = 0;
    return deliveries;
}

std::vector<ConsoleDelivery> ConsoleLine::finish()
{
    if (m_text.empty())
        return {};
    return handOver(ConsoleKey::None);
}

std::vector<ConsoleDelivery> consoleDeliveries(const std::vector<KeyEvent>& events)
{
    ConsoleLine line;
    std::vector<ConsoleDelivery> deliveries;
    for (const KeyEvent& event : events) {
        for (ConsoleDelivery& delivery : line.press(event))
            deliveries.push_back(std::move(delivery));
    }
    for (ConsoleDelivery& delivery : line.finish())
        deliveries.push_back(std::move(delivery));
    return deliveries;
}

} // namespace varno
