#include "gui/console/console_in_view.h"

#include "gui/app/status_line.h"
#include "platform/qt_text.h"
#include "platform/services.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <memory>

namespace varno {

namespace {

constexpr int kAttachPollMs = 200;

} // namespace

void showConsoleAfterLaunch(const std::string& consoleName, bool openWindow, StatusLine* statusLine)
{
    std::shared_ptr<ConsoleWindowOpener> opener = createConsoleWindowOpener();
    const std::string attach = opener->attachCommand(consoleName);
    if (!openWindow) {
        if (!attach.empty())
            statusLine->setText(toQ("To see the server console, run: " + attach));
        return;
    }
    const ConsoleWindowOpener::Opening opening = opener->open(consoleName);
    if (!opening.started) {
        if (!opening.message.empty())
            statusLine->setText(toQ(opening.message));
        return;
    }
    // The window counts once a terminal shows the session, not when its program has merely started.
    const QPointer<StatusLine> line(statusLine);
    auto* poll = new QTimer(statusLine);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    const std::string terminal = opening.message;
    QObject::connect(poll, &QTimer::timeout, poll, [=] {
        const bool shown = opener->attached(consoleName);
        if (!shown && clock->elapsed() < kConsoleWindowPatienceMs)
            return;
        poll->stop();
        poll->deleteLater();
        if (!line)
            return;
        if (shown)
            line->setText(
                toQ("The server console \"" + consoleName + "\" is open in a terminal window (" + terminal + ")."));
        else
            line->setText(
                toQ("The terminal " + terminal + " did not show the server console; to see it, run: " + attach));
    });
    poll->start(kAttachPollMs);
}

} // namespace varno
