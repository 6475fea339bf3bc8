#pragma once

#include "gui/app/forms.h"

#include <optional>

class QCoreApplication;

namespace varno {

// Reads the panel's command line (--settings FILE, --launch, --lpb, --help, --version), points the
// settings store at its file and checks that file. Nothing when the program should end at once with
// exitCode (after --help or --version, or a bad option).
std::optional<StartOptions> parseStartOptions(QCoreApplication& app, int& exitCode);

} // namespace varno
