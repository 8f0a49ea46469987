// The core's work for one game's draw: the "B" line and all 75 call steps (each call
// shown, its ball animation finished, the strip, the board table and six cards
// marked), with the one-second ticks between them, behind views that draw nothing. Prints microseconds per game
// (goal: under 2 ms in all).
#include "benchgame.h"
#include "views/nullviews.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <vector>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    // The program folder holds the ball pictures, as the real one does (a missing
    // picture costs a directory listing to find it in another letter case).
    for (const char* ball : {"bdblu", "bdred", "bdbla", "bdgre", "bdyel"})
        for (const char* variant : {".gif", "a.gif"}) {
            QFile picture(folder.filePath(QLatin1String(ball) + QLatin1String(variant)));
            picture.open(QIODevice::WriteOnly);
        }
    NullViews views;
    GameClock clock(1000);
    CoreConfig config;
    config.folder = folder.path();
    config.defaultWebHost = QStringLiteral("127.0.0.1:1");
    config.ports = LinkPorts{1, 1, 1};

    QByteArray draw;
    for (int n = 1; n <= 75; ++n)
        draw += char((n * 37) % 75 + 1 + 50);   // every number once, shuffled
    const QByteArray line = "PQZ$0B%0$8100001%8$A" + draw + "%A$9bingo.gif%9$7A02000002%7$2250.00%2$312%3$575%5$676%6";

    std::vector<double> times;
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    for (int round = 0; round < rounds; ++round) {
        GameCore core(config, views.views(), &clock, nullptr);
        core.FormCreate();
        BuySixCards(core);
        QElapsedTimer timer;
        timer.start();
        core.ServerLineReceived(Link::GameFeed, line);
        // Each call is one session step: the ticks between steps do no work of note.
        while (core.round().callCount() < 75 && core.round().running()) {
            core.Timer1Timer();
            if (core.board().ballRolling())
                core.FinishBallAnimation();
        }
        times.push_back(timer.nsecsElapsed() / 1000.0);
        if (core.round().callCount() != 75)
            std::fprintf(stderr, "only %d calls shown\n", core.round().callCount());
    }
    std::sort(times.begin(), times.end());
    std::printf("\"B\" line + 75 call steps, six 4-face cards: median %.0f us, best %.0f us, p90 %.0f us\n",
                times[times.size() / 2], times.front(), times[times.size() * 9 / 10]);
    return 0;
}
