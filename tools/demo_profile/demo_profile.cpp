#include "demo_profile.h"

#include "core/settings/bot_flags.h"
#include "core/settings/schema.h"
#include "platform/qt_text.h"
#include "platform/settings_file_store.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QOperatingSystemVersion>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>

#include <algorithm>

namespace varno::demo {

namespace {

const QStringList kStockMaps{
    "q3ctf1",     "q3ctf2",     "q3ctf3",     "q3ctf4",     "q3dm1",      "q3dm2",   "q3dm3",   "q3dm4",
    "q3dm5",      "q3dm6",      "q3dm7",      "q3dm8",      "q3dm9",      "q3dm10",  "q3dm11",  "q3dm12",
    "q3dm13",     "q3dm14",     "q3dm15",     "q3dm16",     "q3dm17",     "q3dm18",  "q3dm19",  "q3tourney1",
    "q3tourney2", "q3tourney3", "q3tourney4", "q3tourney5", "q3tourney6", "q3wctf1", "q3wctf2", "q3wctf3"};

// The colour family of a map by its kind: capture the flag blue, tourney red, deathmatch amber.
QColor baseColour(const QString& map)
{
    if (map.contains(QLatin1String("ctf")))
        return QColor(40, 70, 140);
    if (map.contains(QLatin1String("tourney")))
        return QColor(130, 35, 35);
    return QColor(150, 105, 30);
}

} // namespace

bool drawMapPicture(const QString& mapName, const QString& fileName)
{
    QImage image(160, 128, QImage::Format_RGB32);
    const QColor base = baseColour(mapName);
    image.fill(base.darker(220));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // A made-up floor plan, the same for the same map at every run.
    QRandomGenerator rooms(qHash(mapName));
    for (int i = 0; i < 7; ++i) {
        const QRectF room(rooms.bounded(8, 110), rooms.bounded(8, 70), rooms.bounded(18, 48), rooms.bounded(14, 36));
        painter.setPen(QPen(base.lighter(170), 2));
        painter.setBrush(base.lighter(100 + 10 * i));
        painter.drawRect(room);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 150));
    painter.drawRect(QRectF(0, 96, 160, 32));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(18);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 96, 160, 32), Qt::AlignCenter, mapName);
    painter.end();
    return image.save(fileName, "BMP");
}

bool drawMapPictures(const QString& folder)
{
    if (!QDir().mkpath(folder))
        return false;
    bool drawn = true;
    for (const QString& map : kStockMaps)
        drawn = drawMapPicture(map, QDir(folder).filePath(map + QStringLiteral(".bmp"))) && drawn;
    return drawn;
}

QString seedDemoProfile(const QString& folder, const QString& standinProgram)
{
    const QDir root(folder);
    root.mkpath(QStringLiteral("quake3/baseq3"));
    // The game program is put in place at every start, so that the profile follows a rebuilt or updated
    // stand-in: on Windows a copy named as the game (quake3.exe, self-contained), elsewhere a link named as a
    // dedicated server.
    const bool windows = QOperatingSystemVersion::currentType() == QOperatingSystemVersion::Windows;
    const QString server = root.filePath(windows ? QStringLiteral("quake3/quake3.exe") : QStringLiteral("quake3/q3ded"));
    const QString standin = QFileInfo(standinProgram).absoluteFilePath();
    QFile::remove(server);
    if (windows)
        QFile::copy(standin, server);
    else
        QFile::link(standin, server);

    const QString settingsFile = root.filePath(QStringLiteral("settings.ini"));
    if (QFileInfo::exists(settingsFile))
        return settingsFile;
    drawMapPictures(root.filePath(QStringLiteral("Maps")));

    SettingsFileStore store(settingsFile);
    const auto path = [&root](const QString& name) { return toStd(QDir::toNativeSeparators(root.filePath(name))); };
    store.WriteString(kInstallDir, toStd(QDir::toNativeSeparators(root.absolutePath())));
    store.WriteString(kQuakeDir, path(QStringLiteral("quake3")));
    store.WriteString(kMapsDir, path(QStringLiteral("Maps")));
    store.WriteInteger(kRestoreFlags, 2);
    store.WriteString(kServerName, "Varno Demo Server");
    store.WriteString(kMapRotation, "q3dm1,q3dm7,q3tourney2,q3dm17");
    store.WriteString(kRConPW, "demo");
    store.WriteString(kLPBRCon, "demo");
    std::vector<bool> bots(stockBotNames().size(), false);
    for (const char* name : {"Anarki", "Sarge", "Xaero"}) {
        const auto at = std::find(stockBotNames().begin(), stockBotNames().end(), name);
        bots[std::size_t(at - stockBotNames().begin())] = true;
    }
    store.WriteString(kBotList, toBotFlagString(bots));
    store.WriteString(kKeepBots, "1");
    store.WriteString(kAutoKick, "0");
    store.WriteInteger(kLPBCheckRate, 5);
    // A player with a suspiciously low ping for the watcher to find; the bots are the server's own and stay.
    // Only the stand-in knows addclient.
    store.WriteString(kCmdLine, "+addclient LowPinger 12 203.0.113.50:27960");
    return settingsFile;
}

} // namespace varno::demo
