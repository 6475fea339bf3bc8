#include "core/console/tmux_keys.h"

#include "core/console/keyboard_layout.h"

#include <optional>
#include <string_view>

namespace varno {

namespace {

std::optional<std::string> namedKey(std::uint32_t keyCode)
{
    switch (keyCode) {
    case kVkReturn:
        return "Enter";
    case kVkTab:
        return "Tab";
    case kVkBack:
        return "BSpace";
    case kVkEscape:
        return "Escape";
    case kVkHome:
        return "Home";
    case kVkEnd:
        return "End";
    case kVkPrior:
        return "PPage";
    case kVkNext:
        return "NPage";
    case kVkInsert:
        return "IC";
    case kVkDelete:
        return "DC";
    default:
        break;
    }
    if (keyCode >= kVkF1 && keyCode <= kVkF12)
        return "F" + std::to_string(keyCode - kVkF1 + 1);
    return std::nullopt;
}

std::optional<std::string> keyName(const UsKeyboardLayout& layout, std::uint32_t keyCode, bool shift)
{
    if (auto name = namedKey(keyCode))
        return name;
    const auto c = layout.characterFor(keyCode, shift);
    if (!c)
        return std::nullopt;
    if (*c == ' ')
        return "Space";
    return std::string(1, *c);
}

} // namespace

std::vector<std::string> tmuxKeyTokens(const std::vector<KeyEvent>& events)
{
    const UsKeyboardLayout layout;
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
    std::vector<std::string> tokens;
    for (const auto& event : events) {
        const bool down = isKeyDown(event);
        if (!down && !isKeyUp(event))
            continue;
        switch (event.keyCode) {
        case kVkShift:
            shift = down;
            continue;
        case kVkControl:
            ctrl = down;
            continue;
        case kVkMenu:
            alt = down;
            continue;
        default:
            break;
        }
        if (!down)
            continue;
        const auto name = keyName(layout, event.keyCode, shift);
        if (!name)
            continue;
        std::string token = std::string(ctrl ? "C-" : "") + (alt ? "M-" : "") + *name;
        if (token.back() == ';')
            token.insert(token.size() - 1, 1, '\\');
        tokens.push_back(std::move(token));
    }
    return tokens;
}

} // namespace varno
