#pragma once

#include "core/settings/schema.h"
#include "core/settings/settings_store.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace varno {

// Every value of one server's profile as it is in effect now: what the pages and dialogs show, and what the
// launch, the map preview, the watcher and the console bridge use. Values are addressed through the schema; one
// never set, held or loaded is the schema's default.
//
// A change is stored at once with the store's write for its encoding, then every listener hears of it. A value
// can also be held in effect without being stored (a dialog's field before its OK, a list entry that is kept for
// this run only) and stored later as it is.
class ServerModel {
public:
    using StoreFactory = std::function<std::unique_ptr<SettingsStore>()>;
    using Listener = std::function<void(const SettingKey& key)>;

    explicit ServerModel(StoreFactory openStore);

    std::string text(const SettingKey& key) const;
    // The text as a number: the store's reading (hexadecimal "0x" too); the default's where it is none.
    int integer(const SettingKey& key) const;
    bool flag(const SettingKey& key) const;
    std::vector<std::string> list(const SettingKey& key) const;

    // Stores the value and tells the listeners, whatever the value was: what a control's change handler does.
    void storeText(const SettingKey& key, std::string_view text);
    void storeInteger(const SettingKey& key, int value);
    void storeFlag(const SettingKey& key, bool value);
    void storeList(const SettingKey& key, const std::vector<std::string>& entries);
    // The same, only when the value differs from the one in effect: a change made from elsewhere than the
    // value's own control, which stores nothing when the control already shows it.
    void changeText(const SettingKey& key, std::string_view text);
    // In effect for this run without being stored.
    void holdText(const SettingKey& key, std::string_view text);
    void holdList(const SettingKey& key, const std::vector<std::string>& entries);
    // Stores the value in effect as it is.
    void storeHeld(const SettingKey& key);

    // Takes every value of the schema from the store: what is stored is what is in effect (varno).
    void loadAll(SettingsStore& store);
    // Forgets every value in effect, each its default again until loaded: the state the pages' loader starts from.
    void forget() { m_values.clear(); }

    // Listeners hear of each change after it is stored; the id removes one again.
    int listen(Listener listener);
    void unlisten(int id);

    std::unique_ptr<SettingsStore> openStore() const { return m_openStore(); }

private:
    using Name = std::pair<std::string_view, std::string_view>;
    static Name nameOf(const SettingKey& key) { return {key.section, key.name}; }

    void hold(const SettingKey& key, std::string text);
    void announce(const SettingKey& key);

    StoreFactory m_openStore;
    std::map<Name, std::string> m_values;
    std::map<int, Listener> m_listeners;
    int m_nextListener = 1;
};

} // namespace varno
