#include "demo_profile.h"
#include "platform/services.h"

#include <QGuiApplication>
#include <QOperatingSystemVersion>
#include <QProcess>

#include <cstdio>

namespace {

constexpr const char* kUsage = "usage: varno-demo-profile FOLDER STANDIN-PROGRAM [PANEL-PROGRAM]\n"
                               "       varno-demo-profile --maps FOLDER\n";

} // namespace

// varno-demo-profile FOLDER STANDIN [PANEL]: seeds the demo profile and prints its settings file; with PANEL, starts
// the panel on it (the Windows Start-menu shortcut). --maps FOLDER draws the stock maps' pictures alone.
int main(int argc, char** argv)
{
    // Pictures are drawn without a window: no display is needed where the system has none of its own.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && QOperatingSystemVersion::currentType() != QOperatingSystemVersion::Windows)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    varno::prepareGuiPlatform();
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() == 3 && arguments[1] == QLatin1String("--maps"))
        return varno::demo::drawMapPictures(arguments[2]) ? 0 : 1;
    if (arguments.size() != 3 && arguments.size() != 4) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const QString settings = varno::demo::seedDemoProfile(arguments[1], arguments[2]);
    if (arguments.size() == 4)
        return QProcess::startDetached(arguments[3], {QStringLiteral("--settings"), settings}) ? 0 : 1;
    std::printf("%s\n", qPrintable(settings));
    return 0;
}
