#include "platform/posix/url_opener.h"

#include "platform/qt_text.h"

#include <QProcess>

namespace varno {

std::optional<std::string> openWebSiteWithUrlOpener(const std::string& address)
{
    const QString fromEnvironment = qEnvironmentVariable("VARNO_URL_OPENER");
    const QString opener = fromEnvironment.isEmpty() ? QStringLiteral("xdg-open") : fromEnvironment;
    auto* process = new QProcess;
    // The browser lives on after us; the process object goes when its program ends.
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(opener, {toQ(address)});
    const bool started = process->waitForStarted(2000);
    bool failed = !started;
    if (started && process->waitForFinished(100))
        failed = process->exitStatus() != QProcess::NormalExit || process->exitCode() != 0;
    if (!started)
        process->deleteLater();
    if (!failed)
        return std::nullopt;
    return "Error: the web browser could not be started with " + toStd(opener) + ".  Open " + address +
           " in your browser.";
}

} // namespace varno
