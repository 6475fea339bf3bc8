#include "gui/settings/settings_commands.h"

#include "core/settings/schema.h"
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/spin_edit.h"
#include "gui/app/status_line.h"
#include "gui/app/widget_helpers.h"
#include "gui/settings/advanced_page.h"
#include "gui/settings/remote_access_page.h"
#include "gui/settings/startup_page.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProcess>

namespace varno {

namespace {

constexpr const char* kReload = "Click OK to reload Varno Server.";

bool startDetached(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

ProgramStarter& starter()
{
    static ProgramStarter start = startDetached;
    return start;
}

// The sections that "To this page only" erases, by the caption of the active page.
std::vector<std::string_view> sectionsOfPage(const QString& caption)
{
    if (caption == QLatin1String("Startup"))
        return {kSectionServer, kSectionBots};
    if (caption == QLatin1String("Map Rotation"))
        return {kSectionMaps};
    if (caption == QLatin1String("Advanced"))
        return {kSectionAdvanced};
    if (caption == QLatin1String("ZOZ Idaroz"))
        return {kSectionServerTools};
    return {};
}

} // namespace

void setProgramStarter(ProgramStarter start)
{
    starter() = start ? std::move(start) : ProgramStarter(startDetached);
}

QString restartProgram()
{
    return QCoreApplication::applicationFilePath();
}

QStringList restartArguments()
{
    const QString file = toQ(settingsFile());
    if (file.isEmpty())
        return {};
    return {QStringLiteral("--settings"), file};
}

void saveStartupSettings()
{
    const TForm1& form = *forms().Form1;
    const StartupPage& startup = *form.startupPage;
    {
        const auto store = createSettingsStore();
        store->WriteString(kServerName, toStd(startup.ServerNameEdit->text()));
        store->WriteString(kMotd, toStd(startup.MotdEdit->text()));
        store->WriteString(kGameTypeText, toStd(startup.GameTypeBox->currentText()));
        store->WriteInteger(kGameType, comboSelectedIndex(startup.GameTypeBox));
        store->WriteString(kServerType, toStd(startup.ServerTypeBox->currentText()));
        store->WriteInteger(kMemory, startup.memtouse->value());
        store->WriteString(kStartMap, toStd(startup.StartMapBox->currentText()));
        store->WriteInteger(kMaxPlayers, startup.MaxPlayers->value());
        store->WriteInteger(kTimeLimit, startup.TimeLimit->value());
        store->WriteInteger(kFragLimit, startup.Fraglimit->value());
        store->WriteBool(kPureServer, form.advancedPage->PureCB->isChecked());
        store->WriteString(kRConPW, toStd(form.remoteAccessPage->RCONEdit->text()));
        store->WriteBool(kVarnoClients, form.remoteAccessPage->VarnoClientCheckBox->isChecked());
        store->WriteInteger(kRestoreFlags, kStartupStageArmed);
    }
    form.StatusBar1->setText(QStringLiteral("Settings Saved!"));
}

void restoreDefaults(bool allPages)
{
    TForm1& form = *forms().Form1;
    {
        const auto store = createSettingsStore();
        const auto sections = allPages ? std::vector<std::string_view>(restorableSections().begin(),
                                                                        restorableSections().end())
                                       : sectionsOfPage(form.activePageCaption());
        for (const auto section : sections)
            store->EraseSection(section);
    }
    dialogs::showMessage(QString::fromLatin1(kReload));
    form.close();
    starter()(restartProgram(), restartArguments());
}

} // namespace varno
