// varno-perf SETTINGS-FILE [WATCH-SECONDS]: starts the panel's windows on a settings file and prints, one
// per line as "name<TAB>value<TAB>unit":
//   startup_ms      from the process's start to "Varno Loaded Successfully."
//   peak_rss_mb     the highest resident memory up to then
// and, with WATCH-SECONDS, after enabling the ZOZ Idaroz (on the stored server) for that long:
//   watch_cpu_pct   CPU used while watching, in percent of one core
//   watch_peak_rss_mb
#include "gui/app/dialogs.h"
#include "gui/app/forms.h"
#include "gui/app/main_window.h"
#include "gui/app/status_line.h"
#include "gui/app/varno_application.h"
#include "gui/lpb/lpb_page.h"
#include "gui/settings/opening_form.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <ctime>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// Milliseconds since this process started, from the kernel's own record of its start.
double millisecondsSinceStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double peakResidentMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void figure(const char* name, double value, const char* unit)
{
    std::printf("%s\t%.1f\t%s\n", name, value, unit);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    varno::VarnoApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: varno-perf SETTINGS-FILE [WATCH-SECONDS]\n");
        return 2;
    }
    varno::setSettingsFile(varno::toStd(arguments[1]));
    const int watchSeconds = arguments.value(2).toInt();
    varno::dialogs::setScripted(true);
    varno::createForms({}, true);
    varno::Forms& forms = varno::forms();

    QObject::connect(forms.OpeningForm, &varno::TOpeningForm::loadFinished, [&] {
        figure("startup_ms", millisecondsSinceStart(), "ms");
        figure("peak_rss_mb", peakResidentMegabytes(), "MB");
        if (watchSeconds <= 0) {
            QCoreApplication::quit();
            return;
        }
        forms.Form1->lpbPage->enableFromCommandLine();
        const double cpuBefore = cpuSeconds();
        auto* clock = new QElapsedTimer;
        clock->start();
        QTimer::singleShot(watchSeconds * 1000, [=] {
            figure("watch_cpu_pct", 100.0 * (cpuSeconds() - cpuBefore) / (clock->elapsed() / 1000.0), "%");
            figure("watch_peak_rss_mb", peakResidentMegabytes(), "MB");
            delete clock;
            QCoreApplication::quit();
        });
    });
    const int result = app.exec();
    varno::destroyForms();
    return result;
}
