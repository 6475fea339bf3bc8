#include "gui/settings/settings_commands.h"

#include "core/settings/schema.h"
#include "core/settings/server_model.h"
#include "gui/app/dialogs.h"
#include "gui/app/main_window.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QCoreApplication>
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

void saveStartupSettings(ServerModel& model)
{
    for (const SettingKey* key : {&kServerName, &kMotd, &kGameTypeText, &kGameType, &kServerType, &kMemory, &kStartMap,
                                  &kMaxPlayers, &kTimeLimit, &kFragLimit, &kNetPort, &kGameDir})
        model.storeHeld(*key);
    // The pure-server box stores PS as it changes; here its state is kept as the Startup page's value too.
    model.storeFlag(kPureServer, model.flag(kPS));
    model.storeHeld(kRConPW);
    model.storeHeld(kVarnoClients);
    model.openStore()->WriteInteger(kRestoreFlags, kStartupStageArmed);
}

void restoreDefaults(TForm1& form, bool allPages)
{
    {
        const auto store = form.model().openStore();
        const auto sections =
            allPages ? std::vector<std::string_view>(restorableSections().begin(), restorableSections().end())
                     : sectionsOfPage(form.activePageCaption());
        for (const auto section : sections)
            store->EraseSection(section);
    }
    dialogs::showMessage(QString::fromLatin1(kReload));
    form.close();
    starter()(restartProgram(), restartArguments());
}

} // namespace varno
