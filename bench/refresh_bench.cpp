// Time of one full redraw (Refresh1Click) of six entered four-face cards and the
// board, rendered offscreen, and the peak resident size after a whole simulated game.
#include "benchwindow.h"
#include "windows/boardwidget.h"
#include "windows/cardwidgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <sys/resource.h>

namespace {
void Render(MainWindow& form, QImage& target)
{
    for (int k = 1; k <= 6; ++k) {
        QPainter p(&target);
        form.cardPanel(k)->render(&p);
    }
    QPainter p(&target);
    form.board()->render(&p);
}
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchWindow bench;
    MainWindow& form = bench.form;
    GameCore& core = bench.core;
    QImage target(260, 270, QImage::Format_RGB32);
    Render(form, target);   // warm up fonts and caches

    const int rounds = 200;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i) {
        core.table().Refresh1Click();
        Render(form, target);
    }
    std::printf("refresh+render of 6 four-face cards and the board: %.1f us\n", double(t.nsecsElapsed()) / 1000.0 / rounds);

    // A whole game: every number called, each call redrawn as the core asks.
    QByteArray draw;
    for (int n = 1; n <= 75; ++n)
        draw += char(n + 50);
    core.ServerLineReceived(Link::GameFeed, "PQZ$0B%0$8100001%8$A" + draw + "%A$7A02000002%7$575%5$676%6");
    while (core.round().callCount() < 75 && core.round().running()) {
        core.Timer1Timer();
        if (core.board().ballRolling()) {
            core.FinishBallAnimation();
            Render(form, target);
            QApplication::processEvents();
        }
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("peak resident size after a simulated game: %ld KiB\n", usage.ru_maxrss);
    return 0;
}
