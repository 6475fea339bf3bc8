#pragma once

#include "core/launch/watchdog.h"
#include "core/lpb/rcon_pacer.h"
#include "core/lpb/server_info.h"
#include "core/lpb/status_parser.h"
#include "core/settings/server_model.h"
#include "core/settings/server_profiles.h"
#include "drive/launch_driver.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace varno {

class ServerSupervisor;
struct SupervisorEvent;
class WatcherDriver;

// One server the panel knows, with what it needs to run and be watched at the same time as the others: its values,
// for a server of this computer a supervisor whose console is its own, its own low-ping watcher, and what the server
// last said of itself. A virtual server (on a remote computer) has no supervisor: it is only queried and watched.
class FleetServer : public QObject {
    Q_OBJECT
public:
    FleetServer(std::string id, const WatchdogConfig& watchdog, QObject* parent = nullptr);
    ~FleetServer() override;

    const std::string& id() const { return m_id; }
    std::string name() const;
    bool remote() const { return m_standing.remote(); }
    ServerModel& model() { return m_model; }
    const ServerModel& model() const { return m_model; }
    // Null for a virtual server.
    ServerSupervisor* supervisor() const { return m_supervisor.get(); }
    WatcherDriver& watcher() const { return *m_watcher; }
    const ServerStanding& standing() const { return m_standing; }
    // The server's last answer to a status query; nothing before the first.
    const std::optional<ServerInfo>& info() const { return m_info; }
    // The last whole player table of an rcon status reply, with slots and addresses; nothing before the first.
    const std::optional<ParsedStatus>& table() const { return m_table; }
    // Where status queries go: this computer at the game port, or the virtual server's host and port.
    RconTarget infoTarget() const;
    // The game port, or the virtual server's port.
    int port() const;
    // The tree's line for this server.
    std::string treeLine() const;
    bool running() const;

    // Launches the server as the launch command does; the report says how far it got.
    LaunchReport start();
    // Ends a running server on purpose; false when nothing could end it.
    bool stop();
    // One status query, when the server may answer one; a process that ended unwatched is noticed here.
    void queryInfo();

signals:
    // The standing or the information changed.
    void changed();
    // What the supervisor told, for the window that shows this server.
    void serverEvent(const varno::SupervisorEvent& event);
    // What the watcher did while no page shows it: one line each.
    void watcherNote(const QString& line);
    // A reply of the server to the watcher's poll or to a command.
    void replied(const QByteArray& reply, const varno::ParsedStatus& status);

public:
    // Gives the watcher back the reports of a server no page shows.
    void reportInBackground();
    // Before the pages show this server: every value back to its default for their loader, the profile's own
    // values (which no page shows) kept in effect.
    void forgetForPages();
    // One command to the server over rcon, with the password the watcher uses; its reply comes as replied().
    void sendRcon(const std::string& command);

private:
    std::string m_id;
    ServerModel m_model;
    ServerStanding m_standing;
    std::unique_ptr<ServerSupervisor> m_supervisor;
    WatcherDriver* m_watcher;
    std::optional<ServerInfo> m_info;
    std::optional<ParsedStatus> m_table;
};

// Every server the panel knows, the first server's first, and the one the pages show and edit ("managed").
class ServerFleet : public QObject {
    Q_OBJECT
public:
    static constexpr int kShownRefreshMs = 3000;
    static constexpr int kHiddenRefreshMs = 15000;

    explicit ServerFleet(const WatchdogConfig& watchdog = {}, QObject* parent = nullptr);
    ~ServerFleet() override;

    const std::vector<FleetServer*>& servers() const { return m_servers; }
    FleetServer* find(const std::string& id) const;
    FleetServer& managed() const { return *m_managed; }
    // Makes the pages show and edit that server: it becomes the selected profile.
    void manage(FleetServer& server);

    // Adding and editing throw VarnoError with the operator's text when refused.
    FleetServer& addLocal(const std::string& name);
    FleetServer& addRemote(const std::string& name, const std::string& host, int port, const std::string& password);
    void rename(FleetServer& server, const std::string& name);
    // A virtual server's host, port and rcon password.
    void setRemoteAddress(FleetServer& server, const std::string& host, int port, const std::string& password);
    // Removes a stopped server's profile; the first server and a running one are refused.
    void remove(FleetServer& server);

    // How often every server is asked for its information (the Servers page asks faster while it shows).
    void setRefreshPeriod(int milliseconds);
    void refreshNow();
    QTimer* refreshTimer() const { return m_refresh; }

signals:
    void managedChanged(varno::FleetServer* now);
    void listChanged();
    // A server added to the list, before listChanged.
    void added(varno::FleetServer* server);
    void serverChanged(varno::FleetServer* server);

private:
    FleetServer& adopt(const std::string& id);

    WatchdogConfig m_watchdog;
    std::vector<FleetServer*> m_servers;
    FleetServer* m_managed = nullptr;
    QTimer* m_refresh;
};

} // namespace varno
