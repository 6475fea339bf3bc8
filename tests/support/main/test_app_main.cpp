#include "gui/app/dialogs.h"
#include "gui/app/varno_application.h"
#include "support/tmux_socket.h"

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
    // No test may reach the operator's own server consoles: unless a test makes its own, every tmux
    // command of the panel goes to this process's socket, whose server ends with the tests.
    const varno::test::TmuxSocket tmux;
    return RUN_ALL_TESTS();
}
