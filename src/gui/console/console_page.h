#pragma once

#include <QStringList>

#include <set>
#include <string>
#include <QWidget>

#include <memory>
#include <string>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace varno {

class FleetServer;
class ModelBindings;

class ConsoleOutputReader;
class KeyPlayer;
class ServerConsole;
class StatusLine;

// The "Enhanced Console" page: waits for the running server's console, then types commands and map changes
// into it as keystrokes. Its log records what was asked for; nothing is ever read back from the server.
class ConsolePage : public QWidget {
    Q_OBJECT
public:
    ConsolePage(ModelBindings& bindings, StatusLine* statusLine, QWidget* parent = nullptr);
    ~ConsolePage() override;

    QGroupBox* consoleGroup;
    QPlainTextEdit* enhConsole;
    QComboBox* CmdBox;
    QCheckBox* OnBox;
    QCheckBox* OffBox;
    QLineEdit* ValueEdit;
    QPushButton* SendButton;
    QComboBox* MapBox;
    QPushButton* MapButton;
    QTimer* LookforServerTimer;
    // What the server console shows, read-only, under the log.
    QPlainTextEdit* ConsoleOutputView;
    QTimer* ConsoleOutputTimer;

    void LookforServerTimerTimer();
    void SendButtonClick();
    void MapButtonClick();
    void ValueEditMouseUp();
    // Brings the console's input field forward and, only if that worked, plays keys into it. doneLine goes
    // to the log once the keys have reached the console; when they cannot, the log says why instead.
    void TypeIntoConsole(const QString& keys, const QString& doneLine = {});

    // Reads the console's recent output into ConsoleOutputView.
    void ConsoleOutputTimerTimer();

    // Tells the log what became of the launched server (a crash, a relaunch, an early stop). After a relaunch
    // the page looks for the new console and greets it, as for the first.
    void noteServerEvent(const QStringList& lines, bool newServer);

    // The page works on that server from now on: a server of this computer through its console, looked for and
    // greeted once unless it was greeted before; a virtual server over rcon, its replies in the log.
    void showServer(FleetServer& server);

    // The log's lines, oldest first.
    QStringList logLines() const;
    // The program's one keystroke player.
    KeyPlayer& keyPlayer() { return *m_player; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    ModelBindings& m_bindings;
    void appendLog(const QString& line);
    void typingFailed(const QString& keys, const QString& reason);
    void keysDelivered(const std::string& problem);

    StatusLine* m_statusLine;
    std::unique_ptr<ServerConsole> m_console;
    std::unique_ptr<KeyPlayer> m_player;
    std::unique_ptr<ConsoleOutputReader> m_output;
    // The keys being typed and the log line waiting for their delivery.
    QString m_typingKeys;
    QString m_doneLine;
    FleetServer* m_server = nullptr;
    std::set<std::string> m_greeted; // the servers whose console has been found and greeted
    QMetaObject::Connection m_replies;
};

} // namespace varno
