#pragma once

#include <QString>

namespace varno::test {

// A tmux socket of the test's own (VARNO_TMUX_SOCKET), whose server is killed when the test ends,
// whatever happened; the socket in use before comes back then.
class TmuxSocket {
public:
    TmuxSocket();
    ~TmuxSocket();
    TmuxSocket(const TmuxSocket&) = delete;
    TmuxSocket& operator=(const TmuxSocket&) = delete;

    QString name() const { return m_name; }
    // The visible text of a session's pane.
    QString capture(const QString& session) const;
    // Session names on the socket.
    QStringList sessions() const;

private:
    QString m_name;
    QByteArray m_previous; // the socket the tests had before this one
    bool m_hadPrevious = false;
};

} // namespace varno::test
