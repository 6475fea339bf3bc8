#include "platform/settings_factory.h"

#include "core/app/varno_error.h"
#include "core/settings/server_profiles.h"
#include "platform/qt_text.h"
#include "platform/settings_file_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cstdlib>

#ifdef _WIN32
#include "platform/win/registry_settings_store.h"
#endif

namespace varno {

namespace {

std::string& explicitFile()
{
    static std::string path;
    return path;
}

std::string& selectedProfile()
{
    static std::string id;
    return id;
}

// The first server's settings file, or empty where the registry holds the settings.
std::string firstServerFile()
{
    if (!explicitFile().empty())
        return explicitFile();
    if (const char* fromEnvironment = std::getenv("VARNO_SETTINGS"); fromEnvironment && *fromEnvironment)
        return fromEnvironment;
#ifdef _WIN32
    return {};
#else
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return toStd(QDir(base).filePath(QStringLiteral("varno-server/settings.ini")));
#endif
}

// Another server's file beside the first one's: settings.ini gives settings.<id>.ini.
QString profileFile(const QString& firstFile, const QString& id)
{
    const QFileInfo first(firstFile);
    const QString suffix = first.suffix().isEmpty() ? QString() : QLatin1Char('.') + first.suffix();
    return first.dir().filePath(first.completeBaseName() + QLatin1Char('.') + id + suffix);
}

#ifdef _WIN32
std::string profileKey(const std::string& id)
{
    return std::string(kRegistryRoot) + "\\Servers\\" + id;
}
#endif

} // namespace

void setServerProfile(const std::string& id)
{
    selectedProfile() = id;
}

std::string serverProfile()
{
    return selectedProfile();
}

std::vector<std::string> otherServerProfiles()
{
    std::vector<std::string> ids;
    const std::string first = firstServerFile();
#ifdef _WIN32
    if (first.empty()) {
        ids = registrySubkeys(std::string(kRegistryRoot) + "\\Servers");
        std::sort(ids.begin(), ids.end());
        return ids;
    }
#endif
    const QFileInfo info(toQ(first));
    const QString stem = info.completeBaseName() + QLatin1Char('.');
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    for (const QString& name : info.dir().entryList({stem + QLatin1Char('*') + suffix}, QDir::Files, QDir::Name)) {
        const std::string id = toStd(name.mid(stem.size(), name.size() - stem.size() - suffix.size()));
        if (!id.empty() && profileIdFor(id) == id)
            ids.push_back(id);
    }
    return ids;
}

void removeServerProfile(const std::string& id)
{
    if (id.empty())
        return;
    const std::string first = firstServerFile();
#ifdef _WIN32
    if (first.empty()) {
        removeRegistryKey(profileKey(id));
        return;
    }
#endif
    const QString file = profileFile(toQ(first), toQ(id));
    if (QFile::exists(file) && !QFile::remove(file))
        throw VarnoError(formatMessage("Cannot remove file %s", toStd(file)));
}

void setSettingsFile(const std::string& path)
{
    explicitFile() = path;
}

std::string settingsFile()
{
    return settingsFileOf(selectedProfile());
}

std::string settingsFileOf(const std::string& profile)
{
    const std::string first = firstServerFile();
    if (first.empty() || profile.empty())
        return first;
    return toStd(profileFile(toQ(first), toQ(profile)));
}

std::string settingsLocation()
{
    const std::string file = settingsFile();
    if (!file.empty())
        return file;
#ifdef _WIN32
    return "HKEY_CURRENT_USER\\" +
           (selectedProfile().empty() ? std::string(kRegistryRoot) : profileKey(selectedProfile()));
#else
    return file;
#endif
}

void supplyInstallDir(SettingsStore& store)
{
#ifdef _WIN32
    (void)store; // the installer writes it
#else
    if (store.ValueExists(kInstallDir))
        return;
    const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString folder = QDir(base).filePath(QStringLiteral("varno-server"));
    const QString maps = QDir(folder).filePath(QStringLiteral("Maps"));
    if (base.isEmpty() || !QDir().mkpath(maps))
        throw VarnoError(formatMessage("Cannot create folder %s", toStd(maps)));
    store.WriteString(kInstallDir, toStd(folder));
#endif
}

std::string recoverDamagedSettingsFile()
{
    const std::string path = settingsFile();
    if (path.empty())
        return {};
    const std::optional<DamagedSettingsFile> damaged = SettingsFileStore::setAsideDamaged(toQ(path));
    return damaged ? damagedSettingsNotice(*damaged) : std::string();
}

std::unique_ptr<SettingsStore> createSettingsStore()
{
    return createSettingsStoreOf(selectedProfile());
}

std::unique_ptr<SettingsStore> createSettingsStoreOf(const std::string& profile)
{
    const std::string path = settingsFileOf(profile);
#ifdef _WIN32
    if (path.empty())
        return std::make_unique<RegistrySettingsStore>(profile.empty() ? std::string(kRegistryRoot)
                                                                       : profileKey(profile));
#endif
    return std::make_unique<SettingsFileStore>(toQ(path));
}

} // namespace varno
