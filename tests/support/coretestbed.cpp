#include "coretestbed.h"

#include "scriptedpeer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

CoreTestbed::CoreTestbed(int msPerSecond, quint16 requestPort, quint16 gamePort, quint16 salesPort)
    : clock(msPerSecond)
{
    // The test language file: every id the program uses reads "T<id>", id 10 "en".
    static const int kRanges[][2] = {
        {10, 10}, {100, 170}, {200, 206}, {300, 304}, {400, 403}, {500, 503}, {600, 603}, {700, 700}, {800, 800},
        {900, 900}, {1000, 1004}, {1100, 1110}, {1200, 1220}, {1300, 1316}, {1400, 1404}, {1500, 1521},
        {1600, 1600}, {1700, 1705}, {1710, 1715}, {1803, 1816}, {1820, 1867},
    };
    QByteArray text;
    for (const auto& r : kRanges)
        for (int id = r[0]; id <= r[1]; ++id)
            text += QByteArray::number(id) + ' ' + (id == 10 ? QByteArray("en") : "T" + QByteArray::number(id)) + "\r\n";
    writeFile(QStringLiteral("English.txt"), text);
    // The pictures the core shows by name, so that a missing-picture notice does not
    // stand in the status line (the recording screen shows any file).
    for (const char* picture : {"logo.gif", "bingo.gif", "bde.gif", "grid.gif", "NAgrid.gif", "winnerbox.gif",
                                "pat01.gif", "pat02.gif", "pat03.gif", "pat04.gif", "pat05.gif", "pat07.gif",
                                "pat08.gif", "pat09.gif", "pat10.gif", "pat11.gif"})
        writeFile(QString::fromLatin1(picture), "GIF89a");
    config.folder = dir.path();
    config.defaultWebHost = QStringLiteral("127.0.0.1:1");
    config.defaultGameHost = QStringLiteral("127.0.0.1");
    config.defaultWebSite = QStringLiteral("http://127.0.0.1:1/");
    config.ports.request = requestPort;
    config.ports.gameFeed = gamePort;
    config.ports.salesFeed = salesPort;
    remake();
}

void CoreTestbed::remake(const Views* on)
{
    core.reset();
    core = std::make_unique<GameCore>(config, on ? *on : screen.views(), &clock, &player);
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
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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

QByteArray CoreTestbed::codes(std::initializer_list<int> numbers)
{
    QByteArray s;
    for (int n : numbers)
        s += char(n + 50);
    return s;
}

void CoreTestbed::buyCard(int faces, const QByteArray& game)
{
    const int card = core->rack().currentCard();
    core->shop().chooseFaces(faces);
    line(Link::Request, "PQZ!CARDRG1$A" + QByteArray::number(card) + "%A$B" + numbers(faces) + "%B");
    core->shop().Button3Click();
    line(Link::Request, "PQZ!LOGINOK" + game + ".00001.0000" + QByteArray::number(card) + "$04.00%0$B" + numbers(faces)
                            + "%B$C" + QByteArray::number(card) + "%C");
}

int CoreTestbed::step(int steps)
{
    int ticks = 0;
    for (int s = 0; s < steps; ++s) {
        const int calls = core->round().callCount();
        const Phase phase = core->round().phase();
        for (int i = 0; i < 12; ++i) {
            tick();
            ++ticks;
            if (core->board().ballRolling()) {
                core->FinishBallAnimation();
                break;
            }
            if (core->round().callCount() != calls || core->round().phase() != phase)
                break;
        }
    }
    return ticks;
}

QString CoreTestbed::heard()
{
    while (player.playing)
        player.finish();
    return player.played.isEmpty() ? QString() : QFileInfo(player.played.takeLast()).fileName();
}

bool CoreTestbed::ticking()
{
    const auto state = [this] { return std::pair(core->links().feedSilence(), core->round().stepCountdown()); };
    const auto before = state();
    Spin(qMax(40, 4 * clock.msPerSecond()));
    return state() != before;
}
