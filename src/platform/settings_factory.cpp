#include "platform/settings_factory.h"

#include "core/app/varno_error.h"
#include "platform/qt_text.h"
#include "platform/settings_file_store.h"

#include <QDir>
#include <QStandardPaths>

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

} // namespace

void setSettingsFile(const std::string& path)
{
    explicitFile() = path;
}

std::string settingsFile()
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
    const std::string path = settingsFile();
#ifdef _WIN32
    if (path.empty())
        return std::make_unique<RegistrySettingsStore>();
#endif
    return std::make_unique<SettingsFileStore>(toQ(path));
}

} // namespace varno
