#include "cvar_table.h"

#include "command_text.h"

namespace varno::standin {

void CvarTable::declare(std::string_view name, std::string_view defaultValue)
{
    if (Cvar* cvar = find(name)) {
        cvar->resetValue = defaultValue;
        return;
    }
    m_cvars.emplace(toLower(name), Cvar{std::string(name), std::string(defaultValue), std::string(defaultValue)});
}

Cvar& CvarTable::set(std::string_view name, std::string_view value)
{
    if (Cvar* cvar = find(name)) {
        cvar->value = value;
        return *cvar;
    }
    return m_cvars.emplace(toLower(name), Cvar{std::string(name), std::string(value), std::string(value)})
        .first->second;
}

Cvar* CvarTable::find(std::string_view name)
{
    const auto it = m_cvars.find(toLower(name));
    return it == m_cvars.end() ? nullptr : &it->second;
}

const Cvar* CvarTable::find(std::string_view name) const
{
    const auto it = m_cvars.find(toLower(name));
    return it == m_cvars.end() ? nullptr : &it->second;
}

std::string CvarTable::value(std::string_view name) const
{
    const Cvar* cvar = find(name);
    return cvar ? cvar->value : std::string();
}

int CvarTable::integer(std::string_view name) const
{
    return toInteger(value(name));
}

std::vector<std::string> CvarTable::names() const
{
    std::vector<std::string> names;
    for (const auto& entry : m_cvars)
        names.push_back(entry.second.name);
    return names;
}

} // namespace varno::standin
