#include "coretestbed.h"

#include <QDir>
#include <QFile>

namespace {
const int kRanges[][2] = {
    {10, 10}, {100, 170}, {200, 206}, {300, 304}, {400, 403}, {500, 503}, {600, 603}, {700, 700}, {800, 800},
    {900, 900}, {1000, 1004}, {1100, 1110}, {1200, 1220}, {1300, 1316}, {1400, 1404}, {1500, 1521},
    {1600, 1600}, {1700, 1705}, {1710, 1715},
};
}

CoreTestbed::CoreTestbed(int msPerSecond, quint16 requestPort, quint16 gamePort, quint16 salesPort)
    : clock(msPerSecond)
{
    writeLanguage();
    // The pictures the core shows by name, so that a missing-picture notice does not
    // stand in the status line (the recording view loads any file).
    for (const char* picture : {"logo.gif", "bingo.gif", "bde.gif", "grid.gif", "NAgrid.gif", "winnerbox.gif",
                                "pat01.gif", "pat02.gif", "pat03.gif", "pat04.gif", "pat05.gif", "pat07.gif",
                                "pat08.gif", "pat09.gif", "pat10.gif", "pat11.gif"})
        writeFile(QString::fromLatin1(picture), "GIF89a");
    CoreConfig config;
    config.folder = dir.path();
    config.defaultWebHost = QStringLiteral("127.0.0.1:1");
    config.defaultGameHost = QStringLiteral("127.0.0.1");
    config.defaultWebSite = QStringLiteral("http://127.0.0.1:1/");
    config.requestPort = requestPort;
    config.gameFeedPort = gamePort;
    config.salesFeedPort = salesPort;
    core = std::make_unique<GameCore>(config, &view, &clock, &player);
}

void CoreTestbed::writeLanguage()
{
    QByteArray text;
    for (const auto& r : kRanges)
        for (int id = r[0]; id <= r[1]; ++id)
            text += QByteArray::number(id) + ' ' + (id == 10 ? QByteArray("en") : "T" + QByteArray::number(id)) + "\r\n";
    writeFile(QStringLiteral("English.txt"), text);
}

void CoreTestbed::writeFile(const QString& relative, const QByteArray& bytes)
{
    const QString path = dir.filePath(relative);
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
}

QByteArray CoreTestbed::readFile(const QString& relative) const
{
    QFile f(dir.filePath(relative));
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

void CoreTestbed::create()
{
    core->FormCreate();
}

QByteArray CoreTestbed::numbers(int faces)
{
    QByteArray text;
    for (int f = 0; f < faces; ++f)
        for (int col = 0; col < 5; ++col)
            for (int row = 0; row < 5; ++row)
                text += char(15 * col + row + 1 + f + 50);
    return text;
}
