#include "server.h"

#include "process_end.h"
#include "status_query.h"
#include "status_table.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <sstream>
#include <utility>

namespace varno::standin {

namespace {

constexpr std::string_view kBadRconPassword = "Bad rconpassword.\n";
constexpr std::string_view kNoRconPassword = "No rconpassword set on the server.\n";
constexpr std::string_view kServerNotRunning = "Server is not running.\n";
constexpr std::string_view kBaseGame = "baseq3";
constexpr int kProtocolVersion = 68;
constexpr int kSinglePlayerGametype = 2;

struct CvarDefault {
    std::string_view name;
    std::string_view value;
};

// The cvars a dedicated server's engine and game register, so that a server script can set them the bare way;
// client settings such as rate and cl_allowDownload are not among them. Those in the getstatus answer follow below.
constexpr CvarDefault kCvarDefaults[] = {
    {"net_port", "27960"},
    {"net_ip", "0.0.0.0"},
    {"dedicated", "0"},
    {"fs_game", ""},
    {"com_hunkmegs", "56"},
    {"sv_pure", "1"},
    {"rconpassword", ""},
    {"sv_cheats", "0"},
    {"g_motd", ""},
    {"g_password", ""},
    {"g_quadfactor", "3"},
    {"g_forcerespawn", "20"},
    {"g_weaponrespawn", "5"},
    {"g_gravity", "800"},
    {"g_speed", "320"},
    {"g_knockback", "1000"},
    {"g_teamAutoJoin", "0"},
    {"g_teamForceBalance", "0"},
    {"g_allowVote", "1"},
    {"g_synchronousClients", "0"},
    {"g_banIPs", ""},
    {"bot_nochat", "0"},
    {"bot_minplayers", "0"},
    {"nextmap", ""},
    {"standin_status", "classic"},
    {"standin_rcon_throttle", ""},
    {"developer", "0"},
    {"standin_log", ""},
};

// The cvars flagged SERVERINFO, in the order each engine registers them: Com_Init (common.c), then SV_Init (sv_init.c).
// "version" gets its value apart.
constexpr CvarDefault kClassicServerInfo[] = {
    {"version", ""},           {"dmflags", "0"},       {"fraglimit", "20"},
    {"timelimit", "0"},        {"g_gametype", "0"},    {"sv_keywords", ""},
    {"protocol", "68"},        {"mapname", "nomap"},   {"sv_privateClients", "0"},
    {"sv_hostname", "noname"}, {"sv_maxclients", "8"}, {"sv_maxRate", "0"},
    {"sv_minPing", "0"},       {"sv_maxPing", "0"},    {"sv_floodProtect", "1"},
    {"sv_allowDownload", "0"},
};
constexpr CvarDefault kIoq3ServerInfo[] = {
    {"version", ""},           {"com_gamename", "Quake3Arena"},
    {"com_protocol", "71"},    {"dmflags", "0"},
    {"fraglimit", "20"},       {"timelimit", "0"},
    {"g_gametype", "0"},       {"sv_keywords", ""},
    {"mapname", "nomap"},      {"sv_privateClients", "0"},
    {"sv_hostname", "noname"}, {"sv_maxclients", "8"},
    {"sv_minRate", "0"},       {"sv_maxRate", "0"},
    {"sv_dlRate", "100"},      {"sv_minPing", "0"},
    {"sv_maxPing", "0"},       {"sv_floodProtect", "1"},
    {"sv_allowDownload", "0"}, {"sv_dlURL", ""},
};
constexpr CvarDefault kQuake3eServerInfo[] = {
    {"protocol", "68"},         {"version", ""},           {"dmflags", "0"},         {"fraglimit", "20"},
    {"timelimit", "0"},         {"g_gametype", "0"},       {"sv_keywords", ""},      {"mapname", "nomap"},
    {"sv_privateClients", "0"}, {"sv_hostname", "noname"}, {"sv_maxclients", "8"},   {"sv_minRate", "0"},
    {"sv_maxRate", "0"},        {"sv_dlRate", "100"},      {"sv_floodProtect", "1"}, {"sv_allowDownload", "1"},
    {"sv_dlURL", ""},
};
// The baseq3 game's, registered when a map starts (gameCvarTable in g_main.c).
constexpr CvarDefault kGameServerInfo[] = {
    {"gamename", "baseq3"}, {"g_gametype", "0"}, {"sv_maxclients", "8"}, {"g_maxGameClients", "0"}, {"dmflags", "0"},
    {"fraglimit", "20"},    {"timelimit", "0"},  {"capturelimit", "8"},  {"g_needpass", "0"},
};

std::string_view engineName(StatusLayout engine)
{
    switch (engine) {
    case StatusLayout::Ioq3:
        return "ioq3";
    case StatusLayout::Quake3e:
        return "quake3e";
    case StatusLayout::Classic:
        break;
    }
    return "classic";
}

bool isSetCommand(std::string_view name)
{
    return equalsIgnoringCase(name, "set") || equalsIgnoringCase(name, "seta") || equalsIgnoringCase(name, "sets") ||
           equalsIgnoringCase(name, "setu");
}

// exec's file name: ".cfg" is added when the name has no extension.
std::string withDefaultExtension(const std::string& name)
{
    const std::size_t slash = name.find_last_of('/');
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return name + ".cfg";
    return name;
}

// Script names stay inside the game folders.
bool isSafeGamePath(const std::string& name)
{
    return !name.empty() && name.front() != '/' && name.find("..") == std::string::npos &&
           name.find('\\') == std::string::npos && name.find(':') == std::string::npos;
}

std::optional<std::string> readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

Server::Server(Output::Sink console)
    : m_output(std::move(console))
{
    for (const CvarDefault& cvar : kCvarDefaults)
        m_cvars.declare(cvar.name, cvar.value);
}

const std::map<std::string, Server::Handler>& Server::handlers()
{
    static const std::map<std::string, Handler> table{
        {"set", &Server::commandSet},
        {"seta", &Server::commandSet},
        {"sets", &Server::commandSet},
        {"setu", &Server::commandSet},
        {"vstr", &Server::commandVstr},
        {"exec", &Server::commandExec},
        {"echo", &Server::commandEcho},
        {"map", &Server::commandMap},
        {"status", &Server::commandStatus},
        {"say", &Server::commandSay},
        {"quit", &Server::commandQuit},
        {"addbot", &Server::commandAddBot},
        {"addclient", &Server::commandAddClient},
        {"kick", &Server::commandKick},
        {"clientkick", &Server::commandClientKick},
        {"addip", &Server::commandAddIp},
        {"removeip", &Server::commandRemoveIp},
        {"setping", &Server::commandSetPing},
        {"setstate", &Server::commandSetState},
        {"setscore", &Server::commandSetScore},
        {"setlastmsg", &Server::commandSetLastMsg},
        {"setqport", &Server::commandSetQport},
        {"setrate", &Server::commandSetRate},
        {"standin_crash", &Server::commandStandinCrash},
        {"standin_exit", &Server::commandStandinExit},
    };
    return table;
}

void Server::applyStartupSettings(const std::vector<std::string>& commands)
{
    for (const std::string& command : commands) {
        const Args args = tokenizeCommand(command);
        if (!args.empty() && isSetCommand(args[0]))
            execute(command);
    }
    // The engine registers its own cvars after the command line's settings, which made theirs earlier.
    registerEngineCvars();
    m_startingUp = false;
    followLogSetting();
    m_startupLog.clear();
}

void Server::queueStartupCommands(const std::vector<std::string>& commands)
{
    for (const std::string& command : commands) {
        const Args args = tokenizeCommand(command);
        if (args.empty() || isSetCommand(args[0]))
            continue;
        if (!m_buffer.append(command + '\n'))
            print("Cbuf_AddText: overflow\n");
    }
}

void Server::setListenAddress(const std::string& ip, int port)
{
    m_cvars.set("net_port", std::to_string(port));
    print("Opening IP socket: " + ip + ':' + std::to_string(port) + '\n');
}

void Server::addConsoleLine(std::string_view line)
{
    print("]" + std::string(line) + '\n');
    addTypedLine(line);
}

void Server::addTypedLine(std::string_view line)
{
    if (!m_buffer.append(std::string(line) + '\n'))
        print("Cbuf_AddText: overflow\n");
}

void Server::completeLine(std::string& line)
{
    // Only the first word is completed; a leading slash or backslash is kept and skipped.
    const std::size_t start = line.find_first_not_of(" \"");
    if (start == std::string::npos || line.find(' ', start) != std::string::npos)
        return;
    std::size_t wordStart = start;
    if (line[wordStart] == '\\' || line[wordStart] == '/')
        ++wordStart;
    const std::string typed = toLower(line.substr(wordStart));
    if (typed.empty())
        return;
    std::vector<std::string> commands;
    for (const auto& entry : handlers())
        commands.push_back(entry.first);
    const std::vector<std::string> cvarNames = m_cvars.names();
    std::string shortest;
    int matches = 0;
    const auto findMatches = [&](const std::string& name) {
        if (toLower(name).compare(0, typed.size(), typed) != 0)
            return;
        if (++matches == 1) {
            shortest = name;
            return;
        }
        std::size_t same = 0;
        while (same < shortest.size() && same < name.size() &&
               std::tolower(static_cast<unsigned char>(shortest[same])) ==
                   std::tolower(static_cast<unsigned char>(name[same])))
            ++same;
        shortest.resize(same);
    };
    for (const std::string& name : commands)
        findMatches(name);
    for (const std::string& name : cvarNames)
        findMatches(name);
    if (matches == 0)
        return;
    line = line.substr(0, wordStart) + shortest;
    if (matches == 1) {
        line += ' ';
        return;
    }
    print("]" + line + '\n');
    const std::string prefix = toLower(shortest);
    for (const std::string& name : commands) {
        if (toLower(name).compare(0, prefix.size(), prefix) == 0)
            print("    " + name + '\n');
    }
    for (const std::string& name : cvarNames) {
        if (toLower(name).compare(0, prefix.size(), prefix) == 0)
            print("    " + name + " = \"" + m_cvars.value(name) + "\"\n");
    }
}

bool Server::runCommandBuffer()
{
    for (int i = 0; i < kCommandsPerPass && !m_quit; ++i) {
        const std::optional<std::string> command = m_buffer.takeCommand();
        if (!command)
            return false;
        execute(*command);
    }
    return !m_quit && !m_buffer.empty();
}

void Server::print(std::string_view text)
{
    m_output.print(text);
}

void Server::shutDown(std::string_view reason)
{
    if (m_running) {
        m_output.printToConsole("----- Server Shutdown (" + std::string(reason) + ") -----\n");
        m_output.printToConsole("---------------------------\n");
    }
    m_running = false;
    m_log.close();
}

void Server::execute(std::string_view text)
{
    const Args args = tokenizeCommand(text);
    if (args.empty())
        return;
    const std::string logLine = joinArguments(args);
    writeLogLine(logLine);

    const auto handler = handlers().find(toLower(args[0]));
    if (handler != handlers().end())
        (this->*handler->second)(args);
    else if (Cvar* cvar = m_cvars.find(args[0]))
        cvarCommand(*cvar, args);
    else
        print("Unknown command \"" + args[0] + "\"\n");

    // A command that names a new log file is the first line in it.
    if (!m_startingUp && followLogSetting())
        writeLogLine(logLine);
}

void Server::cvarCommand(Cvar& cvar, const Args& args)
{
    if (args.size() == 1) {
        print("\"" + cvar.name + "\" is:\"" + cvar.value + "^7\" default:\"" + cvar.resetValue + "^7\"\n");
        return;
    }
    cvar.value = argumentsFrom(args, 1);
}

bool Server::requireRunning()
{
    if (!m_running)
        print(kServerNotRunning);
    return m_running;
}

void Server::broadcast(std::string_view message)
{
    // The dedicated console shows what goes to all players with its line ends written out as \n.
    std::string shown;
    for (const char c : message) {
        if (c == '\n')
            shown += "\\n";
        else
            shown += c;
    }
    print("broadcast: print \"" + shown + "\"\n");
}

void Server::writeLogLine(const std::string& line)
{
    if (m_startingUp) {
        m_startupLog.push_back(line);
        return;
    }
    if (m_log.is_open()) {
        m_log << line << '\n';
        m_log.flush();
    }
}

bool Server::followLogSetting()
{
    const std::string path = m_cvars.value("standin_log");
    if (path == m_logPath)
        return false;
    m_log.close();
    m_logPath = path;
    if (path.empty())
        return false;
    // Binary, so that the lines end alike on every system for the tests that read them.
    m_log.open(path, std::ios::app | std::ios::binary);
    if (!m_log) {
        print("WARNING: couldn't open the command log " + path + '\n');
        return false;
    }
    for (const std::string& line : m_startupLog)
        writeLogLine(line);
    return true;
}

void Server::handlePacket(std::string_view payload, const std::string& senderIp, const std::string& sender,
                          const SendFunction& send)
{
    // Like the engine, a server without a running map does not listen.
    if (!m_running)
        return;
    const std::optional<std::string> text = connectionlessText(payload);
    if (!text)
        return;
    const Args args = tokenizeCommand(*text);
    if (args.empty())
        return;
    const std::string name = toLower(args[0]);
    if (name == "rcon")
        handleRcon(*text, senderIp, sender, send);
    else if (name == "getstatus" && admitted("SVC_Status", m_flood.admitQuery(floodMode(), senderIp, millisecondsNow()), senderIp))
        answerStatusQuery(args, send);
    else if (name == "getinfo" && admitted("SVC_Info", m_flood.admitQuery(floodMode(), senderIp, millisecondsNow()), senderIp))
        answerInfoQuery(args, send);
}

RconThrottleMode Server::floodMode() const
{
    return rconThrottleModeFromName(m_cvars.value("standin_rcon_throttle"));
}

std::int64_t Server::millisecondsNow() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_started).count();
}

bool Server::admitted(const char* handler, FloodVerdict verdict, const std::string& senderIp)
{
    if (verdict == FloodVerdict::Served)
        return true;
    // For the tests, not from any engine: every dropped request in the command log.
    writeLogLine(std::string("standin_dropped ") + handler + " " + senderIp);
    // The engines that limit per sender say why they drop a request, to developers only; the classic server is
    // silent.
    if (floodMode() != RconThrottleMode::Classic && m_cvars.integer("developer") != 0) {
        print(std::string(handler) + ": rate limit " +
              (verdict == FloodVerdict::DroppedForSender ? "from " + senderIp + " " : std::string()) +
              "exceeded, dropping request\n");
    }
    return false;
}

void Server::handleRcon(std::string_view text, const std::string& senderIp, const std::string& sender,
                        const SendFunction& send)
{
    const std::optional<RconRequest> request = parseRconRequest(text);
    if (!request)
        return;
    const std::string password = m_cvars.value("rconpassword");
    const bool valid = !password.empty() && request->password == password;
    if (!admitted("SVC_RemoteCommand", m_flood.admitRcon(floodMode(), senderIp, valid, millisecondsNow()), senderIp))
        return;

    print((valid ? "Rcon from " : "Bad rcon from ") + sender + ": " + request->command + '\n');

    m_output.beginRedirect([&send](std::string_view buffer) {
        send(std::string(kConnectionlessHeader) + "print\n" + std::string(buffer));
    });
    if (password.empty())
        print(kNoRconPassword);
    else if (!valid)
        print(kBadRconPassword);
    else
        execute(request->command);
    m_output.endRedirect();
}

void Server::registerEngineCvars()
{
    m_engine = statusLayoutFromName(m_cvars.value("standin_status"));
    std::span<const CvarDefault> registered = kClassicServerInfo;
    if (m_engine == StatusLayout::Ioq3)
        registered = kIoq3ServerInfo;
    else if (m_engine == StatusLayout::Quake3e)
        registered = kQuake3eServerInfo;
    const std::string version = "q3standin " + std::string(engineName(m_engine));
    for (const CvarDefault& cvar : registered)
        m_cvars.declare(cvar.name, cvar.name == "version" ? std::string_view(version) : cvar.value, true);
}

void Server::registerGameCvars()
{
    for (const CvarDefault& cvar : kGameServerInfo)
        m_cvars.declare(cvar.name, cvar.value, true, CvarOrigin::Game);
}

void Server::answerStatusQuery(const Args& args, const SendFunction& send)
{
    // The game's frame keeps g_needpass telling whether g_password asks for one.
    const std::string password = m_cvars.value("g_password");
    m_cvars.set("g_needpass", !password.empty() && !equalsIgnoringCase(password, "none") ? "1" : "0");
    const std::optional<std::string> reply =
        statusResponse(m_cvars, m_engine, args.size() > 1 ? args[1] : std::string(), m_clients.clients());
    if (reply)
        send(std::string(kConnectionlessHeader) + *reply);
}

void Server::answerInfoQuery(const Args& args, const SendFunction& send)
{
    int players = 0;
    for (const auto& [number, client] : m_clients.clients())
        players += client.state != ClientState::Zombie ? 1 : 0;
    std::string reply = std::string(kConnectionlessHeader) + "infoResponse\n";
    if (args.size() > 1)
        reply += "\\challenge\\" + args[1];
    reply += "\\protocol\\" + std::to_string(kProtocolVersion) + "\\hostname\\" + m_cvars.value("sv_hostname") +
             "\\mapname\\" + m_cvars.value("mapname") + "\\clients\\" + std::to_string(players) + "\\sv_maxclients\\" +
             m_cvars.value("sv_maxclients") + "\\gametype\\" + m_cvars.value("g_gametype") + "\\pure\\" +
             m_cvars.value("sv_pure");
    send(reply);
}

void Server::commandSet(const Args& args)
{
    if (args.size() < 3) {
        print("usage: set <variable> <value>\n");
        return;
    }
    Cvar& cvar = m_cvars.set(args[1], argumentsFrom(args, 2));
    // "sets" flags the cvar SERVERINFO, as the engine's Cvar_Set_f does.
    if (equalsIgnoringCase(args[0], "sets"))
        cvar.serverInfo = true;
}

void Server::commandVstr(const Args& args)
{
    if (args.size() != 2) {
        print("vstr <variablename> : execute a variable command\n");
        return;
    }
    if (!m_buffer.insert(m_cvars.value(args[1])))
        print("Cbuf_InsertText overflowed\n");
}

void Server::commandExec(const Args& args)
{
    if (args.size() != 2) {
        print("exec <filename> : execute a script file\n");
        return;
    }
    const std::string name = withDefaultExtension(args[1]);
    std::vector<std::string> gameDirs;
    const std::string game = m_cvars.value("fs_game");
    if (!game.empty() && !equalsIgnoringCase(game, kBaseGame) && isSafeGamePath(game))
        gameDirs.push_back(game);
    gameDirs.emplace_back(kBaseGame);

    std::optional<std::string> text;
    if (isSafeGamePath(name)) {
        for (const std::string& dir : gameDirs) {
            text = readFile(std::filesystem::path(dir) / name);
            if (text)
                break;
        }
    }
    if (!text) {
        print("couldn't exec " + name + '\n');
        return;
    }
    print("execing " + name + '\n');
    if (!m_buffer.insert(*text))
        print("Cbuf_InsertText overflowed\n");
}

void Server::commandEcho(const Args& args)
{
    print(argumentsFrom(args, 1) + '\n');
}

void Server::commandMap(const Args& args)
{
    if (args.size() < 2) {
        print("USAGE: map <map name>\n");
        return;
    }
    print("------ Server Initialization ------\n");
    print("Server: " + args[1] + '\n');
    m_cvars.set("mapname", args[1]);
    // Only "spmap" starts a single player game; "map" makes it free for all (SV_Map_f in sv_ccmds.c).
    if (m_cvars.integer("g_gametype") == kSinglePlayerGametype)
        m_cvars.set("g_gametype", "0");
    registerGameCvars();
    m_running = true;
    // The game reads its ban list when a map starts.
    m_bans = BanList::fromCvar(m_cvars.value("g_banIPs"), [this](const std::string& complaint) { print(complaint); });
    print("-----------------------------------\n");
}

void Server::commandStatus(const Args&)
{
    if (!requireRunning())
        return;
    const StatusLayout layout = statusLayoutFromName(m_cvars.value("standin_status"));
    for (const std::string& piece : statusPieces(layout, m_cvars.value("mapname"), m_clients.clients()))
        print(piece);
}

void Server::commandSay(const Args& args)
{
    if (!requireRunning() || args.size() < 2)
        return;
    broadcast("console: " + argumentsFrom(args, 1) + '\n');
}

void Server::commandQuit(const Args&)
{
    m_quit = true;
    m_buffer.clear();
}

// Test instruments for the watchdog: end the way a crashing engine does, or by an exit code, without the orderly
// shutdown of quit. Their last words go straight to the console, past any rcon redirect.
void Server::commandStandinCrash(const Args& args)
{
    const std::string usage = crashProcess(args.size() > 1 ? args[1] : std::string(),
                                           [this](std::string_view text) { m_output.printToConsole(text); });
    print(usage);
}

void Server::commandStandinExit(const Args& args)
{
    exitProcess(args.size() > 1 ? std::atoi(args[1].c_str()) : 1,
                [this](std::string_view text) { m_output.printToConsole(text); });
}

} // namespace varno::standin
