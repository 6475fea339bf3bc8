#include "cvar_table.h"

#include "command_text.h"

namespace varno::standin {

void CvarTable::declare(std::string_view name, std::string_view defaultValue, bool serverInfo, CvarOrigin origin)
{
    Cvar* cvar = find(name);
    if (!cvar) {
        cvar = &create(name, defaultValue, origin);
    } else if (origin == CvarOrigin::Engine || cvar->origin == CvarOrigin::User) {
        cvar->origin = origin;
    }
    cvar->resetValue = defaultValue;
    cvar->serverInfo = cvar->serverInfo || serverInfo;
}

Cvar& CvarTable::set(std::string_view name, std::string_view value)
{
    if (Cvar* cvar = find(name)) {
        cvar->value = value;
        return *cvar;
    }
    return create(name, value, CvarOrigin::User);
}

Cvar& CvarTable::create(std::string_view name, std::string_view value, CvarOrigin origin)
{
    Cvar cvar{std::string(name), std::string(value), std::string(value)};
    cvar.origin = origin;
    cvar.created = ++m_created;
    return m_cvars.emplace(toLower(name), std::move(cvar)).first->second;
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

std::vector<const Cvar*> CvarTable::all() const
{
    std::vector<const Cvar*> cvars;
    for (const auto& entry : m_cvars)
        cvars.push_back(&entry.second);
    return cvars;
}

std::vector<std::string> CvarTable::names() const
{
    std::vector<std::string> names;
    for (const auto& entry : m_cvars)
        names.push_back(entry.second.name);
    return names;
}

} // namespace varno::standin
