#include "gui/app/forms.h"
#include "gui/app/start_options.h"
#include "gui/app/varno_application.h"

int main(int argc, char** argv)
{
    varno::VarnoApplication app(argc, argv);
    int exitCode = 0;
    const auto options = varno::parseStartOptions(app, exitCode);
    if (!options)
        return exitCode;
    varno::createForms(*options);
    const int result = app.exec();
    varno::destroyForms();
    return result;
}
