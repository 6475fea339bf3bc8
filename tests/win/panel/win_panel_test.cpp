// The panel under Wine, end to end through its real windows and the Windows platform plugin: the settings come
// from the registry (written with regedit), the launch starts quake3.exe (the stand-in) in its own console window,
// the console bridge types into that window, the watcher talks UDP to the server, the watchdog relaunches a crashed
// server, and the tray icon goes through the shell. The tests run in order on one launched server.
#include "gui/app/about_form.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/status_line.h"
#include "gui/app/tray_icon.h"
#include "gui/console/console_page.h"
#include "gui/launch/map_rotation_page.h"
#include "gui/lpb/lpb_page.h"
#include "gui/settings/cmd_line_form.h"
#include "gui/settings/prop_form.h"
#include "gui/settings/startup_page.h"
#include "drive/server_fleet.h"
#include "gui/app/server_form.h"
#include "gui/app/servers_page.h"
#include "platform/win/win_console.h"
#include "win_test_support.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QNetworkDatagram>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QUdpSocket>

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using namespace varno;
using namespace std::chrono_literals;

namespace {

constexpr const char* kPassword = "winpw";
constexpr const char* kLowPinger = "203.0.113.50";
constexpr const char* kGreeting = "echo Varno Interface Complete!";

// Waits, handling the panel's events, until the condition holds; whether it did.
bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeout.count())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        Sleep(5);
    }
    return true;
}

int freeUdpPort()
{
    QUdpSocket probe;
    probe.bind(QHostAddress::LocalHost, 0);
    return probe.localPort();
}

// One rcon command to the server on loopback; the reply's text, empty when none came.
QString rcon(int port, const QString& command)
{
    QUdpSocket socket;
    socket.bind(QHostAddress::LocalHost, 0);
    socket.writeDatagram(QByteArray("\xff\xff\xff\xffrcon ") + kPassword + ' ' + command.toLatin1(),
                         QHostAddress::LocalHost, quint16(port));
    QString reply;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300) {
        if (socket.waitForReadyRead(50)) {
            while (socket.hasPendingDatagrams())
                reply += QString::fromLatin1(socket.receiveDatagram().data().mid(10));
        }
    }
    return reply;
}

std::string registryText(const char* section, const char* value)
{
    char data[4096] = {};
    DWORD size = sizeof data;
    const std::string key = std::string("software\\Vrn\\") + section;
    if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), value, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return {};
    return data;
}

// Imports a .reg text through regedit, as an operator or an installer would.
void importRegistry(const fs::path& file, const std::string& text)
{
    std::ofstream(file, std::ios::binary) << text;
    wintest::ChildProcess regedit = wintest::startProcess("regedit.exe /S \"" + file.string() + "\"");
    ASSERT_NE(regedit.id(), 0u) << "regedit did not start";
    ASSERT_TRUE(wintest::waitUntil([&] { return !regedit.running(); }, 20s)) << "regedit did not finish";
}

std::string regString(const std::string& text)
{
    std::string escaped;
    for (const char c : text) {
        if (c == '\\' || c == '"')
            escaped += '\\';
        escaped += c;
    }
    return '"' + escaped + '"';
}

int countOccurrences(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

// The process ids of the game consoles open now.
std::vector<DWORD> consoleProcesses()
{
    std::vector<DWORD> ids;
    for (HWND window = FindWindowExA(nullptr, nullptr, "Q3 WinConsole", nullptr); window;
         window = FindWindowExA(nullptr, window, "Q3 WinConsole", nullptr))
        ids.push_back(static_cast<DWORD>(consoleProcessId(window)));
    return ids;
}

class WinPanelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_work = std::make_unique<wintest::TempFolder>("panel");
        s_game = s_work->path() / "Game";
        fs::create_directories(s_game / "baseq3");
        fs::copy_file(wintest::siblingProgram("q3standin.exe"), s_game / "quake3.exe");
        s_log = s_work->path() / "standin.log";
        s_port = freeUdpPort();

        const std::string commandLine = "+set net_port " + std::to_string(s_port) + " +set standin_log " +
                                        s_log.string() + " +addclient LowPinger 12 " + kLowPinger + ":27960";
        std::ostringstream reg;
        reg << "REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\software\\Vrn]\r\n\r\n"
            << "[HKEY_CURRENT_USER\\software\\Vrn\\ProgramSettings]\r\n"
            << "\"QuakeDir\"=" << regString(s_game.string()) << "\r\n"
            << "\"InstallDir\"=" << regString(s_work->path().string()) << "\r\n\r\n"
            << "[HKEY_CURRENT_USER\\software\\Vrn\\General]\r\n\"RestoreFlags\"=\"2\"\r\n\r\n"
            << "[HKEY_CURRENT_USER\\software\\Vrn\\ServerSettings]\r\n"
            << "\"ServerName\"=\"Wine Frag Hall\"\r\n\"RConPW\"=" << regString(kPassword) << "\r\n\r\n"
            << "[HKEY_CURRENT_USER\\software\\Vrn\\MapSettings]\r\n\"MapRotation\"=\"q3dm7,q3dm1\"\r\n\r\n"
            << "[HKEY_CURRENT_USER\\software\\Vrn\\ServerTools]\r\n"
            << "\"LPBRCon\"=" << regString(kPassword) << "\r\n\"LPBRemotePort\"=\"" << s_port << "\"\r\n"
            << "\"LPBCheckRate\"=\"1\"\r\n\"BanIP\"=\"1\"\r\n\r\n"
            << "[HKEY_CURRENT_USER\\software\\Vrn\\SrvCmdLine]\r\n\"CmdLine\"=" << regString(commandLine) << "\r\n";
        importRegistry(s_work->path() / "profile.reg", reg.str());

        createForms();
        s_formsCreated = true;
    }

    static void TearDownTestSuite()
    {
        if (s_formsCreated) {
            // The panel leaves the server running when it closes, as it does for the operator; the test ends it.
            destroyForms();
            s_formsCreated = false;
        }
        for (const DWORD id : consoleProcesses())
            wintest::ChildProcess::fromId(id).end();
        importRegistry(s_work->path() / "clean.reg", "REGEDIT4\r\n\r\n[-HKEY_CURRENT_USER\\software\\Vrn]\r\n");
        s_work.reset();
    }

    static std::string standinLog() { return wintest::readWholeFile(s_log); }
    static bool logHas(const std::string& line) { return standinLog().find(line) != std::string::npos; }
    static TForm1& form() { return *forms().Form1; }

    static std::unique_ptr<wintest::TempFolder> s_work;
    static fs::path s_game;
    static fs::path s_log;
    static int s_port;
    static bool s_formsCreated;
    static QElapsedTimer s_launchedAt;
};

std::unique_ptr<wintest::TempFolder> WinPanelTest::s_work;
fs::path WinPanelTest::s_game;
fs::path WinPanelTest::s_log;
int WinPanelTest::s_port = 0;
bool WinPanelTest::s_formsCreated = false;
QElapsedTimer WinPanelTest::s_launchedAt;

} // namespace

TEST_F(WinPanelTest, TheLoaderFillsThePagesFromTheRegistry)
{
    ASSERT_TRUE(waitFor([] { return form().StatusBar1->text() == QLatin1String("Varno Loaded Successfully."); }))
        << qPrintable(form().StatusBar1->text());
    EXPECT_EQ(form().startupPage->ServerNameEdit->text(), QStringLiteral("Wine Frag Hall"));
    EXPECT_EQ(forms().PropForm->Q3DirEdit->text(), QString::fromStdString(s_game.string()));
    ASSERT_EQ(form().mapRotationPage->RotateMapListBox->count(), 2);
    EXPECT_EQ(form().mapRotationPage->RotateMapListBox->item(0)->text(), QStringLiteral("q3dm7"));
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
}

TEST_F(WinPanelTest, TextInEditFieldsIsDrawn)
{
    // Wine's DirectWrite draws nothing in edits; the panel draws with FreeType there. The text is what tells a field
    // with text from the same field empty.
    QLineEdit field;
    field.resize(form().startupPage->ServerNameEdit->size());
    field.setText(QStringLiteral("Wine Frag Hall"));
    const QImage withText = field.grab().toImage();
    field.clear();
    const QImage empty = field.grab().toImage();
    ASSERT_EQ(withText.size(), empty.size());
    int drawn = 0;
    for (int y = 0; y < empty.height(); ++y) {
        for (int x = 0; x < empty.width(); ++x)
            drawn += withText.pixel(x, y) != empty.pixel(x, y) ? 1 : 0;
    }
    EXPECT_GT(drawn, 100) << "no text is drawn in a line edit";
}

TEST_F(WinPanelTest, LaunchStartsQuake3InItsConsoleAndTheBridgeGreetsItOnce)
{
    form().ToolButton7->click();
    s_launchedAt.start();
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    EXPECT_TRUE(fs::exists(s_game / "baseq3" / "vrn2data.cfg"));
    QString status;
    ASSERT_TRUE(waitFor([&] {
        status = rcon(s_port, QStringLiteral("status"));
        return status.contains(QLatin1String("map: q3dm7"));
    })) << qPrintable(status);
    EXPECT_EQ(consoleProcesses().size(), 1u);
    EXPECT_TRUE(rcon(s_port, QStringLiteral("sv_hostname")).contains(QLatin1String("Wine Frag Hall")));

    const QPlainTextEdit* log = form().consolePage->enhConsole;
    ASSERT_TRUE(waitFor([&] { return log->toPlainText().contains(QLatin1String("Server is Ready")) && logHas(kGreeting); }))
        << qPrintable(log->toPlainText()) << standinLog();
    EXPECT_TRUE(log->toPlainText().contains(QLatin1String("Q3 Dedicated Server Found!")));
}

TEST_F(WinPanelTest, SendCommandTypesIntoTheConsoleWindow)
{
    ConsolePage& page = *form().consolePage;
    page.CmdBox->setEditText(QStringLiteral("Fraglimit"));
    page.ValueEdit->setText(QStringLiteral("30"));
    page.SendButton->click();
    ASSERT_TRUE(waitFor([] { return logHas("Fraglimit 30"); })) << standinLog();
    EXPECT_TRUE(waitFor([&] { return page.enhConsole->toPlainText().contains(QLatin1String("Fraglimit has changed to 30.")); }));
    EXPECT_TRUE(rcon(s_port, QStringLiteral("fraglimit")).contains(QLatin1String("30")));
    // The console's own output comes back into the page while it shows.
    form().showPage(QStringLiteral("Enhanced Console"));
    EXPECT_TRUE(waitFor([&] { return page.ConsoleOutputView->toPlainText().contains(QLatin1String("]Fraglimit 30")); }))
        << qPrintable(page.ConsoleOutputView->toPlainText());
    // Found once, greeted once.
    EXPECT_EQ(countOccurrences(standinLog(), kGreeting), 1);
}

TEST_F(WinPanelTest, TheWatcherKicksAndBansTheLowPingPlayerOverUdp)
{
    form().lpbPage->LpbButton->click();
    ASSERT_TRUE(waitFor([] { return logHas("clientkick ") && logHas(std::string("addip ") + kLowPinger); }))
        << standinLog();
    EXPECT_FALSE(rcon(s_port, QStringLiteral("status")).contains(QLatin1String("LowPinger")));
    EXPECT_TRUE(waitFor([] { return registryText("AdvancedSettings", "BanIPList").find(kLowPinger) != std::string::npos; }))
        << registryText("AdvancedSettings", "BanIPList");
    EXPECT_TRUE(form().lpbPage->LPBListBox->toPlainText().contains(QLatin1String("LowPinger")));
}

TEST_F(WinPanelTest, ACrashedServerIsRelaunchedAndGreetedAgain)
{
    const std::vector<DWORD> before = consoleProcesses();
    ASSERT_EQ(before.size(), 1u);
    // A server that ends within 10 s of its launch could not start and stays down; this one has been up longer.
    waitFor([] { return s_launchedAt.elapsed() > 10500; }, 15s);
    ConsolePage& page = *form().consolePage;
    page.CmdBox->setEditText(QStringLiteral("standin_crash"));
    page.ValueEdit->clear();
    page.SendButton->click();

    ASSERT_TRUE(waitFor([&] {
        const std::vector<DWORD> now = consoleProcesses();
        return now.size() == 1 && now.front() != before.front();
    })) << qPrintable(form().StatusBar1->text());
    EXPECT_TRUE(waitFor([] { return form().StatusBar1->text().contains(QLatin1String("0xC0000005")); }))
        << qPrintable(form().StatusBar1->text());
    EXPECT_TRUE(waitFor([] { return rcon(s_port, QStringLiteral("status")).contains(QLatin1String("map: q3dm7")); }));
    EXPECT_TRUE(waitFor([] { return countOccurrences(standinLog(), kGreeting) == 2; })) << standinLog();
}

TEST_F(WinPanelTest, ASecondServerRunsBesideTheFirstAndIsGreetedInItsOwnConsoleOnly)
{
    ServersPage& page = *form().serversPage;
    page.ServerThisComputer1->trigger();
    auto* dialog = page.findChild<TServerForm*>(QStringLiteral("ServerForm"));
    ASSERT_NE(dialog, nullptr);
    dialog->NameEdit->setText(QStringLiteral("Wine CTF"));
    dialog->OkButton->click();
    FleetServer* second = forms().fleet->find("wine-ctf");
    ASSERT_NE(second, nullptr) << qPrintable(dialog->ProblemLabel->text());
    EXPECT_EQ(registryText("Servers\\wine-ctf\\Profile", "Name"), "Wine CTF");

    // The pages show it; its own port and log, typed into the Command Line dialog.
    page.selectServer(*second);
    page.Manage1->trigger();
    const int port = freeUdpPort();
    const fs::path log = s_work->path() / "standin-ctf.log";
    forms().CmdLineForm->AddCmdLine->setText(
        QString::fromStdString("+set net_port " + std::to_string(port) + " +set standin_log " + log.string()));
    forms().CmdLineForm->Button1->click();
    const int firstGreetings = countOccurrences(standinLog(), kGreeting);
    form().ToolButton7->click();
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    ASSERT_TRUE(waitFor([&] { return rcon(port, QStringLiteral("status")).contains(QLatin1String("map:")); }));
    EXPECT_EQ(consoleProcesses().size(), 2u);
    EXPECT_TRUE(waitFor([&] { return countOccurrences(wintest::readWholeFile(log), kGreeting) == 1; }))
        << wintest::readWholeFile(log);
    EXPECT_EQ(countOccurrences(standinLog(), kGreeting), firstGreetings) << "typed into the other server's console";

    // Stopped from its row: the first runs on.
    page.selectServer(*second);
    page.Stop1->trigger();
    EXPECT_TRUE(waitFor([] { return consoleProcesses().size() == 1; }));
    EXPECT_TRUE(rcon(s_port, QStringLiteral("status")).contains(QLatin1String("map:")));
    page.selectServer(*forms().fleet->find(""));
    page.Manage1->trigger();
}

TEST_F(WinPanelTest, TheTrayIconHidesTheMinimisedWindowAndAClickRestoresIt)
{
    ASSERT_TRUE(forms().PropForm->SystrayCB->isChecked());
    form().showMinimized();
    ASSERT_TRUE(waitFor([] { return !form().isVisible(); }));
    const HWND owner = reinterpret_cast<HWND>(form().winId());
    // The shell holds the icon: it accepts a change to it.
    NOTIFYICONDATAA icon{};
    icon.cbSize = sizeof icon;
    icon.hWnd = owner;
    icon.uID = UINT(form().TrayIcon1->IconID());
    EXPECT_TRUE(Shell_NotifyIconA(NIM_MODIFY, &icon));

    // A click on the icon, as the shell reports it to the owner window.
    const UINT callback = WM_USER + UINT(form().TrayIcon1->IconID());
    PostMessageA(owner, callback, icon.uID, WM_LBUTTONDOWN);
    PostMessageA(owner, callback, icon.uID, WM_LBUTTONUP);
    EXPECT_TRUE(waitFor([] { return form().isVisible() && !form().isMinimized(); }));
}

TEST_F(WinPanelTest, AboutOpensTheAboutWindow)
{
    form().About1->trigger();
    EXPECT_TRUE(waitFor([] { return forms().AboutForm->isVisible(); }));
    forms().AboutForm->close();
}
