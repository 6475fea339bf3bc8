#include "e2e/console_bridge_fixture.h"

#include "core/console/key_player.h"
#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/console/console_page.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/startup_page.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace varno::test {

namespace {

QStringList completeLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'));
    lines.removeLast();
    return lines;
}

} // namespace

void StandinConsoleTest::SetUp()
{
    GuiTest::SetUp();
    ASSERT_TRUE(folder.isValid());
    originalFolder = QDir::currentPath();
    gameFolder = folder.filePath(QStringLiteral("quake3"));
    standinLog = folder.filePath(QStringLiteral("standin.log"));
    ASSERT_TRUE(QDir().mkpath(gameFolder + QStringLiteral("/baseq3")));
    const QString standin = QStringLiteral(VARNO_BIN_DIR "/q3standin");
    ASSERT_TRUE(QFile::exists(standin)) << qPrintable(standin);
    ASSERT_TRUE(QFile::link(standin, gameFolder + QStringLiteral("/q3ded")));

    createWindows(false, true);
    // The main window's start-up reminder about the maps folder is not what these tests look at.
    QCoreApplication::processEvents();
    dialogs::takeMessages();
    page = forms().Form1->consolePage;
    typeInto(forms().PropForm->Q3DirEdit, gameFolder);
    forms().Form1->model().holdList(kMapRotation, {"q3dm1"});
    // Any free port, on loopback only.
    clearField(forms().Form1->startupPage->NetPort);
    typeInto(forms().Form1->startupPage->NetPort, QStringLiteral("0"));
    typeInto(forms().CmdLineForm->AddCmdLine, QStringLiteral("+set net_ip 127.0.0.1 +set standin_log ") + standinLog);
    forms().Form1->showPage(QStringLiteral("Enhanced Console"));
}

void StandinConsoleTest::TearDown()
{
    QDir::setCurrent(originalFolder);
    GuiTest::TearDown();
}

void StandinConsoleTest::launch()
{
    click(forms().Form1->ToolButton7);
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
}

bool StandinConsoleTest::waitForServerReady()
{
    return waitFor([&] { return page->logLines().contains(QStringLiteral("Server is Ready")); });
}

bool StandinConsoleTest::waitForStandinCommand(const QString& command)
{
    return waitFor([&] { return standinCommands().contains(command); });
}

bool StandinConsoleTest::waitUntilIdle()
{
    return waitFor([&] { return !page->keyPlayer().isPlaying(); });
}

void StandinConsoleTest::sendCommand(const QString& command, const QString& value)
{
    clearField(page->CmdBox);
    typeInto(page->CmdBox, command);
    clearField(page->ValueEdit);
    typeInto(page->ValueEdit, value);
    click(page->SendButton);
}

void StandinConsoleTest::changeMap(const QString& map)
{
    page->MapBox->setCurrentIndex(page->MapBox->findText(map, Qt::MatchExactly));
    click(page->MapButton);
}

QStringList StandinConsoleTest::standinCommands() const
{
    return completeLines(standinLog);
}

} // namespace varno::test
