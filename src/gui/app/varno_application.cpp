#include "gui/app/varno_application.h"

#include "gui/app/dialogs.h"
#include "gui/app/error_report.h"
#include "gui/app/start_options.h"

namespace varno {

VarnoApplication::VarnoApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    nameApplication();
    // Closing the main window ends the program even while a secondary window is open.
    setQuitOnLastWindowClosed(false);
}

bool VarnoApplication::notify(QObject* receiver, QEvent* event)
{
    bool result = false;
    runHandler([&] { result = QApplication::notify(receiver, event); });
    return result;
}

} // namespace varno
