#include "core/app/varno_error.h"
#include "core/settings/schema.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"
#include "platform/settings_file_store.h"
#include "support/temp_settings.h"
#include "support/unprivileged.h"

#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace varno;
using varno::test::TempSettings;

namespace {

void writeRaw(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

TEST(SettingsFileStore, FreshStoreGivesDefaultsAndCreatesNothingUntilAWrite)
{
    TempSettings temp;
    auto store = createSettingsStore();
    EXPECT_EQ(store->ReadString("ServerSettings", "ServerName", "dflt"), "dflt");
    EXPECT_EQ(store->ReadInteger("ServerSettings", "Memory", 56), 56);
    EXPECT_TRUE(store->ReadBool("ServerSettings", "AllowRCon", true));
    store->EraseSection("BotSettings"); // a missing section is no error
    EXPECT_FALSE(QFileInfo::exists(temp.file()));

    store->WriteString("ServerSettings", "ServerName", "Frag Palace");
    EXPECT_TRUE(QFileInfo::exists(temp.file()));
    EXPECT_EQ(QFileInfo(temp.file()).permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup |
                                                      QFile::WriteOther),
              QFile::Permissions());
}

TEST(SettingsFileStore, WritesPlainStringsThatQSettingsAndOtherToolsRead)
{
    TempSettings temp;
    {
        auto store = createSettingsStore();
        store->WriteInteger(kMemory, 128);
        store->WriteBool(kPS, true);
        store->WriteString(kMapRotation, "q3dm1,\"my map\"");
        store->WriteString(kMotd, "@home; a=b");
        store->WriteInteger(kRestoreFlags, 2);
    }
    const QByteArray text = temp.contents();
    EXPECT_TRUE(text.contains("[ServerSettings]")) << text.constData();
    EXPECT_TRUE(text.contains("Memory=128")) << text.constData();
    EXPECT_TRUE(text.contains("[General]\nRestoreFlags=2")) << text.constData();

    QSettings plain(temp.file(), QSettings::IniFormat);
    EXPECT_EQ(plain.value(QStringLiteral("MapSettings/MapRotation")).toString(), QStringLiteral("q3dm1,\"my map\""));
    EXPECT_EQ(plain.value(QStringLiteral("ServerSettings/MOTD")).toString(), QStringLiteral("@home; a=b"));

    auto store = createSettingsStore();
    EXPECT_EQ(store->ReadString(kMapRotation.section, kMapRotation.name, ""), "q3dm1,\"my map\"");
    EXPECT_EQ(store->ReadString(kMotd.section, kMotd.name, ""), "@home; a=b");
    EXPECT_EQ(store->ReadInteger(kMemory.section, kMemory.name, 0), 128);
    EXPECT_TRUE(store->ReadBool(kPS.section, kPS.name, false));
}

TEST(SettingsFileStore, ReadsIntegersAndFlagsWithTheirFallbacks)
{
    TempSettings temp;
    auto store = createSettingsStore();
    const struct {
        const char* text;
        int asInteger;
        bool asFlag;
    } cases[] = {{"0x1F", 31, true}, {"abc", -5, true}, {"", -5, true}, {"2", 2, true}, {"0", 0, false}};
    for (const auto& c : cases) {
        store->WriteString("ServerSettings", "Value", c.text);
        EXPECT_EQ(store->ReadInteger("ServerSettings", "Value", -5), c.asInteger) << c.text;
        EXPECT_EQ(store->ReadBool("ServerSettings", "Value", true), c.asFlag) << c.text;
    }
}

TEST(SettingsFileStore, EraseSectionRemovesOnlyThatSection)
{
    TempSettings temp;
    auto store = createSettingsStore();
    store->WriteString(kServerName, "a");
    store->WriteString(kBotList, "101");
    store->WriteInteger(kRestoreFlags, 2);
    store->EraseSection(kSectionBots);
    store->EraseSection(kSectionBots);
    EXPECT_EQ(store->ReadString(kBotList.section, kBotList.name, "gone"), "gone");
    EXPECT_EQ(store->ReadString(kServerName.section, kServerName.name, ""), "a");
    store->EraseSection(kSectionGeneral);
    EXPECT_EQ(store->ReadInteger(kRestoreFlags.section, kRestoreFlags.name, 0), 0);
    EXPECT_EQ(store->ReadString(kServerName.section, kServerName.name, ""), "a");
}

TEST(SettingsFileStore, ReadOnlyFileFailsTheWriteAndKeepsEarlierValues)
{
    TempSettings temp;
    createSettingsStore()->WriteString(kServerName, "kept");
    const QByteArray before = temp.contents();
    ASSERT_EQ(chmod(qPrintable(temp.dir()), 0777), 0);
    ASSERT_EQ(chmod(qPrintable(temp.file()), 0444), 0);
    // 1: the write went through; 2: wrong message; 3: earlier value lost.
    const int result = varno::test::runUnprivileged([] {
        try {
            createSettingsStore()->WriteString(kMotd, "new");
            return 1;
        } catch (const VarnoError& error) {
            if (std::string(error.what()) != "Failed to set data for 'MOTD'")
                return 2;
        }
        return createSettingsStore()->ReadString(kServerName.section, kServerName.name, "") == "kept" ? 0 : 3;
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(temp.contents(), before);
}

TEST(SettingsFileStore, UnwritableFolderFailsTheWrite)
{
    TempSettings temp;
    setSettingsFile(toStd(temp.path(QStringLiteral("settings.ini/is-a-file-below-a-file.ini"))));
    writeRaw(temp.file(), "not a folder");
    try {
        createSettingsStore()->WriteString(kMotd, "x");
        FAIL() << "the write did not fail";
    } catch (const VarnoError& error) {
        EXPECT_STREQ(error.what(), "Failed to set data for 'MOTD'");
    }
}

TEST(SettingsFileStore, DamagedFileReadsAsDefaultsAndIsKeptAsideBeforeAWrite)
{
    TempSettings temp;
    const QByteArray damaged("\x00\x01garbage without equals\n[ServerSettings\nServerName=half", 52);
    writeRaw(temp.file(), damaged);
    EXPECT_EQ(createSettingsStore()->ReadString(kServerName.section, kServerName.name, "default"), "default");

    createSettingsStore()->WriteString(kMotd, "fresh");
    EXPECT_EQ(createSettingsStore()->ReadString(kMotd.section, kMotd.name, ""), "fresh");
    QFile aside(temp.file() + QStringLiteral(".damaged"));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), damaged);
}

TEST(SettingsFileStore, ValueOfAnotherTypeIsAnInvalidDataType)
{
    TempSettings temp;
    writeRaw(temp.file(), "[ServerSettings]\nServerName=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"
                          "MapList=q3dm1, q3dm7\n");
    auto store = createSettingsStore();
    try {
        store->ReadString(kServerName.section, kServerName.name, "");
        FAIL() << "no error";
    } catch (const VarnoError& error) {
        EXPECT_STREQ(error.what(), "Invalid data type for 'ServerName'");
    }
    // An unquoted list, as a hand edit leaves it, reads as its text.
    EXPECT_EQ(store->ReadString("ServerSettings", "MapList", ""), "q3dm1, q3dm7");
}

TEST(SettingsFileStore, EnvironmentVariableChoosesTheFileUnlessAnOptionDid)
{
    TempSettings temp;
    const QString fromEnvironment = temp.path(QStringLiteral("env.ini"));
    setSettingsFile({});
    setenv("VARNO_SETTINGS", qPrintable(fromEnvironment), 1);
    EXPECT_EQ(settingsFile(), toStd(fromEnvironment));
    setSettingsFile(toStd(temp.file()));
    EXPECT_EQ(settingsFile(), toStd(temp.file()));
    unsetenv("VARNO_SETTINGS");
}

TEST(SettingsFileStore, TruncatedFileKeepsEveryValueBeforeTheCut)
{
    TempSettings temp;
    {
        auto store = createSettingsStore();
        store->WriteString(kPassword, "pw");
        store->WriteString(kMotd, "Welcome to the palace");
        store->WriteString(kServerName, "Frag Palace");
    }
    // The file ends with the server name's line; it is cut in the middle of that value.
    QByteArray text = temp.contents();
    ASSERT_TRUE(text.endsWith("ServerName=Frag Palace\n")) << text.constData();
    text.chop(8);
    writeRaw(temp.file(), text);

    createSettingsStore()->WriteString(kRConPW, "new");
    auto store = createSettingsStore();
    EXPECT_EQ(store->ReadString(kRConPW.section, kRConPW.name, ""), "new");
    EXPECT_EQ(store->ReadString(kPassword.section, kPassword.name, ""), "pw");
    EXPECT_EQ(store->ReadString(kMotd.section, kMotd.name, ""), "Welcome to the palace");
    EXPECT_EQ(store->ReadString(kServerName.section, kServerName.name, "gone"), "gone"); // cut, so not taken as "Frag P"
    EXPECT_TRUE(QFileInfo::exists(temp.file() + QStringLiteral(".damaged")));
}

TEST(SettingsFileStore, FileDeletedWhileInUseComesBackWithTheNextWrite)
{
    TempSettings temp;
    createSettingsStore()->WriteString(kServerName, "before");
    ASSERT_TRUE(QFile::remove(temp.file()));
    EXPECT_EQ(createSettingsStore()->ReadString(kServerName.section, kServerName.name, "default"), "default");
    createSettingsStore()->WriteString(kMotd, "after");
    EXPECT_EQ(createSettingsStore()->ReadString(kMotd.section, kMotd.name, ""), "after");
    EXPECT_EQ(QFileInfo(temp.file()).permissions() & (QFile::ReadOther | QFile::ReadGroup), QFile::Permissions());
}

TEST(SettingsFileStore, TwoProcessesWritingAtOnceLoseNothing)
{
    TempSettings temp;
    constexpr int kValues = 150;
    // The child writes one section while this process writes another, value by value, each through its own
    // store as the panel and varno do.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (int i = 0; i < kValues; ++i)
            createSettingsStore()->WriteString("ServerTools", "Child" + std::to_string(i), std::to_string(i));
        _exit(0);
    }
    for (int i = 0; i < kValues; ++i)
        createSettingsStore()->WriteString("AdvancedSettings", "Parent" + std::to_string(i), std::to_string(i));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    auto store = createSettingsStore();
    int missing = 0;
    for (int i = 0; i < kValues; ++i) {
        missing += store->ReadString("ServerTools", "Child" + std::to_string(i), "") != std::to_string(i);
        missing += store->ReadString("AdvancedSettings", "Parent" + std::to_string(i), "") != std::to_string(i);
    }
    EXPECT_EQ(missing, 0);
}

TEST(SettingsFileStore, FilesOfEarlierBuildsReadAsBeforeAndOursReadThere)
{
    // Earlier builds wrote every value through QSettings; they and this one must read each other's files.
    const QString values[] = {
        QString(), QStringLiteral("plain"), QStringLiteral("Frag, Palace"), QStringLiteral("say \"hi\" there"),
        QStringLiteral("a;b=c"), QStringLiteral(" lead"), QStringLiteral("trail "), QStringLiteral("back\\slash"),
        QStringLiteral("@at"), QStringLiteral("@@twice"), QStringLiteral("tab\there"), QStringLiteral("line\nbreak"),
        QStringLiteral("\x01" "1f"), QStringLiteral("\x7f"), QStringLiteral("Caf\u00e9 \u00bb"),
        QStringLiteral("q3dm1,\"my map\""), QStringLiteral("@Invalid()"), QStringLiteral("@Variant(x)"),
        QStringLiteral("[section]"), QStringLiteral("x=1\n[General]"),
    };
    for (const QString& value : values) {
        TempSettings temp;
        {
            QSettings earlier(temp.file(), QSettings::IniFormat);
            earlier.setValue(QStringLiteral("ServerSettings/MOTD"), value);
            earlier.setValue(QStringLiteral("ServerSettings/ServerName"), QStringLiteral("kept"));
        }
        EXPECT_EQ(createSettingsStore()->ReadString(kMotd), toStd(value)) << temp.contents().constData();
        createSettingsStore()->WriteString(kMotd, toStd(value + QStringLiteral("+")));
        QSettings earlier(temp.file(), QSettings::IniFormat);
        EXPECT_EQ(earlier.value(QStringLiteral("ServerSettings/MOTD")).toString(), value + QStringLiteral("+"))
            << temp.contents().constData();
        EXPECT_EQ(earlier.value(QStringLiteral("ServerSettings/ServerName")).toString(), QStringLiteral("kept"));
    }
}

TEST(SettingsFileStore, SettingADamagedFileAsideNamesTheValuesKept)
{
    TempSettings temp;
    writeRaw(temp.file(),
             "[ServerSettings]\nServerName=Frag Palace\nMOTD=cut off\nbroken line\n[Advanced\nPassword=x\n");
    QStringList kept;
    EXPECT_EQ(SettingsFileStore::setAsideIfDamaged(temp.file(), &kept), temp.file() + QStringLiteral(".damaged"));
    EXPECT_EQ(kept, (QStringList{"ServerSettings/ServerName", "ServerSettings/MOTD"}));
    EXPECT_EQ(createSettingsStore()->ReadString(kServerName), "Frag Palace");
}
