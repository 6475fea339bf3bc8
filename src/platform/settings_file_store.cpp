#include "platform/settings_file_store.h"

#include "core/app/varno_error.h"
#include "core/settings/ini_salvage.h"
#include "platform/qt_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

namespace varno {

namespace {

// QSettings keeps ungrouped keys under [General]; our General section is stored there so that the
// file reads naturally in any INI tool.
QString keyPath(std::string_view section, std::string_view name)
{
    if (section == kSectionGeneral)
        return toQ(name);
    return toQ(section) + QLatin1Char('/') + toQ(name);
}

// QSettings reads past most damage and caches what it parsed, so the file's shape is checked here.
bool isDamaged(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false; // missing or unreadable: nothing to mend, reads give defaults
    return !isIniTextSound(file.readAll().toStdString());
}

} // namespace

SettingsFileStore::SettingsFileStore(QString path)
    : m_path(std::move(path))
{
}

QString SettingsFileStore::setAsideIfDamaged(const QString& path)
{
    if (!QFileInfo::exists(path))
        return {};
    if (!isDamaged(path))
        return {};
    QString target = path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".damaged-%1").arg(n);
    QFile damaged(path);
    if (!damaged.open(QIODevice::ReadOnly))
        return {};
    const std::string salvaged = salvageIniText(damaged.readAll().toStdString());
    damaged.close();
    if (!QFile::rename(path, target))
        return {};
    // The new file starts with every value that could still be read, and owner-only like the old one.
    QFile fresh(path);
    if (fresh.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        fresh.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        fresh.write(salvaged.data(), qint64(salvaged.size()));
    }
    return target;
}

std::optional<std::string> SettingsFileStore::readValue(std::string_view section, std::string_view name)
{
    if (isDamaged(m_path))
        return std::nullopt; // a damaged file reads as defaults
    QSettings settings(m_path, QSettings::IniFormat);
    const QVariant value = settings.value(keyPath(section, name));
    if (!value.isValid())
        return std::nullopt;
    if (value.typeId() == QMetaType::QString)
        return toStd(value.toString());
    // An unquoted value with commas, as a hand-edited file may hold, reads back as its text.
    if (value.typeId() == QMetaType::QStringList)
        return toStd(value.toStringList().join(QLatin1Char(',')));
    throw VarnoError(formatMessage(kInvalidDataType, name));
}

void SettingsFileStore::ensureFileExists(std::string_view name) const
{
    const QFileInfo info(m_path);
    if (info.exists())
        return;
    QDir dir = info.absoluteDir();
    if (!dir.exists()) {
        if (!dir.mkpath(QStringLiteral(".")))
            throw VarnoError(formatMessage(kFailedToSetData, name));
        QFile::setPermissions(dir.absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (!QFileInfo::exists(m_path)) // another process may have just created it
            throw VarnoError(formatMessage(kFailedToSetData, name));
        return;
    }
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
}

void SettingsFileStore::writeValue(std::string_view section, std::string_view name, std::string_view text)
{
    ensureFileExists(name);
    // Never merge a new value into a file that could not be read: keep the damaged file for the
    // operator and start a fresh one.
    setAsideIfDamaged(m_path);
    ensureFileExists(name);

    QSettings settings(m_path, QSettings::IniFormat);
    settings.setValue(keyPath(section, name), toQ(text));
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw VarnoError(formatMessage(kFailedToSetData, name));
}

void SettingsFileStore::eraseSection(std::string_view section)
{
    if (!QFileInfo::exists(m_path))
        return;
    if (isDamaged(m_path))
        return;
    QSettings settings(m_path, QSettings::IniFormat);
    if (section == kSectionGeneral) {
        const QStringList keys = settings.childKeys();
        if (keys.isEmpty())
            return;
        for (const QString& key : keys)
            settings.remove(key);
    } else {
        if (!settings.childGroups().contains(toQ(section)))
            return;
        settings.remove(toQ(section));
    }
    settings.sync(); // a section that cannot be erased is passed over without a report
}

} // namespace varno
