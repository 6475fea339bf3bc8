// The settings file as the panel finds it on disk, damaged or not, hand-edited or not: the input is the whole
// INI file. Every value of the schema is read (reads of a damaged file give defaults; a value of another type
// is refused with VarnoError), then one value is written. The write must succeed and lose nothing: a damaged
// file is set aside byte for byte and the fresh one reads as what was salvaged from it; in a file taken for
// sound, every other value reads as before. The written value reads back exactly, also through QSettings
// (as earlier builds read the file), and whatever the store has written is never taken for damaged.

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
#include <QSettings>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <map>
#include <optional>
#include <string>

namespace {

using namespace varno;

constexpr SettingKey kWrittenKey = kCmdLine;
// The value written is the file's last bytes, so that the store's own output varies as much as its input.
constexpr qsizetype kWrittenTextLength = 48;

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    VARNO_FUZZ_REQUIRE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    VARNO_FUZZ_REQUIRE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// Every value once, as the loader reads it, each read opening the file anew as the store does; a value of
// another type reads as "<typed>".
std::map<std::string, std::optional<std::string>> readEverything(SettingsFileStore& store)
{
    std::map<std::string, std::optional<std::string>> values;
    for (const SettingKey& key : allSettings()) {
        const std::string path = std::string(key.section) + '/' + std::string(key.name);
        try {
            values[path] = store.ValueExists(key) ? std::optional<std::string>(store.ReadString(key)) : std::nullopt;
        } catch (const VarnoError&) {
            values[path] = "<typed>";
        }
    }
    return values;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray original(reinterpret_cast<const char*>(data), qsizetype(size));
    static QTemporaryDir workDir;
    static unsigned long long runs = 0;
    VARNO_FUZZ_REQUIRE(workDir.isValid());

    const QString dir = workDir.filePath(QString::number(++runs));
    VARNO_FUZZ_REQUIRE(QDir().mkpath(dir));
    const QString path = dir + QStringLiteral("/Vrn.ini");
    writeBytes(path, original);

    const std::string writtenText = original.right(kWrittenTextLength).toStdString();
    const std::string writtenPath = std::string(kWrittenKey.section) + '/' + std::string(kWrittenKey.name);
    SettingsFileStore store(path);
    auto before = readEverything(store);
    try {
        store.WriteString(kWrittenKey, writtenText);
    } catch (const VarnoError& error) {
        std::fprintf(stderr, "write refused: %s\n", error.what());
        VARNO_FUZZ_REQUIRE(false);
    }
    VARNO_FUZZ_REQUIRE(isIniTextSound(bytesOf(path).toStdString()));
    auto after = readEverything(store);
    // Stored text ends at its first zero byte.
    VARNO_FUZZ_REQUIRE(after[writtenPath] == writtenText.substr(0, writtenText.find('\0')));

    const QString aside = path + QStringLiteral(".damaged");
    VARNO_FUZZ_REQUIRE(!QFileInfo::exists(aside + QStringLiteral("-2")));
    if (QFileInfo::exists(aside)) {
        VARNO_FUZZ_REQUIRE(bytesOf(aside) == original);
        // The fresh file reads as the salvaged text does.
        const QString salvagedPath = dir + QStringLiteral("/salvaged.ini");
        writeBytes(salvagedPath, QByteArray::fromStdString(salvageIniText(original.toStdString())));
        SettingsFileStore salvaged(salvagedPath);
        before = readEverything(salvaged);
    }
    before.erase(writtenPath);
    after.erase(writtenPath);
    VARNO_FUZZ_REQUIRE(before == after);

    store.EraseSection(kSectionAdvanced);
    store.EraseSection(kSectionGeneral);
    VARNO_FUZZ_REQUIRE(isIniTextSound(bytesOf(path).toStdString()));

    // Earlier builds read the file through QSettings: the value written reads the same there. The panel's
    // text comes from Qt and is always valid UTF-8; QSettings decodes broken sequences around escapes in its
    // own order.
    const QByteArray writtenBytes = QByteArray::fromStdString(writtenText);
    if (QString::fromUtf8(writtenBytes).toUtf8() != writtenBytes) {
        VARNO_FUZZ_REQUIRE(QDir(dir).removeRecursively());
        return 0;
    }
    const QString fresh = dir + QStringLiteral("/fresh.ini");
    SettingsFileStore freshStore(fresh);
    freshStore.WriteString(kWrittenKey, writtenText);
    freshStore.WriteString(kMotd, writtenText);
    {
        QSettings earlier(fresh, QSettings::IniFormat);
        VARNO_FUZZ_REQUIRE(earlier.value(toQ(writtenPath)).toString() == toQ(writtenText));
        VARNO_FUZZ_REQUIRE(earlier.value(QStringLiteral("ServerSettings/MOTD")).toString() == toQ(writtenText));
    }

    VARNO_FUZZ_REQUIRE(QDir(dir).removeRecursively());
    return 0;
}
