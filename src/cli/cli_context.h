#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace varno::cli {

// A usage or run-time problem of a subcommand: its text is the one line printed on standard error.
class CliError : public std::runtime_error {
public:
    explicit CliError(const std::string& text, int exitStatus = 1)
        : std::runtime_error(text)
        , status(exitStatus)
    {
    }
    int status;
};

// What every subcommand gets: its own arguments and the two output streams.
struct Context {
    QStringList arguments;
    std::FILE* out = stdout;
    std::FILE* err = stderr;

    void print(const QString& text) const;     // text and a line end on out
    void printRaw(const std::string& bytes) const;
};

struct Subcommand {
    const char* name;
    const char* summary;
    const char* usage; // the --help text of the subcommand
    std::function<int(Context&)> run;
    // Whether it reads the settings: a damaged settings file is then kept aside first, as the panel's start does.
    bool readsSettings = true;
};

// Takes "--name VALUE" out of arguments; empty when absent. Throws CliError when the value is missing.
QString takeOption(QStringList& arguments, const QString& name);
// Takes "--name" out of arguments; whether it was there.
bool takeFlag(QStringList& arguments, const QString& name);
// Fails on any option left over.
void refuseUnknownOptions(const QStringList& arguments);
int toPort(const QString& text, const char* what);

int settingsCommand(Context& context);
int bansCommand(Context& context);
int scriptCommand(Context& context);
int cmdlineCommand(Context& context);
int launchCommand(Context& context);
int sendCommand(Context& context);
int consoleCommand(Context& context);
int rconCommand(Context& context);
int statusCommand(Context& context);
int watchCommand(Context& context);
int serveCommand(Context& context);
int stopCommand(Context& context);
int serversCommand(Context& context);
// Makes the server of that name the one every command works on; throws CliError when there is none.
void selectServer(const std::string& name);

} // namespace varno::cli
