#pragma once

#include "ban_list.h"
#include "client_table.h"
#include "command_text.h"
#include "cvar_table.h"
#include "output.h"
#include "rcon.h"
#include "status_table.h"

#include <chrono>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace varno::standin {

// The game server's state and console commands. It never touches a socket or a file descriptor itself: the main
// loop hands it console lines and datagrams, and it answers through the function it is given.
class Server {
public:
    using SendFunction = std::function<void(std::string_view payload)>;

    explicit Server(Output::Sink console);

    // Runs the command line's "set" commands at once, as the engine does before it opens its port.
    void applyStartupSettings(const std::vector<std::string>& commands);
    // Queues the command line's other commands, in their order.
    void queueStartupCommands(const std::vector<std::string>& commands);
    // Reports the port the socket got; net_port follows it (it differs when 0 asked for a free one).
    void setListenAddress(const std::string& ip, int port);

    const CvarTable& cvars() const { return m_cvars; }

    // A line typed on the console: shown behind the prompt and queued like the engine's console input.
    void addConsoleLine(std::string_view line);
    // A line entered on a terminal console, which shows it as it is typed.
    void addTypedLine(std::string_view line);
    // Tab on a terminal console: completes the command or cvar name being typed as the first word, to the
    // longest text all matches share; with several matches they are listed.
    void completeLine(std::string& line);
    Output& output() { return m_output; }
    // Runs what waits in the command buffer, at most kCommandsPerPass commands, so that a script that keeps
    // feeding itself (set loop "vstr loop") cannot starve the network and the console. True when more waits.
    bool runCommandBuffer();
    static constexpr int kCommandsPerPass = 1000;
    // A datagram that arrived on the game port from `sender` ("a.b.c.d:port"), whose address without the port is
    // `senderIp`; replies go through `send`.
    void handlePacket(std::string_view payload, const std::string& senderIp, const std::string& sender,
                      const SendFunction& send);

    void print(std::string_view text);
    bool quitRequested() const { return m_quit; }
    void shutDown(std::string_view reason);

private:
    using Args = std::vector<std::string>;
    using Handler = void (Server::*)(const Args&);
    static const std::map<std::string, Handler>& handlers();

    void execute(std::string_view text);
    void cvarCommand(Cvar& cvar, const Args& args);
    bool requireRunning();
    void broadcast(std::string_view message);

    void writeLogLine(const std::string& line);
    // Opens the file standin_log names when it changed; true when a file was opened.
    bool followLogSetting();

    void handleRcon(std::string_view text, const std::string& senderIp, const std::string& sender,
                    const SendFunction& send);
    // The engine's flood protection, as standin_rcon_throttle chooses it; a drop is reported under developer.
    RconThrottleMode floodMode() const;
    std::int64_t millisecondsNow() const;
    bool admitted(const char* handler, FloodVerdict verdict, const std::string& senderIp);
    void answerStatusQuery(const Args& args, const SendFunction& send);
    void answerInfoQuery(const Args& args, const SendFunction& send);
    // The cvars flagged SERVERINFO, as the engine chosen by standin_status and the baseq3 game register them.
    void registerEngineCvars();
    void registerGameCvars();

    // Console commands.
    void commandSet(const Args& args);
    void commandVstr(const Args& args);
    void commandExec(const Args& args);
    void commandEcho(const Args& args);
    void commandMap(const Args& args);
    void commandStatus(const Args& args);
    void commandSay(const Args& args);
    void commandQuit(const Args& args);
    void commandStandinCrash(const Args& args);
    void commandStandinExit(const Args& args);

    // Client commands (server_clients.cpp).
    void commandAddBot(const Args& args);
    void commandAddClient(const Args& args);
    void commandKick(const Args& args);
    void commandClientKick(const Args& args);
    void commandAddIp(const Args& args);
    void commandRemoveIp(const Args& args);
    void commandSetPing(const Args& args);
    void commandSetState(const Args& args);
    void commandSetScore(const Args& args);
    void commandSetLastMsg(const Args& args);
    void commandSetQport(const Args& args);
    void commandSetRate(const Args& args);
    std::optional<int> connectClient(Client client);
    void dropClient(int number, std::string_view reason);
    // The client whose number the argument gives, or nullptr after saying what is wrong with it.
    Client* clientByNumber(const std::string& text);
    // For the set* commands: the client of args[1] and the number in args[2], or nullptr after a message.
    Client* clientForSetting(const Args& args, std::string_view usage, int& value);

    Output m_output;
    CvarTable m_cvars;
    CommandBuffer m_buffer;
    ClientTable m_clients;
    BanList m_bans;
    FloodProtection m_flood;
    StatusLayout m_engine = StatusLayout::Classic; // as standin_status named it at start
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    bool m_running = false;
    bool m_quit = false;

    std::ofstream m_log;
    std::string m_logPath;
    // Commands of the start-up settings, kept until the log is opened after them.
    bool m_startingUp = true;
    std::vector<std::string> m_startupLog;
};

} // namespace varno::standin
