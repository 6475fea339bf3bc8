#include "core/settings/bot_flags.h"

namespace varno {

const std::vector<std::string>& stockBotNames()
{
    static const std::vector<std::string> names{
        "Anarki", "Angel",  "Biker", "Bitterman", "Bones",   "Cadaver", "Crash",  "Daemia",
        "Doom",   "Gorre",  "Grunt", "Hossman",   "Hunter",  "Keel",    "Klesk",  "Lucy",
        "Major",  "Mynx",   "Orbb",  "Patriot",   "Phobos",  "Ranger",  "Razor",  "Sarge",
        "Slash",  "Sorlag", "Stripe", "Tankjr",   "Uriel",   "Wrack",   "Xaero"};
    return names;
}

std::string toBotFlagString(const std::vector<bool>& checked)
{
    std::string text;
    text.reserve(checked.size());
    for (const bool on : checked)
        text += on ? '1' : '0';
    return text;
}

std::vector<bool> fromBotFlagString(std::string_view text, std::size_t listSize)
{
    std::vector<bool> checked(listSize, false);
    for (std::size_t i = 0; i < listSize && i < text.size(); ++i)
        checked[i] = text[i] == '1';
    return checked;
}

} // namespace varno

namespace varno {

std::string_view botSkillName(int level)
{
    switch (level) {
    case 1: return "I can Win!";
    case 2: return "Easy";
    case 3: return "Hurt me plenty";
    case 4: return "Hardcore";
    case 5: return "(Nightmare!)";
    default: return "";
    }
}

} // namespace varno
