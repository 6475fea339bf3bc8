#include "gui/app/dialogs.h"
#include "gui/app/varno_application.h"
#include "platform/services.h"

#include <gtest/gtest.h>

// The panel's windows on Windows' own platform plugin (under Wine: with its text drawn by FreeType, as the
// program itself chooses); no modal window is ever shown.
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    varno::prepareGuiPlatform();
    varno::VarnoApplication app(argc, argv);
    varno::dialogs::setScripted(true);
    return RUN_ALL_TESTS();
}
