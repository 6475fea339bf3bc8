// The settings file as the panel finds it on disk, damaged or not: the input is the whole INI file. Every
// value of the schema is read (reads of a damaged file give defaults; a value of the wrong type is refused
// with VarnoError), then one value is written. The write must succeed and lose nothing: a damaged file is
// set aside byte for byte, and into a sound one the new value is merged with everything it held.

#include "core/app/varno_error.h"
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
constexpr std::string_view kWrittenText = "+set fs_game written";

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    // Qt trusts the element counts inside a serialized @Variant and reserves that much up front; the
    // sanitizer's shadow of such a reservation runs to gigabytes. Qt's own, and no path of ours.
    if (original.contains("@Variant("))
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

    SettingsFileStore store(path);
    readEverything(store);
    try {
        store.WriteString(kWrittenKey, kWrittenText);
    } catch (const VarnoError& error) {
        std::fprintf(stderr, "write refused: %s\n", error.what());
        VARNO_FUZZ_REQUIRE(false);
    }

    const Snapshot after = snapshotOf(path);
    VARNO_FUZZ_REQUIRE(after.status == QSettings::NoError);
    VARNO_FUZZ_REQUIRE(after.values.value(writtenKeyPath()) == QVariant(toQ(kWrittenText)));
    const QString aside = path + QStringLiteral(".damaged");
    if (QFileInfo::exists(aside)) {
        VARNO_FUZZ_REQUIRE(bytesOf(aside) == original);
        VARNO_FUZZ_REQUIRE(after.values.size() == 1);
    } else {
        // Merged into: only a file QSettings read without complaint, and all it held is still there.
        VARNO_FUZZ_REQUIRE(before.status == QSettings::NoError);
        for (auto it = before.values.begin(); it != before.values.end(); ++it) {
            if (it.key() != writtenKeyPath())
                VARNO_FUZZ_REQUIRE(after.values.value(it.key()) == it.value());
        }
    }

    try {
        store.ValueExists(kServerName);
    } catch (const VarnoError&) {
    }
    store.EraseSection(kSectionAdvanced);
    store.EraseSection(kSectionGeneral);
    VARNO_FUZZ_REQUIRE(QDir(dir).removeRecursively());
    return 0;
}
