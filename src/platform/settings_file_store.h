#pragma once

#include "core/settings/settings_store.h"

#include <QString>

namespace varno {

// The settings as an INI file of sections and plain string values, read and written through
// QSettings (atomic replacement and a lock file). Created with owner-only permissions: it holds
// passwords.
class SettingsFileStore : public SettingsStore {
public:
    explicit SettingsFileStore(QString path);

    // A file that cannot be parsed is moved aside to "<file>.damaged" (or a numbered variant) and a
    // fresh one starts with what could be salvaged from it; returns the new name of the damaged file, or
    // an empty string when the file was sound or absent.
    static QString setAsideIfDamaged(const QString& path);

protected:
    std::optional<std::string> readValue(std::string_view section, std::string_view name) override;
    void writeValue(std::string_view section, std::string_view name, std::string_view text) override;
    void eraseSection(std::string_view section) override;

private:
    void ensureFileExists(std::string_view name) const;

    QString m_path;
};

} // namespace varno
