#include "cli/cli_context.h"
#include "core/console/key_parser.h"
#include "core/console/key_player.h"
#include "core/console/keyboard_layout.h"
#include "core/console/send_key_error.h"
#include "platform/qt_text.h"
#include "platform/services.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace varno::cli {

namespace {

constexpr int kPlaybackTimeoutMs = 10000;

} // namespace

int sendCommand(Context& context)
{
    QStringList& arguments = context.arguments;
    const bool checkOnly = takeFlag(arguments, QStringLiteral("check"));
    refuseUnknownOptions(arguments);
    if (arguments.size() != 1)
        throw CliError("give the key string as one argument (quote it), for example: varno send \"status{ENTER}\"", 2);
    const std::string text = toStd(arguments.front());
    const auto layout = createKeyboardLayout();
    // All or nothing: a text typed without the characters no key types would say something else.
    if (const std::vector<std::string> untypable = untypableCharacters(text, *layout); !untypable.empty()) {
        std::string listed;
        for (const std::string& character : untypable)
            listed += (listed.empty() ? "'" : ", '") + character + "'";
        throw CliError("the console's keyboard has no key for " + listed + "; nothing was typed");
    }

    if (checkOnly) {
        std::vector<KeyEvent> events;
        try {
            events = buildKeyEvents(text, *layout, [] { return 0u; });
        } catch (const ESendKeyError& error) {
            throw CliError(error.what());
        }
        if (events.empty())
            throw CliError("the text gives no keys to type");
        for (const KeyEvent& event : events)
            context.print(QStringLiteral("%1 %2 %3").arg(event.message).arg(event.keyCode).arg(event.scanCode));
        return 0;
    }

    const auto console = createServerConsole();
    if (!console->bringInputToForeground())
        throw CliError(console->unavailableReason());
    QElapsedTimer clock;
    clock.start();
    KeyPlayer player(createKeyInjector(), createKeyboardLayout(),
                     [&clock] { return static_cast<std::uint32_t>(clock.elapsed()); });
    const KeyPlayResult result = player.PlayKeyString(text);
    if (result != kpOk)
        throw CliError(std::string(keyPlayResultText(result)));
    while (player.isPlaying() && clock.elapsed() < kPlaybackTimeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    if (player.isPlaying())
        throw CliError("the keys did not reach the console in time");
    if (!player.lastProblem().empty())
        throw CliError(player.lastProblem());
    return 0;
}

} // namespace varno::cli
