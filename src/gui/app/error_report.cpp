#include "gui/app/error_report.h"

#include "gui/app/dialogs.h"

#include <QStringList>

#include <cstdio>

namespace varno {

void reportError(const std::exception& error)
{
    // Timers keep firing under a modal message box, so errors can arrive while one is open. They wait
    // and are shown one after another once it closes; an error already waiting is not queued twice
    // (every stage of the start-up loading may meet the same unwritable settings file).
    static bool showing = false;
    static QStringList waiting;
    const QString text = QString::fromLocal8Bit(error.what());
    std::fprintf(stderr, "Varno Server: %s\n", error.what());
    std::fflush(stderr);
    if (showing) {
        if (!waiting.contains(text))
            waiting.append(text);
        return;
    }
    showing = true;
    dialogs::showMessage(text);
    while (!waiting.isEmpty())
        dialogs::showMessage(waiting.takeFirst());
    showing = false;
}

} // namespace varno
