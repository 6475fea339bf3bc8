#include "core/settings/schema.h"
#include "support/rcon_probe.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace varno;
using namespace varno::test;

namespace {

struct VarnoRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// varno on its own settings file, in a folder of its own.
class CliSettingsTest : public ::testing::Test {
protected:
    QString file() const { return m_folder.filePath(QStringLiteral("settings.ini")); }

    void writeSettings(const QByteArray& text) const
    {
        QFile settings(file());
        ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
        settings.write(text);
    }

    VarnoRun varno(const QStringList& arguments) const
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("VARNO_SETTINGS"), file());
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VARNO_BIN_DIR "/varno"), arguments);
        VarnoRun run;
        if (process.waitForFinished(15000) && process.exitStatus() == QProcess::NormalExit) {
            run.exitCode = process.exitCode();
        } else {
            process.kill(); // a hung run fails the test with exit code -1
            process.waitForFinished();
        }
        run.out = process.readAllStandardOutput();
        run.err = process.readAllStandardError();
        return run;
    }

private:
    QTemporaryDir m_folder;
};

// A file the panel wrote, with one value edited by hand and its "=" forgotten.
const QByteArray kOneLineWithoutEquals = "[General]\nRestoreFlags=2\n\n"
                                         "[ServerSettings]\nServerName=Frag Palace\nRConPW=secret\n\n"
                                         "[ServerTools]\nLPBCheckRate 5\nLPBMinPing=80\n";

} // namespace

TEST_F(CliSettingsTest, DamagedFileKeepsEveryReadableValueAndNamesTheLineThatIsNot)
{
    const struct {
        QStringList arguments;
        QByteArrayList output;
    } cases[] = {
        {{"settings", "dump"}, {"ServerName=Frag Palace\nRConPW=secret\n", "[ServerTools]\nLPBMinPing=80\n"}},
        {{"script"}, {"sv_hostname \"Frag Palace\"\r\n", "rconpassword secret\r\n"}},
    };
    for (const auto& c : cases) {
        const QString command = c.arguments.join(' ');
        writeSettings(kOneLineWithoutEquals);
        QFile::remove(file() + QStringLiteral(".damaged"));
        const VarnoRun first = varno(c.arguments);
        EXPECT_EQ(first.exitCode, 0) << qPrintable(command);
        for (const QByteArray& text : c.output)
            EXPECT_TRUE(first.out.contains(text)) << qPrintable(command) << "\n" << first.out.constData();
        EXPECT_TRUE(first.err.startsWith("varno: The settings file " + file().toUtf8() +
                                         " could not be read: line 9 (LPBCheckRate) has no \"=\". It was kept as " +
                                         file().toUtf8() + ".damaged, "))
            << first.err.constData();
        EXPECT_EQ(first.err.count('\n'), 1) << first.err.constData();
        EXPECT_EQ(readFile(file() + QStringLiteral(".damaged")), kOneLineWithoutEquals);
        // The fresh file is sound: the next command reads it without a word.
        const VarnoRun again = varno(c.arguments);
        EXPECT_EQ(again.out, first.out) << qPrintable(command);
        EXPECT_EQ(again.err, QByteArray()) << qPrintable(command);
    }
}

TEST_F(CliSettingsTest, SetRefusesWhatThePanelsFieldsWouldNotTakeNamingWhatTheyDo)
{
    const struct {
        QStringList arguments;
        QByteArray message;
    } cases[] = {
        {{"ServerTools", "LPBCheckrate", "5"},
         "unknown key 'LPBCheckrate' in section ServerTools; its keys are RemoteHost, LocalHost, RemoteHostAddress, "
         "LPBRemotePort, LPBMinPing, LPBCheckRate, LPBMsg1, LPBMsg2, LPBRCon, LPBMsg, KickLPB, BanIP, KickBanned, "
         "LogLPBs, LPBPort2, LPBPort3, LPBPort4"},
        {{"AdvancedSettings", "Gravity", "5000"},
         "'5000' is not a valid value for AdvancedSettings Gravity; it takes a whole number from 0 to 999"},
    };
    for (const auto& c : cases) {
        const VarnoRun run = varno(QStringList{"settings", "set"} + c.arguments);
        EXPECT_EQ(run.exitCode, 2) << qPrintable(c.arguments.join(' '));
        EXPECT_EQ(run.err, "varno: " + c.message + "\n");
    }
    EXPECT_FALSE(QFile::exists(file()));

    // What is taken is stored as the panel stores it.
    EXPECT_EQ(varno({"settings", "set", "AdvancedSettings", "Gravity", "0x10"}).exitCode, 0);
    EXPECT_EQ(varno({"settings", "set", "ServerTools", "LPBCheckRate", "+5"}).exitCode, 0);
    EXPECT_EQ(readFile(file()), QByteArray("[AdvancedSettings]\nGravity=16\n\n[ServerTools]\nLPBCheckRate=5\n"));
}

TEST_F(CliSettingsTest, GetSaysWhetherTheValueIsStoredOrTheDefault)
{
    writeSettings("[ServerTools]\nLPBMinPing=80\n\n[AdvancedSettings]\nGravity=5000\n");
    const struct {
        QStringList key;
        QByteArray out;
        QByteArray err;
    } cases[] = {
        {{"ServerTools", "LPBMinPing"}, "80\n", "varno: stored\n"},
        {{"ServerTools", "LPBCheckRate"}, "15\n", "varno: default\n"},
        // A hand edit out of range reads as written, and is named.
        {{"AdvancedSettings", "Gravity"},
         "5000\n",
         "varno: stored, but '5000' is not a valid value for AdvancedSettings Gravity; it takes a whole number from 0 "
         "to 999\n"},
    };
    for (const auto& c : cases) {
        const VarnoRun run = varno(QStringList{"settings", "get"} + c.key);
        EXPECT_EQ(run.exitCode, 0) << qPrintable(c.key.join(' '));
        EXPECT_EQ(run.out, c.out) << qPrintable(c.key.join(' '));
        EXPECT_EQ(run.err, c.err) << qPrintable(c.key.join(' '));
    }
    const VarnoRun unknown = varno({"settings", "get", "ServerTools", "Nope"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.startsWith("varno: unknown key 'Nope' in section ServerTools; its keys are RemoteHost, "));
}

TEST_F(CliSettingsTest, KeysListsEveryKeyWithItsKindDefaultAndValues)
{
    const VarnoRun run = varno({"settings", "keys"});
    EXPECT_EQ(run.exitCode, 0);
    const QByteArrayList lines = run.out.chopped(1).split('\n');
    ASSERT_EQ(lines.size(), qsizetype(allSettings().size()));
    for (const QByteArray& line : lines)
        EXPECT_EQ(line.count('\t'), 4) << line.constData();
    EXPECT_EQ(lines.front(), QByteArray("General\tRestoreFlags\tinteger\t0\ta whole number"));
    EXPECT_TRUE(lines.contains("ServerTools\tLPBCheckRate\tinteger\t15\ta whole number from 1 to 9999"));
    EXPECT_TRUE(lines.contains("ServerSettings\tRConPW\ttext\t\tany text"));
    EXPECT_TRUE(lines.contains("AdvancedSettings\tdownloads\tflag\t1\t0 or 1"));
}
