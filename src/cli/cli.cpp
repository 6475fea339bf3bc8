#include "cli/cli.h"

#include "cli/cli_context.h"
#include "core/app/varno_error.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QCoreApplication>

#include <array>

namespace varno::cli {

namespace {

const std::array kSubcommands{
    Subcommand{"script", "print the server script the panel's launch would write",
               "usage: varno script\n"
               "Prints the server script (vrn2data.cfg) that the panel's launch would write right after start-up,\n"
               "from the stored settings.",
               scriptCommand},
    Subcommand{"cmdline", "print the game's command line",
               "usage: varno cmdline\nPrints the command line the panel's launch would start the game with.",
               cmdlineCommand},
    Subcommand{"launch", "write the script and start the dedicated server",
               "usage: varno launch\n"
               "Writes the server script into the game folder's baseq3 folder and starts the dedicated server in its\n"
               "console (on Linux a tmux session on the socket 'varno', or VARNO_TMUX_SOCKET; on Windows the game's\n"
               "console window); prints the console's name.\n"
               "Then waits, at most 10 s, until the server answers a getstatus on its game port; when it ends or does\n"
               "not answer instead, prints why with its console's last lines and exits with status 1.",
               launchCommand},
    Subcommand{"serve", "launch the server and relaunch it after a crash, until stopped",
               "usage: varno serve\n"
               "Launches the server as 'varno launch' does and watches it in the foreground: a server that crashes\n"
               "(a signal or a non-zero exit code) is launched again after 1, 2, 4 ... 60 s, at most 5 times an hour;\n"
               "one that ends within 10 s of its launch, or with exit code 0, stays down. Each event is printed on\n"
               "standard error, and on Linux a dead console's last 200 lines are kept under\n"
               "$XDG_STATE_HOME/varno-server.\n"
               "SIGTERM or SIGINT types quit into the server's console, ends its process when it has not ended\n"
               "within 10 s, and exits 0. Exits 1 when the server stays down for any other cause than quit.",
               serveCommand},
    Subcommand{"stop", "end the server that varno launch or varno serve started",
               "usage: varno stop\n"
               "Types quit into the running server's console and ends its process when it has not ended within\n"
               "10 s. A 'varno serve' supervising it does not relaunch it, and exits.",
               stopCommand, false},
    Subcommand{"send", "type a key string into the running server's console",
               "usage: varno send [--check] TEXT\n"
               "Types TEXT into the running server's console; braced key names such as {ENTER} press those keys,\n"
               "and @ ^ ~ hold Alt, Ctrl and Shift for the next key. The console receives what its input field would\n"
               "hold: Ctrl and Alt combinations type nothing. Fails when the console is gone or its server has ended.\n"
               "  --check   only parse TEXT and print its key events (message, key code, scan code), one a line",
               sendCommand, false},
    Subcommand{"console", "print what the running server's console shows",
               "usage: varno console [--follow]\n"
               "Prints the last 500 lines of the server console's output, the line being typed last. With --follow\n"
               "it prints each finished line as it appears, until interrupted.",
               consoleCommand, false},
    Subcommand{"rcon", "send one rcon command and print the reply",
               "usage: varno rcon [--host H] [--port P] [--password PW] [--wait MS] COMMAND...\n"
               "Sends COMMAND to the server's rcon and prints the reply text: every datagram that arrives within\n"
               "MS milliseconds (default 500). Host, port and password default to the ZOZ Idaroz page's stored ones.\n"
               "Exits 1 when the server refuses the password, 3 when nothing answered within the wait (the server\n"
               "is down or elsewhere, or the command prints nothing).",
               rconCommand},
    Subcommand{"status", "print the server's player table",
               "usage: varno status [--host H] [--port P] [--password PW] [--wait MS] [--tsv]\n"
               "       varno status --parse PATH [--tsv]\n"
               "Prints the parsed player table (client, ping, name, address, and whether the ping is below the\n"
               "stored threshold). --parse reads a saved reply instead: a folder of datagram-N.bin files in arrival\n"
               "order, or one file holding one datagram. --tsv prints a header line and tab-separated rows.",
               statusCommand},
    Subcommand{"watch", "run the ZOZ Idaroz without a window",
               "usage: varno watch [--all]\n"
               "Runs the low-ping watcher with the stored options until interrupted: status polls, and for every\n"
               "player below the threshold (bots never) the switched log line, ban, announcement, kick by slot\n"
               "and addip; and unless KickBanned is off, for every player whose address the ban list matches (as\n"
               "the game reads it) an announcement and a kick whatever the ping. One line per action on standard\n"
               "output, a datagram's once it has left; bans are stored in the ban list as the panel stores them.\n"
               "Changes of the server's state go to standard error, and so, on SIGINT or SIGTERM, does every\n"
               "decided command that was not sent.\n"
               "  --all   watch every server (see varno servers) at once, each with its own options; every line\n"
               "          then begins with the server's name in brackets, and a server whose watcher cannot run\n"
               "          is named with the reason.",
               watchCommand},
    Subcommand{"bans", "list, add and remove banned addresses, on the running server too",
               "usage: varno bans [list]\n"
               "       varno bans add|remove [--host H] [--port P] [--password PW] [--wait MS] ADDRESS\n"
               "list prints the banned-address list, one entry a line; an entry the game would ignore, or read\n"
               "otherwise than it is written, is followed by a tab and what the game makes of it in parentheses.\n"
               "add and remove change the stored list and send addip or removeip to the server the ZOZ Idaroz page\n"
               "names (or --host and --port), then read its g_banIPs back: exit 0 when the server bans it now (or\n"
               "no longer does), 1 when it does not follow, 3 when no server answered (the list is stored anyway).",
               bansCommand},
    Subcommand{"servers", "list, show, add or remove the servers this computer runs",
               "usage: varno servers [list]\n"
               "       varno servers show NAME\n"
               "       varno [--server FROM] servers add NAME\n"
               "       varno servers remove NAME\n"
               "Each server has settings of its own: the first is the one the panel and varno have always used and\n"
               "answers to 'default'; the others lie beside it (settings.ID.ini next to the settings file, or the key\n"
               "software\\Vrn\\Servers\\ID), ID made of the name's letters and digits. Every other subcommand works\n"
               "on the server --server NAME names, the first one without it; each server's console has a tmux server\n"
               "of its own (-L varno-ID), so several run at once.\n"
               "list prints each server's name, game port and whether it runs, tab-separated, one a line. show\n"
               "prints one server's name, port, state, game folder, settings and command line. add makes a server\n"
               "from the values of the selected one (--server FROM, else the first), on the first game port above\n"
               "the first server's that no server uses. remove deletes a stopped server's settings; the first\n"
               "server's are never removed.",
               serversCommand},
    Subcommand{"settings", "read, check and write the stored settings",
               "usage: varno settings get SECTION KEY\n"
               "       varno settings set SECTION KEY VALUE\n"
               "       varno settings keys\n"
               "       varno settings erase SECTION\n"
               "       varno settings dump\n"
               "get prints the value in effect: the stored one, else the default. Standard error says which, in\n"
               "one line: 'varno: stored' or 'varno: default'; a stored value that its key does not take is\n"
               "printed as stored, and that line says what the key takes.\n"
               "set checks SECTION, KEY and VALUE as the panel's fields do and stores VALUE as the panel does (a\n"
               "number in decimal, a flag as 0 or 1). An unknown section or key, or a value its key does not take\n"
               "(out of range, not a number, a flag other than 0 or 1), is refused with exit status 2 and the valid\n"
               "sections, keys or values named.\n"
               "keys prints every key, one a line: section, key, kind (text, integer, flag, list or bot-flags),\n"
               "default and the values it takes, separated by tabs.\n"
               "erase removes a whole section; dump prints the stored values of every key, section by section.\n"
               "A settings file that cannot be read is kept aside as FILE.damaged first, as the panel's start does:\n"
               "the values that could still be read are kept, and standard error names the lines that could not.",
               settingsCommand},
};

void printUsage(std::FILE* out)
{
    std::fprintf(out, "usage: varno [--settings FILE] [--server NAME] SUBCOMMAND [ARGUMENTS]\n\n"
                      "The Varno Server panel's jobs from the command line. Subcommands:\n");
    for (const auto& subcommand : kSubcommands)
        std::fprintf(out, "  %-9s %s\n", subcommand.name, subcommand.summary);
    std::fprintf(out, "\nOptions:\n"
                      "  --settings FILE  keep the settings in FILE (also VARNO_SETTINGS), as the panel does\n"
                      "  --server NAME    work on the server of that name (see varno servers); the first without it\n"
                      "  --help           this text; SUBCOMMAND --help explains a subcommand\n"
                      "  --version        the version\n");
}

} // namespace

void Context::print(const QString& text) const
{
    const std::string bytes = toStd(text);
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fputc('\n', out);
}

void Context::printRaw(const std::string& bytes) const
{
    std::fwrite(bytes.data(), 1, bytes.size(), out);
}

QString takeOption(QStringList& arguments, const QString& name)
{
    const QString option = QStringLiteral("--") + name;
    for (int i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == option) {
            if (i + 1 >= arguments.size())
                throw CliError("option " + toStd(option) + " needs a value", 2);
            const QString value = arguments[i + 1];
            arguments.remove(i, 2);
            return value;
        }
        if (arguments[i].startsWith(option + QLatin1Char('='))) {
            const QString value = arguments[i].mid(option.size() + 1);
            arguments.removeAt(i);
            return value;
        }
    }
    return {};
}

bool takeFlag(QStringList& arguments, const QString& name)
{
    return arguments.removeAll(QStringLiteral("--") + name) > 0;
}

void refuseUnknownOptions(const QStringList& arguments)
{
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1String("--")))
            throw CliError("unknown option " + toStd(argument), 2);
    }
}

int toPort(const QString& text, const char* what)
{
    bool ok = false;
    const int port = text.toInt(&ok);
    if (!ok || port < 1 || port > 65535)
        throw CliError(std::string(what) + " must be a port number from 1 to 65535, not '" + toStd(text) + "'", 2);
    return port;
}

int run(const QStringList& arguments, std::FILE* out, std::FILE* err)
{
    QStringList rest = arguments;
    try {
        const QString file = takeOption(rest, QStringLiteral("settings"));
        if (!file.isEmpty())
            setSettingsFile(toStd(file));
        if (const QString server = takeOption(rest, QStringLiteral("server")); !server.isEmpty())
            selectServer(toStd(server));
        if (rest.isEmpty() || rest.front() == QLatin1String("--help") || rest.front() == QLatin1String("-h")) {
            printUsage(rest.isEmpty() ? err : out);
            return rest.isEmpty() ? 2 : 0;
        }
        if (rest.front() == QLatin1String("--version")) {
            std::fprintf(out, "varno %s\n", qPrintable(QCoreApplication::applicationVersion()));
            return 0;
        }
        const QString name = rest.takeFirst();
        for (const auto& subcommand : kSubcommands) {
            if (name != QLatin1String(subcommand.name))
                continue;
            if (rest.contains(QStringLiteral("--help")) || rest.contains(QStringLiteral("-h"))) {
                std::fprintf(out, "%s\n", subcommand.usage);
                return 0;
            }
            if (subcommand.readsSettings) {
                if (const std::string notice = recoverDamagedSettingsFile(); !notice.empty())
                    std::fprintf(err, "varno: %s\n", notice.c_str());
            }
            Context context{rest, out, err};
            return subcommand.run(context);
        }
        throw CliError("unknown subcommand '" + toStd(name) + "' (see varno --help)", 2);
    } catch (const CliError& error) {
        std::fprintf(err, "varno: %s\n", error.what());
        return error.status;
    } catch (const std::exception& error) {
        std::fprintf(err, "varno: %s\n", error.what());
        return 1;
    }
}

} // namespace varno::cli
