#include "gui/app/start_options.h"

#include "gui/app/dialogs.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>
#include <string_view>

namespace varno {

bool asksOnlyForInformation(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument(argv[i]);
        if (argument == "--help" || argument == "-h" || argument == "--help-all" || argument == "--version" ||
            argument == "-v")
            return true;
    }
    return false;
}

void nameApplication()
{
    QCoreApplication::setApplicationName(QString::fromLatin1(dialogs::kApplicationTitle));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNO_VERSION));
}

std::optional<StartOptions> parseStartOptions(QCoreApplication& app, int& exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Varno Server: control panel for Quake 3 dedicated servers."));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings"),
        QStringLiteral("Keep the settings in FILE instead of the per-user location (also VARNO_SETTINGS)."),
        QStringLiteral("FILE"));
    const QCommandLineOption launchOption(QStringLiteral("launch"),
                                          QStringLiteral("Launch the server once the stored settings are loaded."));
    const QCommandLineOption lpbOption(QStringLiteral("lpb"),
                                       QStringLiteral("Enable the ZOZ Idaroz once the stored settings are loaded."));
    parser.addOption(settingsOption);
    parser.addOption(launchOption);
    parser.addOption(lpbOption);
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();

    if (!parser.parse(app.arguments())) {
        std::fprintf(stderr, "VarnoSrv: %s\n", qPrintable(parser.errorText()));
        exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet(helpOption)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        exitCode = 0;
        return std::nullopt;
    }
    if (parser.isSet(versionOption)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        exitCode = 0;
        return std::nullopt;
    }
    if (parser.isSet(settingsOption))
        setSettingsFile(toStd(parser.value(settingsOption)));

    if (const std::string notice = recoverDamagedSettingsFile(); !notice.empty())
        dialogs::showMessage(toQ(notice));

    StartOptions options;
    options.launchAfterLoad = parser.isSet(launchOption);
    options.lpbAfterLoad = parser.isSet(lpbOption);
    return options;
}

} // namespace varno
