#pragma once

#include "core/settings/damaged_settings.h"
#include "core/settings/settings_store.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace varno {

// The settings as an INI file of sections and string values. A write changes only its own line and
// replaces the file atomically under the lock file QSettings uses; lines edited by hand read as written
// (see ini_text.h). Created with owner-only permissions: it holds passwords.
class SettingsFileStore : public SettingsStore {
public:
    explicit SettingsFileStore(QString path);

    // A file that cannot be parsed is moved aside to "<file>.damaged" (or a numbered variant) and a
    // fresh one starts with what could be salvaged from it; returns the new name of the damaged file, or
    // an empty string when the file was sound or absent. kept receives the names ("Section/Name") of the
    // values the fresh file starts with.
    static QString setAsideIfDamaged(const QString& path, QStringList* kept = nullptr);
    // The same, saying what could not be read and what became of the file; nothing when it was sound or
    // absent. keptAs stays empty when the file could not be moved.
    static std::optional<DamagedSettingsFile> setAsideDamaged(const QString& path);

protected:
    std::optional<std::string> readValue(std::string_view section, std::string_view name) override;
    void writeValue(std::string_view section, std::string_view name, std::string_view text) override;
    void eraseSection(std::string_view section) override;

private:
    void ensureFolderExists(std::string_view name) const;
    void replaceText(const std::string& text, std::string_view name) const;

    QString m_path;
};

} // namespace varno
