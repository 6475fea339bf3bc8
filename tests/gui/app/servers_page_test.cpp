#include "drive/server_fleet.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/server_form.h"
#include "gui/app/servers_page.h"
#include "gui/app/spin_edit.h"
#include "gui/settings/opening_form.h"
#include "gui/settings/startup_page.h"
#include "platform/settings_factory.h"
#include "support/gui_fixture.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

using namespace varno;
using namespace varno::test;

class ServersPageTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        dialogs::setScripted(true);
        settings->write("ServerSettings", "ServerName", "Frag Hall");
        settings->write("ServerSettings", "NetPort", "27960");
        settings->write("General", "RestoreFlags", "2");
        createWindows();
        forms().OpeningForm->loadAllStages();
        page = forms().Form1->serversPage;
        fleet = forms().fleet;
    }
    void TearDown() override
    {
        dialogs::setScripted(false);
        GuiTest::TearDown();
    }

    // Opens the Add (local) dialog, types the name and confirms; the dialog's refusal, if any.
    QString addLocal(const QString& name)
    {
        page->ServerThisComputer1->trigger();
        auto* form = page->findChild<TServerForm*>(QStringLiteral("ServerForm"));
        typeInto(form->NameEdit, name);
        click(form->OkButton);
        const QString problem = form->ProblemLabel->text();
        if (problem.isEmpty())
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        else
            form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        return problem;
    }

    QString storedIn(const QString& file, const QString& key) const
    {
        return QSettings(file, QSettings::IniFormat).value(key).toString();
    }

    ServersPage* page = nullptr;
    ServerFleet* fleet = nullptr;
};

TEST_F(ServersPageTest, ManagingAnotherServerShowsAndStoresItsOwnValues)
{
    ASSERT_EQ(addLocal(QStringLiteral("CTF Night")), QString());
    FleetServer& second = *fleet->find("ctf-night");
    TForm1& form = *forms().Form1;
    page->selectServer(second);
    page->Manage1->trigger();
    // Copied from the first, on the next port; what is typed now goes to the second's file only.
    EXPECT_EQ(form.startupPage->ServerNameEdit->text(), QStringLiteral("Frag Hall"));
    EXPECT_EQ(form.startupPage->NetPort->value(), 27961);
    clearField(form.startupPage->ServerNameEdit);
    typeInto(form.startupPage->ServerNameEdit, QStringLiteral("CTF Night Hall"));
    const QString secondFile = QString::fromStdString(settingsFileOf("ctf-night"));
    EXPECT_EQ(storedIn(secondFile, QStringLiteral("ServerSettings/ServerName")), QStringLiteral("CTF Night Hall"));
    EXPECT_EQ(storedIn(settings->file(), QStringLiteral("ServerSettings/ServerName")), QStringLiteral("Frag Hall"));
    EXPECT_TRUE(form.windowTitle().endsWith(QLatin1String(" - CTF Night"))) << qPrintable(form.windowTitle());

    // Back on the first, its own values again.
    page->selectServer(*fleet->find(""));
    page->Manage1->trigger();
    EXPECT_EQ(form.startupPage->ServerNameEdit->text(), QStringLiteral("Frag Hall"));
    EXPECT_EQ(form.startupPage->NetPort->value(), 27960);
    EXPECT_FALSE(QSettings(settings->file(), QSettings::IniFormat).childGroups().contains(QStringLiteral("Profile")));
}

TEST_F(ServersPageTest, NamesAreRefusedInTheDialogAndDeletingAsksFirst)
{
    EXPECT_EQ(addLocal(QStringLiteral("Default")), QStringLiteral("a server named 'Default' exists already"));
    EXPECT_EQ(addLocal(QStringLiteral("!!")), QStringLiteral("a server name needs a letter or a digit"));
    ASSERT_EQ(addLocal(QStringLiteral("Duel")), QString());
    EXPECT_EQ(addLocal(QStringLiteral("duel")), QStringLiteral("a server named 'duel' exists already"));
    EXPECT_EQ(fleet->servers().size(), 2u);

    // The first server's settings stay; another's go once the operator says yes.
    page->selectServer(*fleet->find(""));
    EXPECT_FALSE(page->Delete1->isEnabled());
    FleetServer& duel = *fleet->find("duel");
    const QString duelFile = QString::fromStdString(settingsFileOf("duel"));
    page->selectServer(duel);
    page->ServerProperties1->trigger();
    const QStringList properties = dialogs::takeMessages();
    ASSERT_EQ(properties.size(), 1);
    EXPECT_TRUE(properties.front().contains(QLatin1String("Port: 27961"))) << qPrintable(properties.front());
    EXPECT_TRUE(properties.front().contains(QLatin1String("+set net_port 27961"))) << qPrintable(properties.front());
    page->Delete1->trigger();
    EXPECT_EQ(dialogs::takeMessages(), QStringList{QStringLiteral("Delete server Duel? Its settings are removed.")});
    EXPECT_TRUE(QFileInfo::exists(duelFile));
    dialogs::queueQuestionAnswer(true);
    page->Delete1->trigger();
    EXPECT_FALSE(QFileInfo::exists(duelFile));
    EXPECT_EQ(fleet->find("duel"), nullptr);
}
