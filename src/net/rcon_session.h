#pragma once

#include "core/lpb/rcon_pacer.h"
#include "core/lpb/reply_assembler.h"
#include "core/lpb/server_info.h"
#include "core/lpb/status_parser.h"
#include "core/lpb/watcher_health.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

class QTimer;

namespace varno {

class RconEndpoint;

// The rcon conversation with game servers through one endpoint: datagrams wait for their host's lookup,
// then leave through the pacer; the replies of the server last aimed at are joined from their datagrams,
// and each complete reply is parsed once and handed on. The session keeps
// the target, each server's pace and the watcher's health to itself. Used by the ZOZ Idaroz page, varno
// watch, varno rcon and varno status.
//
// Getstatus queries for a server's rules and players go the same way, so that they share each server's limit with
// the rcon datagrams; their answers are read apart and never count as rcon replies.
class RconSession : public QObject {
    Q_OBJECT
public:
    explicit RconSession(QObject* parent = nullptr);
    ~RconSession() override;

    RconEndpoint* endpoint() const { return m_endpoint; }

    // Points the endpoint at target; later commands without a target of their own go there.
    void aim(const RconTarget& target);
    // A status poll: aims at target and queues the datagram behind any command; the health counts it once it has
    // left, and hears of it when the next poll takes its place before it could leave.
    void poll(const RconTarget& target, std::string payload);
    // Queues one rcon datagram (already built) for the target last aimed at, at least minGapUs after the previous
    // one; onSent hears of id once the datagram has left.
    void send(std::string payload, std::int64_t minGapUs = 0, std::uint64_t id = 0);
    // The same for target, which need not be the one aimed at.
    void sendTo(const RconTarget& target, std::string payload, std::int64_t minGapUs = 0, std::uint64_t id = 0);
    // A getstatus query of target, which need not be the one aimed at; its answer goes to onServerInfo. It waits
    // behind the commands and the poll for the same server, and at most one waits for each target: a newer one takes
    // the place of one that has not left yet.
    void queryInfo(const RconTarget& target);
    // Drops everything that has not left yet but the getstatus queries, which are not the watcher's.
    void clearQueued();
    // Whether datagrams still wait for their turn or for their host's lookup.
    bool isSending() const;

    // Hands a complete reply on.
    void deliver(std::string_view reply);

    // Whether the servers answer, as the operator should hear it.
    WatcherHealthStatus health() const;
    void resetHealth();

    // Receives each complete, new reply text with its reading as a status table.
    std::function<void(std::string_view reply, const ParsedStatus& status)> onReply;
    // Receives the id of each datagram sent with one, once it has left.
    std::function<void(std::uint64_t id)> onSent;
    // Receives what went wrong (a lookup or a send), as the operator's message.
    std::function<void(const QString& message)> onError;
    // The health may have changed.
    std::function<void()> onHealth;
    // Receives the answer to each getstatus query that has left, once; answers nobody waits for are dropped.
    std::function<void(const RconTarget& from, const ServerInfo& info)> onServerInfo;

private:
    enum class Kind { Command, Poll, Query };
    struct Queued {
        RconTarget target;
        std::string payload;
        std::int64_t minGapUs = 0;
        std::uint64_t id = 0;
        Kind kind = Kind::Command;
    };

    void queue(Queued queued);
    void toPacer(Queued queued);
    void healthChanged();

    void sendPaced();
    void releaseAfterLookup(const RconTarget& target, const QString& error);
    void datagramArrived(const QByteArray& payload, const QString& source);
    void listenedDatagramArrived(const RconTarget& target, const QByteArray& payload, const QString& source);
    void infoArrived(const RconTarget& from, std::string_view datagram);
    void drainReplies(bool tableComplete);
    void report(const QString& message);
    std::int64_t nowUs() const;
    std::int64_t nowMs() const;

    RconEndpoint* m_endpoint;
    RconTarget m_lastAimed;
    RconPacer m_pacer;
    WatcherHealth m_health;
    QTimer* m_pacerTimer;
    std::vector<Queued> m_awaitingLookup;
    std::set<RconTarget> m_infoAwaited; // a query has left, its answer has not come
    ReplyAssembler m_assembler;
    QTimer* m_replyTimer;
    QString m_openStatusSource;
    QElapsedTimer m_clock;
    ParsedStatus m_status; // kept between replies for its storage only
};

} // namespace varno
