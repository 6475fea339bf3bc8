#include "drive/server_fleet.h"

#include "core/app/varno_error.h"
#include "core/launch/stored_launch_state.h"
#include "core/lpb/lpb_watcher.h"
#include "core/lpb/rcon.h"
#include "core/settings/schema.h"
#include "drive/server_catalog.h"
#include "drive/watcher_driver.h"
#include "net/rcon_session.h"
#include "platform/qt_text.h"
#include "platform/server_supervisor.h"
#include "platform/services.h"
#include "platform/settings_factory.h"

#include <algorithm>

namespace varno {

namespace {

constexpr std::chrono::milliseconds kStopGrace{5000};

int infoNumber(const ServerInfo& info, std::string_view key)
{
    for (const auto& [name, value] : info.rules) {
        if (name == key)
            return std::atoi(value.c_str());
    }
    return 0;
}

std::string infoText(const ServerInfo& info, std::string_view key)
{
    for (const auto& [name, value] : info.rules) {
        if (name == key)
            return value;
    }
    return {};
}

} // namespace

FleetServer::FleetServer(std::string id, const WatchdogConfig& watchdog, QObject* parent)
    : QObject(parent)
    , m_id(std::move(id))
    , m_model([id = m_id] { return createSettingsStoreOf(id); })
    , m_standing(isRemoteProfile(m_id))
    , m_watcher(new WatcherDriver(this))
{
    // What is stored is in effect, the launch's values as the loader would put them; the pages' loader puts them
    // in again when the server is managed.
    {
        const auto store = m_model.openStore();
        m_model.loadAll(*store);
        holdStartUpValues(m_model, *store);
    }

    m_watcher->options = [this] { return watcherOptionsFrom(m_model); };
    m_watcher->bans = [this] { return m_model.list(kBanIPList); };
    m_watcher->storeBan = [this](const std::string& address) {
        std::vector<std::string> bans = m_model.list(kBanIPList);
        bans.push_back(address);
        m_model.storeList(kBanIPList, bans);
    };
    reportInBackground();
    // The tree shows the name and the port as they are edited.
    m_model.listen([this](const SettingKey& key) {
        for (const SettingKey* shown : {&kProfileName, &kNetPort, &kRemoteHostAddress, &kLPBRemotePort}) {
            if (sameKey(key, *shown))
                emit changed();
        }
    });

    RconSession& session = m_watcher->session();
    session.onServerInfo = [this](const RconTarget& from, const ServerInfo& info) {
        if (from != infoTarget())
            return;
        m_standing.answered();
        m_info = info;
        emit changed();
    };

    if (remote())
        return;
    m_supervisor = std::make_unique<ServerSupervisor>(createProcessLauncherFor(m_id), watchdog);
    m_supervisor->setRelaunchEnabled([this] { return m_model.flag(kRelaunchServer); });
    m_supervisor->setOnEvent([this](const SupervisorEvent& event) {
        switch (event.kind) {
        case SupervisorEvent::Kind::Relaunching:
            m_standing.crashed();
            break;
        case SupervisorEvent::Kind::Relaunched:
            m_standing.launched();
            break;
        case SupervisorEvent::Kind::Stopped:
            m_standing.stopped(event.failed);
            m_info.reset();
            m_table.reset();
            break;
        }
        emit serverEvent(event);
        emit changed();
    });
    if (m_supervisor->launcher().adopt())
        m_standing.adopted();
}

FleetServer::~FleetServer() = default;

std::string FleetServer::name() const
{
    const std::string stored = m_model.text(kProfileName);
    if (!stored.empty())
        return stored;
    return m_id.empty() ? std::string(kFirstServerName) : m_id;
}

RconTarget FleetServer::infoTarget() const
{
    if (remote())
        return {m_model.text(kRemoteHostAddress), m_model.integer(kLPBRemotePort)};
    return {"127.0.0.1", m_model.integer(kNetPort)};
}

int FleetServer::port() const
{
    return infoTarget().port;
}

std::string FleetServer::treeLine() const
{
    int players = 0;
    int maxPlayers = 0;
    std::string map;
    if (m_info && m_standing.up()) {
        players = int(m_info->players.size());
        maxPlayers = infoNumber(*m_info, "sv_maxclients");
        map = infoText(*m_info, "mapname");
    }
    return serverTreeLine(name(), port(), m_standing, players, maxPlayers, map);
}

bool FleetServer::running() const
{
    return !remote() && m_standing.up();
}

LaunchReport FleetServer::start()
{
    if (remote())
        throw VarnoError("a virtual server runs on its own computer: the panel cannot start it");
    LaunchReport report = launchSupervised(m_model, *m_supervisor);
    if (report.outcome == LaunchReport::Outcome::Started) {
        m_standing.launched();
        m_info.reset();
        emit changed();
    } else if (report.outcome == LaunchReport::Outcome::Running && !m_standing.up()) {
        m_standing.adopted();
        emit changed();
    }
    return report;
}

bool FleetServer::stop()
{
    if (remote())
        throw VarnoError("a virtual server runs on its own computer: the panel cannot stop it");
    const bool ended = m_supervisor->stop(kStopGrace);
    if (ended) {
        m_standing.stopped(false);
        m_info.reset();
        emit changed();
    }
    return ended;
}

void FleetServer::queryInfo()
{
    // A server found running at the start is not supervised: its end shows here.
    if (!remote() && m_standing.up() && !m_supervisor->watching() &&
        m_supervisor->launcher().poll().kind != ServerState::Kind::Running) {
        m_standing.stopped(false);
        m_info.reset();
        emit changed();
    }
    if (!m_standing.up())
        return;
    const std::string before = m_standing.text();
    m_standing.queried();
    m_watcher->session().queryInfo(infoTarget());
    if (m_standing.text() != before)
        emit changed();
}

void FleetServer::forgetForPages()
{
    const std::string name = m_model.text(kProfileName);
    const std::string remote = m_model.text(kProfileRemote);
    m_model.forget();
    m_model.holdText(kProfileName, name);
    m_model.holdText(kProfileRemote, remote);
}

void FleetServer::sendRcon(const std::string& command)
{
    RconSession& session = m_watcher->session();
    session.aim(infoTarget());
    session.send(rconDatagram(m_model.text(kLPBRCon), " " + command));
}

void FleetServer::reportInBackground()
{
    WatcherDriver& driver = *m_watcher;
    const auto note = [this](const std::string& text) { emit watcherNote(toQ("[" + name() + "] " + text)); };
    driver.onStarted = [note](const RconTarget& target, const WatcherOptions&) {
        note("watching " + target.host + ":" + std::to_string(target.port));
    };
    driver.onStopped = [note](const std::vector<LpbCommandReport>& unsent) {
        for (const LpbCommandReport& report : unsent)
            note("not sent: " + describeCommand(report));
    };
    driver.onHealth = [note](const WatcherDriver::HealthReport& health) {
        if (health.notable)
            note(health.status.text);
    };
    driver.onReply = [this](std::string_view reply, const ParsedStatus& status) {
        emit replied(QByteArray(reply.data(), qsizetype(reply.size())), status);
        if (status.complete && status.layout != StatusLayout::Unknown) {
            m_table = status;
            emit changed();
        }
    };
    driver.onDecided = [note](const LpbDecision& decision) {
        if (decision.logLine)
            note(*decision.logLine);
    };
    driver.onSent = [note](const LpbCommandReport& report) { note(sentCommandText(report)); };
    driver.onReplyError = [note](const std::string& error) { note(error); };
    driver.onFailure = [note](const QString& message) { note(toStd(message)); };
}

ServerFleet::ServerFleet(const WatchdogConfig& watchdog, QObject* parent)
    : QObject(parent)
    , m_watchdog(watchdog)
    , m_refresh(new QTimer(this))
{
    m_refresh->setObjectName(QStringLiteral("ServerRefresh"));
    connect(m_refresh, &QTimer::timeout, this, &ServerFleet::refreshNow);
    const std::string selected = serverProfile();
    for (const std::string& id : allProfiles())
        adopt(id);
    m_managed = find(selected);
    if (!m_managed)
        m_managed = m_servers.front();
    setServerProfile(m_managed->id());
    setRefreshPeriod(kHiddenRefreshMs);
}

ServerFleet::~ServerFleet() = default;

FleetServer& ServerFleet::adopt(const std::string& id)
{
    auto* server = new FleetServer(id, m_watchdog, this);
    connect(server, &FleetServer::changed, this, [this, server] { emit serverChanged(server); });
    m_servers.push_back(server);
    emit added(server);
    return *server;
}

FleetServer* ServerFleet::find(const std::string& id) const
{
    const auto found =
        std::find_if(m_servers.begin(), m_servers.end(), [&](const FleetServer* server) { return server->id() == id; });
    return found == m_servers.end() ? nullptr : *found;
}

void ServerFleet::manage(FleetServer& server)
{
    if (&server == m_managed)
        return;
    m_managed = &server;
    setServerProfile(server.id());
    emit managedChanged(&server);
}

FleetServer& ServerFleet::addLocal(const std::string& name)
{
    // From the managed server's values, or the first server's when the managed one is remote.
    const AddedServer added = addLocalServer(name, m_managed->remote() ? std::string() : m_managed->id());
    FleetServer& server = adopt(added.id);
    emit listChanged();
    return server;
}

FleetServer& ServerFleet::addRemote(const std::string& name, const std::string& host, int port,
                                    const std::string& password)
{
    const AddedServer added = addRemoteServer(name, host, port, password);
    FleetServer& server = adopt(added.id);
    emit listChanged();
    server.queryInfo();
    return server;
}

void ServerFleet::rename(FleetServer& server, const std::string& name)
{
    renameServer(server.id(), name);
    server.model().changeText(kProfileName, name);
    emit serverChanged(&server);
}

void ServerFleet::setRemoteAddress(FleetServer& server, const std::string& host, int port,
                                   const std::string& password)
{
    checkRemoteAddress(host, port);
    ServerModel& model = server.model();
    for (const auto& [key, text] : remoteServerValues(host, port, password))
        model.changeText(*key, text);
}

void ServerFleet::remove(FleetServer& server)
{
    if (server.id().empty())
        throw VarnoError("The first server's settings are kept: it cannot be deleted.");
    if (server.running())
        throw VarnoError("Server " + server.name() + " is running: stop it before deleting it.");
    if (&server == m_managed)
        manage(*m_servers.front());
    server.watcher().stop();
    removeServerProfile(server.id());
    m_servers.erase(std::find(m_servers.begin(), m_servers.end(), &server));
    server.deleteLater();
    emit listChanged();
}

void ServerFleet::setRefreshPeriod(int milliseconds)
{
    m_refresh->start(milliseconds);
}

void ServerFleet::refreshNow()
{
    for (FleetServer* server : m_servers)
        server->queryInfo();
}

} // namespace varno
