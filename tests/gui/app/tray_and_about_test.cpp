#include "core/app/tray_dispatch.h"
#include "gui/app/about_form.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/tray_icon.h"
#include "gui/settings/prop_form.h"
#include "support/gui_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest/QTest>

using namespace varno;
using namespace varno::test;

namespace {

// A notification area that remembers what it was asked and can be clicked.
struct FakeArea {
    bool available = true;
    bool shown = false;
    int adds = 0;
    int removes = 0;
    TrayBackend* backend = nullptr;
};

class FakeTrayBackend : public TrayBackend {
public:
    explicit FakeTrayBackend(FakeArea& area)
        : m_area(area)
    {
        m_area.backend = this;
    }
    bool available() const override { return m_area.available; }
    bool add(const QIcon&, const QString&) override
    {
        ++m_area.adds;
        if (m_area.shown)
            return false;
        m_area.shown = true;
        return true;
    }
    bool modify(const QIcon&, const QString&) override { return m_area.shown; }
    void remove() override
    {
        ++m_area.removes;
        m_area.shown = false;
    }

private:
    FakeArea& m_area;
};

} // namespace

class TrayTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        TTrayIcon::setBackendFactory([this](QWidget*, int) { return std::make_unique<FakeTrayBackend>(area); });
        createWindows(false, true);
        dialogs::takeMessages();
    }
    void TearDown() override
    {
        GuiTest::TearDown();
        TTrayIcon::setBackendFactory({});
    }

    void minimise()
    {
        forms().Form1->showMinimized();
        waitFor([] { return false; }, std::chrono::milliseconds(50)); // let the deferred handler run
    }

    FakeArea area;
};

TEST_F(TrayTest, MinimisingWithTheOptionOnHidesIntoTheAreaAndAClickBringsItBack)
{
    TForm1* form = forms().Form1;
    minimise();
    EXPECT_TRUE(area.shown);
    EXPECT_FALSE(form->isVisible());

    area.backend->mouseMessage(kWmLButtonDown);
    ASSERT_TRUE(waitFor([&] { return form->isVisible(); }));
    EXPECT_FALSE(form->isMinimized());
    EXPECT_TRUE(area.shown); // the icon stays

    // A second minimise adds again, which the area refuses: still one icon.
    minimise();
    EXPECT_EQ(area.adds, 2);
    EXPECT_TRUE(area.shown);
    EXPECT_EQ(area.removes, 0);
}

TEST_F(TrayTest, MinimisingWithTheOptionOffIsOrdinary)
{
    forms().PropForm->SystrayCB->setChecked(false);
    minimise();
    EXPECT_FALSE(area.shown);
    EXPECT_TRUE(forms().Form1->isVisible());
}

TEST_F(TrayTest, WithoutANotificationAreaTheWindowIsNeverHidden)
{
    area.available = false;
    minimise();
    EXPECT_FALSE(area.shown);
    EXPECT_TRUE(forms().Form1->isVisible());
}

TEST_F(TrayTest, ComponentNumbersItsIconsAndFiresItsEvents)
{
    QWidget owner;
    TTrayIcon first(&owner);
    TTrayIcon second(&owner);
    EXPECT_EQ(first.IconID(), 1);
    EXPECT_EQ(second.IconID(), 2);
    EXPECT_TRUE(first.ShowIcon());
    EXPECT_FALSE(first.ShowIcon());

    std::vector<std::string> fired;
    first.OnClick = [&](TTrayIcon* sender) { fired.push_back(sender == &first ? "click" : "?"); };
    first.OnMouseUp = [&](TTrayIcon*) { fired.push_back("up"); };
    first.OnDblClick = [&](TTrayIcon*) { fired.push_back("double"); };
    for (std::uint32_t message : {kWmLButtonDown, kWmLButtonUp, kWmMButtonDown, kWmRButtonDown, kWmRButtonDblClk, 600u})
        first.handleMouseMessage(message);
    EXPECT_EQ(fired, (std::vector<std::string>{"click", "up", "click", "click", "double"}));
    first.OnMouseDown = [&](TTrayIcon*) { fired.push_back("down"); };
    fired.clear();
    first.handleMouseMessage(kWmLButtonDown);
    EXPECT_EQ(fired, std::vector<std::string>{"down"});

    first.setTip(QString(80, QLatin1Char('t')));
    EXPECT_EQ(first.Tip().size(), 63);
}

TEST_F(TrayTest, DestroyingTheComponentRemovesItsIcon)
{
    {
        QWidget owner;
        TTrayIcon icon(&owner);
        icon.ShowIcon();
        EXPECT_TRUE(area.shown);
    }
    EXPECT_FALSE(area.shown);
}

class AboutTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        createWindows();
    }
};

TEST_F(AboutTest, OkayHidesAndAboutShowsItAgainUnchanged)
{
    TAboutForm* about = forms().AboutForm;
    forms().Form1->About1->trigger();
    ASSERT_TRUE(about->isVisible());
    EXPECT_EQ(about->windowTitle(), QStringLiteral("About"));
    EXPECT_TRUE(about->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(about->Label1->text(), QStringLiteral("Varno Server") + QString(30, QLatin1Char(' ')) + "v2.5");
    QStringList texts;
    for (QLabel* label : about->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains(QStringLiteral("Hard Core Beta Testers:")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Special Thanks to:")));
    EXPECT_TRUE(texts.contains(QStringLiteral("and the beta testing team, you guys rock!")));
    const QSize size = about->size();
    click(about->Button1);
    EXPECT_FALSE(about->isVisible());
    forms().Form1->About1->trigger();
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->size(), size);
    QStringList again;
    for (QLabel* label : about->findChildren<QLabel*>())
        again << label->text();
    EXPECT_EQ(again, texts);
}

TEST_F(AboutTest, WebSiteLinkReportsAnOpenerThatCannotStart)
{
    qputenv("VARNO_URL_OPENER", "/nonexistent/opener");
    forms().AboutForm->show();
    QTest::mouseClick(forms().AboutForm->Label7, Qt::LeftButton);
    EXPECT_EQ(dialogs::takeMessages(),
              QStringList{"Error: the web browser could not be started with /nonexistent/opener.  Open "
                          "http://www.varno.example.org in your browser."});

    // An opener that runs is handed the address, and nothing is reported.
    const QString record = settings->path(QStringLiteral("opened.txt"));
    const QString opener = settings->path(QStringLiteral("opener.sh"));
    QFile script(opener);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(QStringLiteral("#!/bin/sh\necho \"$1\" > '%1'\n").arg(record).toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("VARNO_URL_OPENER", opener.toLocal8Bit());
    QTest::mouseClick(forms().AboutForm->Label7, Qt::LeftButton);
    EXPECT_TRUE(dialogs::takeMessages().isEmpty());
    ASSERT_TRUE(waitFor([&] { return QFile::exists(record); }));
    QFile opened(record);
    ASSERT_TRUE(opened.open(QIODevice::ReadOnly));
    EXPECT_EQ(opened.readAll().trimmed(), QByteArray("http://www.varno.example.org"));
    qunsetenv("VARNO_URL_OPENER");
}
