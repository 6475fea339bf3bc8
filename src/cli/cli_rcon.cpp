#include "cli/cli_rcon.h"
#include "core/lpb/lpb_watcher.h"
#include "core/lpb/rcon.h"
#include "core/lpb/reply_assembler.h"
#include "core/lpb/status_parser.h"
#include "core/lpb/watcher_health.h"
#include "core/settings/schema.h"
#include "net/rcon_session.h"
#include "platform/qt_text.h"
#include "platform/settings_factory.h"

#include <QCollator>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>

namespace varno::cli {

namespace {

// A host name still being looked up when the wait is over gets this long in all.
constexpr int kLookupLimitMs = 10000;
constexpr std::string_view kPrintPrefix = "\xff\xff\xff\xffprint\n";

// The datagrams of a saved reply: a folder of datagram-N.bin in the order of N, or one file.
std::vector<std::string> savedDatagrams(const QString& path)
{
    const QFileInfo info(path);
    QStringList files;
    if (info.isDir()) {
        QDir folder(path);
        QStringList names = folder.entryList({QStringLiteral("datagram-*.bin")}, QDir::Files);
        QCollator numeric;
        numeric.setNumericMode(true);
        std::sort(names.begin(), names.end(), numeric);
        for (const QString& name : names)
            files << folder.filePath(name);
        if (files.isEmpty())
            throw CliError(toStd(path) + ": no datagram-N.bin files in this folder");
    } else {
        files << path;
    }
    std::vector<std::string> datagrams;
    for (const QString& name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly))
            throw CliError(toStd(name) + ": " + toStd(file.errorString()));
        datagrams.push_back(file.readAll().toStdString());
    }
    return datagrams;
}

std::string joinedReply(const std::vector<std::string>& datagrams)
{
    ReplyAssembler assembler;
    std::string text;
    for (const auto& datagram : datagrams)
        assembler.feed(datagram, 0);
    while (const auto reply = assembler.takeComplete(ReplyAssembler::kDefaultJoinWindowMs + 1))
        text += reply->text;
    return text;
}

std::string trimmedName(const PlayerRecord& player)
{
    std::string name = player.name;
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    return name;
}

std::string trimmedClient(const PlayerRecord& player)
{
    const auto first = player.clientNumber.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : player.clientNumber.substr(first);
}

int printStatus(Context& context, const std::string& reply, bool tsv, int minPing)
{
    const ParsedStatus status = parseStatusReply(reply);
    if (status.layout == StatusLayout::Unknown)
        throw CliError("the reply is not a status table: " + withoutPrintPrefix(reply).substr(0, 80));
    if (tsv) {
        context.printRaw("client\tping\tname\taddress\n");
    } else {
        context.print(QStringLiteral("map: %1").arg(toQ(status.mapName)));
        context.print(QStringLiteral("%1 %2 %3 %4 %5")
                          .arg(QStringLiteral("client"), 6)
                          .arg(QStringLiteral("ping"), 5)
                          .arg(QStringLiteral("name"), -24)
                          .arg(QStringLiteral("address"), -24)
                          .arg(QStringLiteral("below %1").arg(minPing)));
    }
    for (const StatusRow& row : status.rows) {
        if (!row.isTableRow())
            continue;
        const PlayerRecord& player = row.player;
        if (tsv) {
            context.printRaw(trimmedClient(player) + "\t" + player.ping + "\t" + trimmedName(player) + "\t" +
                             player.address + "\n");
        } else {
            context.print(QStringLiteral("%1 %2 %3 %4 %5")
                              .arg(toQ(trimmedClient(player)), 6)
                              .arg(toQ(player.ping), 5)
                              .arg(toQ(trimmedName(player)), -24)
                              .arg(toQ(player.address), -24)
                              .arg(isLowPingPlayer(row, minPing) ? QStringLiteral("yes") : QStringLiteral("no")));
        }
    }
    if (status.error)
        throw CliError(*status.error);
    return 0;
}

} // namespace

RconRequest rconRequest(QStringList& arguments)
{
    const auto store = createSettingsStore();
    RconRequest request;
    RconTarget& target = request.target;
    const QString host = takeOption(arguments, QStringLiteral("host"));
    const QString port = takeOption(arguments, QStringLiteral("port"));
    const QString password = takeOption(arguments, QStringLiteral("password"));
    const QString wait = takeOption(arguments, QStringLiteral("wait"));
    if (host.isEmpty()) {
        // As the page comes up: the local choice wins; the remote address is only loaded with its choice.
        target.host = readWatcherOptions(*store).host();
    } else {
        target.host = toStd(host);
    }
    target.port = port.isEmpty() ? kLPBRemotePort.clamp(store->ReadInteger(kLPBRemotePort)) : toPort(port, "--port");
    if (target.port > 65535)
        throw CliError("the stored rcon port " + std::to_string(target.port) + " is not a UDP port; give --port", 2);
    request.password = password.isNull() ? store->ReadString(kLPBRCon) : toStd(password);
    if (!wait.isEmpty()) {
        bool ok = false;
        request.waitMs = wait.toInt(&ok);
        if (!ok || request.waitMs < 0)
            throw CliError("--wait takes milliseconds, not '" + toStd(wait) + "'", 2);
    }
    return request;
}

std::vector<std::string> exchangeRcon(const RconRequest& request, std::string_view commandText)
{
    RconSession session;
    std::vector<std::string> replies;
    QString failure;
    QEventLoop loop;
    session.onReply = [&](std::string_view reply, const ParsedStatus&) { replies.emplace_back(reply); };
    session.onError = [&](const QString& message) {
        failure = message;
        loop.quit();
    };
    session.aim(request.target);
    session.send(rconDatagram(request.password, commandText));
    QElapsedTimer clock;
    clock.start();
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, [&] {
        // Replies are only complete once their join window has passed.
        const bool waited = clock.elapsed() >= request.waitMs + ReplyAssembler::kDefaultJoinWindowMs;
        if ((waited && !session.isSending()) || clock.elapsed() >= kLookupLimitMs)
            loop.quit();
    });
    check.start(10);
    if (failure.isEmpty())
        loop.exec();
    if (!failure.isEmpty())
        throw CliError(toStd(failure));
    if (session.isSending())
        throw CliError("cannot find the host '" + request.target.host + "' in time");
    return replies;
}

std::string withoutPrintPrefix(const std::string& datagram)
{
    if (datagram.compare(0, kPrintPrefix.size(), kPrintPrefix) == 0)
        return datagram.substr(kPrintPrefix.size());
    return datagram;
}


int rconCommand(Context& context)
{
    QStringList& arguments = context.arguments;
    const RconRequest request = rconRequest(arguments);
    refuseUnknownOptions(arguments);
    if (arguments.isEmpty())
        throw CliError("give the rcon command, for example: varno rcon status", 2);
    const std::string command = " " + toStd(arguments.join(QLatin1Char(' ')));
    const auto replies = exchangeRcon(request, command);
    bool refused = false;
    for (const auto& reply : replies) {
        context.printRaw(withoutPrintPrefix(reply));
        refused = refused || isRconRefusal(withoutPrintPrefix(reply));
    }
    if (refused)
        throw CliError(std::string(kPasswordRefusedText));
    // A server runs some commands without a word, so silence is told apart from an error by its own exit code.
    if (replies.empty())
        throw CliError("no reply from " + request.target.host + ":" + std::to_string(request.target.port) + " within " +
                           std::to_string(request.waitMs) + " ms",
                       kNoReplyExitCode);
    return 0;
}

int statusCommand(Context& context)
{
    QStringList& arguments = context.arguments;
    const bool tsv = takeFlag(arguments, QStringLiteral("tsv"));
    const QString saved = takeOption(arguments, QStringLiteral("parse"));
    const int minPing = readWatcherOptions(*createSettingsStore()).minPing;
    if (!saved.isEmpty()) {
        refuseUnknownOptions(arguments);
        return printStatus(context, joinedReply(savedDatagrams(saved)), tsv, minPing);
    }
    const RconRequest request = rconRequest(arguments);
    refuseUnknownOptions(arguments);
    if (!arguments.isEmpty())
        throw CliError("status takes no further arguments", 2);
    const auto replies = exchangeRcon(request, kRconStatusCommand);
    if (replies.empty())
        throw CliError("no reply from " + request.target.host + ":" + std::to_string(request.target.port));
    std::string text;
    for (const auto& reply : replies)
        text += reply;
    return printStatus(context, text, tsv, minPing);
}

} // namespace varno::cli
