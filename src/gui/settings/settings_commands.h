#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace varno {

class ServerModel;
class TForm1;

// Save Settings: stores the Startup page's values (and the Remote Access values kept beside them) as they are in
// effect, in one go, and arms the start-up loading of that page.
void saveStartupSettings(ServerModel& model);

// Restore Defaults: erases the sections of the main window's active page, or of all pages, then closes the
// window and starts a new instance of the same program on the same settings.
void restoreDefaults(TForm1& form, bool allPages);

// How the new instance is started: the running program's own executable by its full path, with the
// same settings location, shown normally. Tests replace the starter; an empty one restores it.
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;
void setProgramStarter(ProgramStarter starter);

// The program and arguments that start the new instance.
QString restartProgram();
QStringList restartArguments();

} // namespace varno
