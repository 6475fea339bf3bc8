#include "core/settings/server_model.h"

#include "core/settings/comma_list.h"
#include "core/settings/integer_text.h"

namespace varno {

ServerModel::ServerModel(StoreFactory openStore)
    : m_openStore(std::move(openStore))
{
}

std::string ServerModel::text(const SettingKey& key) const
{
    const auto found = m_values.find(nameOf(key));
    return found == m_values.end() ? std::string(key.defaultText) : found->second;
}

int ServerModel::integer(const SettingKey& key) const
{
    return parseStoredInteger(text(key)).value_or(key.defaultInteger());
}

bool ServerModel::flag(const SettingKey& key) const
{
    return integer(key) != 0;
}

std::vector<std::string> ServerModel::list(const SettingKey& key) const
{
    return FromCommaList(text(key));
}

void ServerModel::hold(const SettingKey& key, std::string text)
{
    m_values[nameOf(key)] = std::move(text);
}

void ServerModel::storeText(const SettingKey& key, std::string_view text)
{
    hold(key, std::string(text));
    storeHeld(key);
}

void ServerModel::storeInteger(const SettingKey& key, int value)
{
    hold(key, toDecimal(value));
    m_openStore()->WriteInteger(key, value);
    announce(key);
}

void ServerModel::storeFlag(const SettingKey& key, bool value)
{
    hold(key, value ? "1" : "0");
    m_openStore()->WriteBool(key, value);
    announce(key);
}

void ServerModel::storeList(const SettingKey& key, const std::vector<std::string>& entries)
{
    storeText(key, ToCommaList(entries));
}

void ServerModel::changeText(const SettingKey& key, std::string_view text)
{
    if (this->text(key) != text)
        storeText(key, text);
}

void ServerModel::holdText(const SettingKey& key, std::string_view text)
{
    hold(key, std::string(text));
    announce(key);
}

void ServerModel::holdList(const SettingKey& key, const std::vector<std::string>& entries)
{
    holdText(key, ToCommaList(entries));
}

void ServerModel::storeHeld(const SettingKey& key)
{
    m_openStore()->WriteString(key, text(key));
    announce(key);
}

void ServerModel::loadAll(SettingsStore& store)
{
    for (const SettingKey& key : allSettings())
        hold(key, store.ReadString(key));
}

int ServerModel::listen(Listener listener)
{
    const int id = m_nextListener++;
    m_listeners.emplace(id, std::move(listener));
    return id;
}

void ServerModel::unlisten(int id)
{
    m_listeners.erase(id);
}

void ServerModel::announce(const SettingKey& key)
{
    // A listener may add or remove listeners; those added now hear of the next change.
    const auto listeners = m_listeners;
    for (const auto& [id, listener] : listeners) {
        if (m_listeners.contains(id))
            listener(key);
    }
}

} // namespace varno
