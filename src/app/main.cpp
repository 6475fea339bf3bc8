#include "gui/app/forms.h"
#include "gui/app/start_options.h"
#include "gui/app/varno_application.h"
#include "platform/services.h"

#include <QCoreApplication>

int main(int argc, char** argv)
{
    int exitCode = 0;
    // --help and --version answer without a display.
    if (varno::asksOnlyForInformation(argc, argv)) {
        QCoreApplication app(argc, argv);
        varno::nameApplication();
        varno::parseStartOptions(app, exitCode);
        return exitCode;
    }
    varno::prepareGuiPlatform();
    varno::VarnoApplication app(argc, argv);
    const auto options = varno::parseStartOptions(app, exitCode);
    if (!options)
        return exitCode;
    varno::createForms(*options);
    const int result = app.exec();
    varno::destroyForms();
    return result;
}
