#include "demo_profile.h"

#include <QGuiApplication>

#include <cstdio>

// varno-demo-profile FOLDER STANDIN: seeds the demo profile and prints its settings file.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: varno-demo-profile FOLDER STANDIN-PROGRAM\n");
        return 2;
    }
    const QString settings = varno::demo::seedDemoProfile(arguments[1], arguments[2]);
    std::printf("%s\n", qPrintable(settings));
    return 0;
}
