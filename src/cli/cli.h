#pragma once

#include <QStringList>

#include <cstdio>
#include <string>

namespace varno::cli {

// The panel's jobs from the command line. arguments excludes the program name. Output goes to out,
// problems to err as one line each; the result is the exit status.
int run(const QStringList& arguments, std::FILE* out = stdout, std::FILE* err = stderr);

} // namespace varno::cli
