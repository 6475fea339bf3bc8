#pragma once

#include "core/console/key_player.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class QProcess;
class QTimer;

namespace varno {

// Types key events into the tmux session the console finder last brought forward, with "tmux send-keys".
// tmux runs in the background: start returns once it runs, and the playback ends (finished is called) when
// tmux has handed every key to the pane, so the window never waits on tmux and a string sent meanwhile is
// refused by the player. Long strings go in several send-keys commands, one after the other, because tmux
// limits the size of one command.
class TmuxKeyInjector : public KeyInjector {
public:
    TmuxKeyInjector();
    ~TmuxKeyInjector() override;

    TmuxKeyInjector(const TmuxKeyInjector&) = delete;
    TmuxKeyInjector& operator=(const TmuxKeyInjector&) = delete;

    // False when no console has been brought forward or tmux cannot be started.
    bool start(std::vector<KeyEvent> events, std::function<void()> finished) override;

    // The longest a single tmux command may take before it is given up.
    static constexpr int kCommandTimeoutMs = 5000;

private:
    bool startNextCommand();
    void commandEnded();
    void endDelivery();

    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<QTimer> m_watchdog;
    std::deque<QStringList> m_commands;
    std::function<void()> m_finished;
};

// The send-keys commands (arguments after "tmux -L socket") that type tokens into session, in order, each
// small enough for tmux to accept.
std::vector<QStringList> sendKeysCommands(const QString& session, const std::vector<std::string>& tokens);

} // namespace varno
