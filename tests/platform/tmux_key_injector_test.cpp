#include "platform/posix/tmux_key_injector.h"

#include <gtest/gtest.h>

using namespace varno;

namespace {

const QString kTarget = QStringLiteral("=S:");
const QStringList kState{";",  "display-message", "-p",
                         "-t", kTarget,           "#{pane_dead} #{pane_dead_status} #{pane_dead_signal}"};

QStringList literal(const QStringList& texts)
{
    return QStringList{"send-keys", "-t", kTarget, "-l", "--"} + texts;
}

QStringList key(const QString& name)
{
    return {"send-keys", "-t", kTarget, name};
}

// A literal text, then the key in the same tmux command.
QStringList textAndKey(const QStringList& texts, const QString& name)
{
    return literal(texts) + QStringList{";"} + key(name);
}

TEST(TmuxSendKeys, OneCommandPerDeliveryWithTextLiteralAndTrailingSemicolonsEscaped)
{
    const struct {
        std::vector<ConsoleDelivery> deliveries;
        std::vector<QStringList> commands;
    } cases[] = {
        {{{"echo hi", ConsoleKey::Enter}}, {textAndKey({"echo hi"}, "Enter") + kState}},
        {{{"", ConsoleKey::Enter}}, {key("Enter") + kState}},
        {{{"se", ConsoleKey::Tab}, {"", ConsoleKey::Up}, {"", ConsoleKey::Down}},
         {textAndKey({"se"}, "Tab") + kState, key("Up") + kState, key("Down") + kState}},
        {{{"-x", ConsoleKey::None}}, {literal({"-x"}) + kState}},
        {{{"a;b;;", ConsoleKey::Enter}}, {textAndKey({"a;b", "\\;", "\\;"}, "Enter") + kState}},
        {{{";", ConsoleKey::None}}, {literal({"\\;"}) + kState}},
        {{{"b\\;", ConsoleKey::None}}, {literal({"b\\", "\\;"}) + kState}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        std::vector<QStringList> arguments;
        for (const SendKeysCommand& command : sendKeysCommands(QStringLiteral("S"), c.deliveries))
            arguments.push_back(command.arguments);
        EXPECT_EQ(arguments, c.commands);
    }
}

TEST(TmuxSendKeys, LongTextIsSplitAndEnterFollowsTheLastPart)
{
    const std::string text(20000, 'x');
    const auto commands = sendKeysCommands(QStringLiteral("S"), {{text, ConsoleKey::Enter}});
    ASSERT_EQ(commands.size(), 3u);
    QString joined;
    for (const SendKeysCommand& command : commands) {
        EXPECT_LE(command.arguments.join(' ').size(), 8200);
        joined += command.arguments.value(5);
    }
    EXPECT_EQ(joined, QString::fromStdString(text));
    EXPECT_FALSE(commands[1].arguments.contains("Enter"));
    EXPECT_TRUE(commands[2].arguments.contains("Enter"));
}

TEST(TmuxSendKeys, OnlyHistoryKeysWaitForTheConsoleBeforeTheNextCommand)
{
    const auto commands = sendKeysCommands(
        QStringLiteral("S"),
        {{"a", ConsoleKey::Tab}, {"", ConsoleKey::Up}, {"", ConsoleKey::Down}, {"b", ConsoleKey::Enter}, {"c", {}}});
    std::vector<bool> settles;
    for (const SendKeysCommand& command : commands)
        settles.push_back(command.settles);
    EXPECT_EQ(settles, (std::vector<bool>{false, true, true, false, false}));
}

TEST(TmuxSendKeys, PaneStateTellsARunningServerFromOneThatEnded)
{
    EXPECT_EQ(deadPaneText("0  \n"), "");
    EXPECT_EQ(deadPaneText(""), "");
    EXPECT_EQ(deadPaneText("1 3 \n"), "exit code 3");
    EXPECT_EQ(deadPaneText("1  9\n"), "signal 9");
    EXPECT_EQ(deadPaneText("1  \n"), "exit status unknown");
}

} // namespace
