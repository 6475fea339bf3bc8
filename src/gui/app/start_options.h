#pragma once

#include "gui/app/forms.h"

#include <optional>

class QCoreApplication;

namespace varno {

// Reads the panel's command line (--settings FILE, --launch, --lpb, --help, --version), points the
// settings store at its file and checks that file. Nothing when the program should end at once with
// exitCode (after --help or --version, or a bad option).
std::optional<StartOptions> parseStartOptions(QCoreApplication& app, int& exitCode);

// Whether the command line only asks for --help or --version, which need no display.
bool asksOnlyForInformation(int argc, char** argv);

// Names the application and its version.
void nameApplication();

} // namespace varno
