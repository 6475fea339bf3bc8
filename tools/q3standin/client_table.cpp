#include "client_table.h"

#include "command_text.h"

namespace varno::standin {

std::string withoutColourCodes(std::string_view name)
{
    std::string clean;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '^' && i + 1 < name.size() && name[i + 1] != '^') {
            ++i;
            continue;
        }
        clean += name[i];
    }
    return clean;
}

std::optional<int> ClientTable::add(Client client, int maxClients)
{
    for (int number = 0; number < maxClients; ++number) {
        if (m_clients.find(number) == m_clients.end()) {
            m_clients.emplace(number, std::move(client));
            return number;
        }
    }
    return std::nullopt;
}

bool ClientTable::remove(int number)
{
    return m_clients.erase(number) > 0;
}

Client* ClientTable::find(int number)
{
    const auto it = m_clients.find(number);
    return it == m_clients.end() ? nullptr : &it->second;
}

std::optional<int> ClientTable::findByName(std::string_view name) const
{
    for (const auto& [number, client] : m_clients) {
        if (equalsIgnoringCase(client.name, name) || equalsIgnoringCase(withoutColourCodes(client.name), name))
            return number;
    }
    return std::nullopt;
}

} // namespace varno::standin
