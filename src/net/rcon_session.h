#pragma once

#include "core/lpb/rcon_pacer.h"
#include "core/lpb/reply_assembler.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QTimer;

namespace varno {

class RconEndpoint;

// The rcon conversation with game servers through one endpoint: datagrams wait for their host's lookup,
// then leave through the pacer; the replies of the server last aimed at are joined from their datagrams,
// and each complete reply that differs from the one before is handed on. Used by the ZOZ Idaroz page and
// by varno watch.
class RconSession : public QObject {
    Q_OBJECT
public:
    explicit RconSession(QObject* parent = nullptr);
    ~RconSession() override;

    RconEndpoint* endpoint() const { return m_endpoint; }

    // Points the endpoint at target; the LPB announcement and kick go to the target last aimed at.
    void aim(const RconTarget& target);
    const RconTarget& lastAimed() const { return m_lastAimed; }

    // Queues one rcon datagram (already built) for target, at least minGapUs after the previous one.
    void send(const RconTarget& target, std::string payload, std::int64_t minGapUs = 0);
    // Drops everything that has not left yet.
    void clearQueued();
    // Whether datagrams still wait for their turn or for their host's lookup.
    bool isSending() const;

    // Hands a complete reply on unless it repeats the one before.
    void deliver(std::string_view reply);

    // From a status reply: how the target's server throttles rcon.
    void setLayout(const RconTarget& target, StatusLayout layout);

    // Receives each complete, new reply text.
    std::function<void(std::string_view reply)> onReply;
    // Receives what went wrong (a lookup or a send), as the operator's message.
    std::function<void(const QString& message)> onError;

private:
    struct AwaitingLookup {
        RconTarget target;
        std::string payload;
        std::int64_t minGapUs = 0;
    };

    void sendPaced();
    void releaseAfterLookup(const RconTarget& target, const QString& error);
    void datagramArrived(const QByteArray& payload, const QString& source);
    void drainReplies(bool tableComplete);
    void report(const QString& message);
    std::int64_t nowUs() const;
    std::int64_t nowMs() const;

    RconEndpoint* m_endpoint;
    RconTarget m_lastAimed;
    RconPacer m_pacer;
    QTimer* m_pacerTimer;
    std::vector<AwaitingLookup> m_awaitingLookup;
    ReplyAssembler m_assembler;
    ReplyRepeatFilter m_repeatFilter;
    QTimer* m_replyTimer;
    QString m_openStatusSource;
    QElapsedTimer m_clock;
};

} // namespace varno
