#pragma once

#include "core/console/console_line.h"
#include "core/console/key_player.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QProcess;
class QTimer;

namespace varno {

// One tmux command line (the arguments after "tmux -L socket") of a delivery.
struct SendKeysCommand {
    QStringList arguments;
    // A terminal console drops the input that waits behind a history key (the engines flush it), so the next
    // command waits until the console has had time to take this one.
    bool settles = false;

    friend bool operator==(const SendKeysCommand&, const SendKeysCommand&) = default;
};

// Types key events into the tmux session the console finder last brought forward. The events go through the
// panel's copy of the console's input line, so the pane receives literal text and the console's own keys
// (Enter, Tab, Up, Down), never a control character or a signal. tmux runs in the background: start returns
// once it runs, and the playback ends (finished is called) when tmux has handed everything to the pane, so
// the window never waits on tmux and a string sent meanwhile is refused by the player. Between two lines the
// pane is looked at, so that no line goes to a server that has died.
class TmuxKeyInjector : public KeyInjector {
public:
    TmuxKeyInjector();
    ~TmuxKeyInjector() override;

    TmuxKeyInjector(const TmuxKeyInjector&) = delete;
    TmuxKeyInjector& operator=(const TmuxKeyInjector&) = delete;

    // False when no console has been brought forward or tmux cannot be started.
    bool start(std::vector<KeyEvent> events, std::function<void()> finished) override;
    std::string deliveryProblem() const override { return m_problem; }

    // The longest a single tmux command may take before it is given up.
    static constexpr int kCommandTimeoutMs = 5000;
    // Several frames of a server at the engines' default 20 frames a second.
    static constexpr int kSettleMs = 150;

private:
    bool startNextCommand();
    void commandEnded();
    void settled();
    void endDelivery();

    std::unique_ptr<QProcess> m_process;
    std::unique_ptr<QTimer> m_watchdog;
    std::unique_ptr<QTimer> m_settleTimer;
    bool m_settling = false;
    std::deque<SendKeysCommand> m_commands;
    std::function<void()> m_finished;
    QString m_session;
    std::string m_problem;
};

// The tmux commands that make the deliveries in session, one command per delivery (more for a text too long
// for one), each ending by printing whether the pane's process has ended.
std::vector<SendKeysCommand> sendKeysCommands(const QString& session, const std::vector<ConsoleDelivery>& deliveries);

// What the pane-state line printed after each command says: empty while the process runs, otherwise why it ended.
std::string deadPaneText(const QString& paneState);

} // namespace varno
