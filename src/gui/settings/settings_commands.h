#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace varno {

// Save Settings: stores the Startup page (and the Remote Access values kept beside it) in one go and
// arms the start-up loading of that page.
void saveStartupSettings();

// Restore Defaults: erases the sections of the active page, or of all pages, then closes this
// instance and starts a new one of the same program on the same settings.
void restoreDefaults(bool allPages);

// How the new instance is started: the running program's own executable by its full path, with the
// same settings location, shown normally. Tests replace the starter; an empty one restores it.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
void setProgramStarter(ProgramStarter starter);

// The program and arguments that start the new instance.
QString restartProgram();
QStringList restartArguments();

} // namespace varno
