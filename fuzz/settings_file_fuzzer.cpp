// The settings file as the panel finds it on disk, damaged or not: the input is the whole INI file. Every
// value of the schema is read (reads of a damaged file give defaults; a value of the wrong type is refused
// with VarnoError), then one value is written. The write must succeed and lose nothing: a damaged file is
// set aside byte for byte and the fresh one holds what was salvaged from it; into a file taken for sound,
// which QSettings must then have read without complaint, the new value is merged with everything it held.
// Whatever the store has written is never taken for damaged afterwards.

#include "core/app/varno_error.h"
#include "core/settings/ini_salvage.h"
#include "core/settings/schema.h"
#include "fuzz_check.h"
#include "platform/qt_text.h"
#include "platform/settings_file_store.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QVariant>

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace {

using namespace varno;

constexpr SettingKey kWrittenKey = kCmdLine;
// The value written is the file's last bytes, so that the store's own output varies as much as its input.
constexpr qsizetype kWrittenTextLength = 48;

struct Snapshot {
    QSettings::Status status = QSettings::NoError;
    QMap<QString, QVariant> values;
};

Snapshot snapshotOf(const QString& path)
{
    QSettings settings(path, QSettings::IniFormat);
    Snapshot snapshot;
    snapshot.status = settings.status();
    for (const QString& key : settings.allKeys())
        snapshot.values.insert(key, settings.value(key));
    return snapshot;
}

Snapshot snapshotOfText(const QString& path, const std::string& text)
{
    QFile file(path);
    VARNO_FUZZ_REQUIRE(file.open(QIODevice::WriteOnly) &&
                       file.write(text.data(), qint64(text.size())) == qint64(text.size()));
    file.close();
    return snapshotOf(path);
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    VARNO_FUZZ_REQUIRE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

QString writtenKeyPath()
{
    return toQ(kWrittenKey.section) + QLatin1Char('/') + toQ(kWrittenKey.name);
}

// Every value once, as the loader reads it; each read opens the file anew, as the store does.
void readEverything(SettingsFileStore& store)
{
    for (const SettingKey& key : allSettings()) {
        try {
            switch (key.encoding) {
            case Encoding::Integer:
                store.ReadInteger(key, 0);
                break;
            case Encoding::Flag:
                store.ReadBool(key, true);
                break;
            case Encoding::Text:
            case Encoding::CommaList:
            case Encoding::BotFlags:
                store.ReadString(key, key.defaultText);
                break;
            }
        } catch (const VarnoError&) {
            // "Invalid data type for '%s'": the file holds a typed value there; the loader reports it.
        }
    }
}

// A name QSettings would take for a group path (or for none at all) and fold into another.
bool isPathLike(const QByteArray& name)
{
    return name.trimmed().isEmpty() || name.contains('/') || name.contains('\\');
}

// Files whose trouble lies with QSettings rather than with the store, left out so that what is found is ours:
// - Qt trusts the element counts inside a serialized @Variant and reserves that much up front; the sanitizer's
//   shadow of such a reservation runs to gigabytes.
// - Names and sections holding slashes (or no name at all) are group paths to QSettings, which it folds into
//   names that it writes and then cannot read back. The panel's names never hold one.
bool isOutsideTheCheckedDomain(const QByteArray& file)
{
    if (file.contains("@Variant("))
        return true;
    for (const QByteArray& rawLine : file.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[') && line.endsWith(']') && isPathLike(line.mid(1, line.size() - 2)))
            return true;
        if (const qsizetype equals = line.indexOf('='); equals >= 0 && isPathLike(line.left(equals)))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    if (isOutsideTheCheckedDomain(original))
        return 0;

    static QTemporaryDir workDir;
    static unsigned long long runs = 0;
    VARNO_FUZZ_REQUIRE(workDir.isValid());

    // A fresh folder each run: QSettings caches files by name and size.
    const QString dir = workDir.filePath(QString::number(++runs));
    VARNO_FUZZ_REQUIRE(QDir().mkpath(dir));
    const QString path = dir + QStringLiteral("/Vrn.ini");
    {
        QFile file(path);
        VARNO_FUZZ_REQUIRE(file.open(QIODevice::WriteOnly) && file.write(original) == original.size());
    }
    const Snapshot before = snapshotOf(path);

    const std::string writtenText = original.right(kWrittenTextLength).toStdString();
    SettingsFileStore store(path);
    readEverything(store);
    try {
        store.WriteString(kWrittenKey, writtenText);
    } catch (const VarnoError& error) {
        std::fprintf(stderr, "write refused: %s\n", error.what());
        VARNO_FUZZ_REQUIRE(false);
    }

    const Snapshot after = snapshotOf(path);
    VARNO_FUZZ_REQUIRE(after.status == QSettings::NoError);
    VARNO_FUZZ_REQUIRE(after.values.value(writtenKeyPath()) == QVariant(toQ(writtenText)));
    const QString aside = path + QStringLiteral(".damaged");
    VARNO_FUZZ_REQUIRE(!QFileInfo::exists(aside + QStringLiteral("-2")));
    if (QFileInfo::exists(aside)) {
        VARNO_FUZZ_REQUIRE(bytesOf(aside) == original);
        const std::string salvaged = salvageIniText(original.toStdString());
        const Snapshot kept = snapshotOfText(dir + QStringLiteral("/salvaged.ini"), salvaged);
        for (auto it = kept.values.begin(); it != kept.values.end(); ++it) {
            if (it.key() != writtenKeyPath())
                VARNO_FUZZ_REQUIRE(after.values.value(it.key()) == it.value());
        }
    } else {
        // Merged into: only a file QSettings read without complaint, and all it held is still there.
        VARNO_FUZZ_REQUIRE(before.status == QSettings::NoError);
        for (auto it = before.values.begin(); it != before.values.end(); ++it) {
            if (it.key() != writtenKeyPath())
                VARNO_FUZZ_REQUIRE(after.values.value(it.key()) == it.value());
        }
    }
    VARNO_FUZZ_REQUIRE(isIniTextSound(bytesOf(path).toStdString()));

    try {
        store.ValueExists(kServerName);
    } catch (const VarnoError&) {
    }
    store.EraseSection(kSectionAdvanced);
    store.EraseSection(kSectionGeneral);
    VARNO_FUZZ_REQUIRE(QDir(dir).removeRecursively());
    return 0;
}
