#include "platform/settings_file_store.h"

#include "core/app/varno_error.h"
#include "core/settings/ini_salvage.h"
#include "core/settings/ini_text.h"
#include "platform/file_writer.h"
#include "platform/qt_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace varno {

namespace {

// The file's text; empty when it is missing or cannot be read (reads then give defaults).
std::string fileText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

// The lock file QSettings uses too, so that earlier builds running at the same time wait for us as well.
class FileLock {
public:
    explicit FileLock(const QString& path)
        : m_lock(path + QStringLiteral(".lock"))
    {
        m_lock.setStaleLockTime(10000);
        m_locked = m_lock.lock();
    }
    bool locked() const { return m_locked; }

private:
    QLockFile m_lock;
    bool m_locked = false;
};

} // namespace

SettingsFileStore::SettingsFileStore(QString path)
    : m_path(std::move(path))
{
}

QString SettingsFileStore::setAsideIfDamaged(const QString& path, QStringList* kept)
{
    const std::optional<DamagedSettingsFile> damaged = setAsideDamaged(path);
    if (!damaged || damaged->keptAs.empty())
        return {};
    if (kept) {
        for (const std::string& name : damaged->keptValues)
            kept->append(toQ(name));
    }
    return toQ(damaged->keptAs);
}

std::optional<DamagedSettingsFile> SettingsFileStore::setAsideDamaged(const QString& path)
{
    if (!QFileInfo::exists(path))
        return std::nullopt;
    const std::string text = fileText(path);
    if (isIniTextSound(text))
        return std::nullopt;
    DamagedSettingsFile damaged{toStd(path), {}, {}, unreadableIniLines(text)};
    QString target = path + QStringLiteral(".damaged");
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = path + QStringLiteral(".damaged-%1").arg(n);
    if (!QFile::rename(path, target))
        return damaged;
    damaged.keptAs = toStd(target);
    // The new file starts with every value that could still be read, and owner-only like the old one.
    const std::string salvaged = salvageIniText(text);
    QFile fresh(path);
    if (fresh.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        fresh.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        fresh.write(salvaged.data(), qint64(salvaged.size()));
    }
    damaged.keptValues = iniValueNames(salvaged);
    return damaged;
}

std::optional<std::string> SettingsFileStore::readValue(std::string_view section, std::string_view name)
{
    const std::string text = fileText(m_path);
    if (!isIniTextSound(text))
        return std::nullopt; // a damaged file reads as defaults
    return iniValue(text, section, name);
}

void SettingsFileStore::ensureFolderExists(std::string_view name) const
{
    QDir dir = QFileInfo(m_path).absoluteDir();
    if (dir.exists())
        return;
    if (!dir.mkpath(QStringLiteral(".")))
        throw VarnoError(formatMessage(kFailedToSetData, name));
    QFile::setPermissions(dir.absolutePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void SettingsFileStore::replaceText(const std::string& text, std::string_view name) const
{
    try {
        // Owner-only when new: the file holds passwords.
        writeFileAtomically(m_path, QByteArray::fromStdString(text), FileAccess::KeepOrOwnerOnly);
    } catch (const VarnoError&) {
        throw VarnoError(formatMessage(kFailedToSetData, name));
    }
}

void SettingsFileStore::writeValue(std::string_view section, std::string_view name, std::string_view text)
{
    ensureFolderExists(name);
    FileLock lock(m_path);
    if (!lock.locked())
        throw VarnoError(formatMessage(kFailedToSetData, name));
    // Never merge a new value into a file that could not be read: keep the damaged file for the
    // operator and start a fresh one.
    setAsideIfDamaged(m_path);
    const std::string before = fileText(m_path);
    const std::string after = withIniValue(before, section, name, text);
    if (after != before || !QFileInfo::exists(m_path))
        replaceText(after, name);
}

void SettingsFileStore::eraseSection(std::string_view section)
{
    if (!QFileInfo::exists(m_path))
        return;
    FileLock lock(m_path);
    const std::string before = fileText(m_path);
    if (!lock.locked() || !isIniTextSound(before))
        return;
    const std::string after = withoutIniSection(before, section);
    if (after == before)
        return;
    try {
        replaceText(after, section);
    } catch (const VarnoError&) {
        // a section that cannot be erased is passed over without a report
    }
}

} // namespace varno
