#include "gui/app/error_report.h"

#include "gui/app/dialogs.h"

#include <QtGlobal>

namespace varno {

void reportError(const std::exception& error)
{
    // Timers keep firing under a modal message box; what fails meanwhile (often a consequence of the same
    // fault, such as every stage of the start-up loading meeting the same unwritable settings file) is not
    // stacked into further boxes but goes to the program's error output.
    static bool showing = false;
    const QString text = QString::fromLocal8Bit(error.what());
    if (showing) {
        qWarning("Varno Server: %s", qPrintable(text));
        return;
    }
    showing = true;
    dialogs::showMessage(text);
    showing = false;
}

} // namespace varno
