#pragma once

#include "support/gui_fixture.h"
#include "support/tmux_socket.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace varno {
class ConsolePage;
}

namespace varno::test {

// The panel with a game folder whose engine is the stand-in server, launched for real through tmux on the
// test's own socket. The stand-in logs every command it runs to a file of the test's.
class StandinConsoleTest : public GuiTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Presses the launch button, as the operator does once the folder, rotation and command line are set.
    void launch();
    // Waits until the page has found the server and announced it.
    bool waitForServerReady();
    // Waits until the stand-in has logged this command.
    bool waitForStandinCommand(const QString& command);
    bool waitUntilIdle();
    // Sends a command from the page as the operator does: word, value, Send Command.
    void sendCommand(const QString& command, const QString& value);
    void changeMap(const QString& map);

    QStringList standinCommands() const;

    QTemporaryDir folder; // first, so that it goes after the tmux server
    TmuxSocket tmux;
    QString gameFolder;
    QString standinLog;
    QString originalFolder;
    ConsolePage* page = nullptr;
};

} // namespace varno::test
