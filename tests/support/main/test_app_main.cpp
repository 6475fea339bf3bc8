#include "gui/app/dialogs.h"
#include "gui/app/varno_application.h"

#include <gtest/gtest.h>

// The Qt test layers share this main: one application object, no modal window ever shown.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    // Headless also while CTest lists the tests, which it does without the tests' environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    varno::VarnoApplication app(argc, argv);
    varno::dialogs::setScripted(true);
    return RUN_ALL_TESTS();
}
