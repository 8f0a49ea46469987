// A busy chat room during a game: a room on loopback sends 1,000 lines a second into
// the chat log of the real main window (rendered offscreen) while the game's calls run
// on a game clock four times as fast as real time. Prints the worst lateness of a
// one-second timer beside the game's tick (goal: under 50 ms), the longest the event
// loop went without turning (a 10 ms timer's worst gap), the calls shown and the lines
// the log took.
#include "benchwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <cstdio>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchWindow bench(250);
    MainWindow& form = bench.form;
    GameCore& core = bench.core;

    // The room: ten lines every 10 ms to whoever joins.
    QTcpServer room;
    room.listen(QHostAddress::LocalHost, 0);
    int sentLines = 0;
    QTimer flood;
    QObject::connect(&room, &QTcpServer::newConnection, [&] {
        QTcpSocket* s = room.nextPendingConnection();
        QObject::connect(s, &QTcpSocket::readyRead, s, [s] { s->readAll(); });
        QObject::connect(&flood, &QTimer::timeout, s, [s, &sentLines] {
            QByteArray burst;
            for (int k = 0; k < 10; ++k, ++sentLines)
                burst += "S0Regular" + QByteArray::number(sentLines % 7) + ": come on number "
                         + QByteArray::number(sentLines % 75 + 1) + ", I need just one more!\r\n";
            s->write(burst);
        });
        flood.start(10);
    });
    ServiceDirectory directory;
    directory.ChatAllowed = true;
    directory.Rooms[1] = ChatRoom{QStringLiteral("127.0.0.1"), QString::number(room.serverPort()), QStringLiteral("Busy")};
    LanguageTable language;
    const Views views = bench.screen.views();
    ChatSession chat(views.chat, views.player, directory, core.settings(), language);
    chat.JoinChatRoom(1);

    QByteArray draw;
    for (int n = 1; n <= 75; ++n)
        draw += char((n * 37) % 75 + 1 + 50);
    core.ServerLineReceived(Link::GameFeed, "PQZ$0B%0$8100001%8$A" + draw + "%A$9bingo.gif%9$7A02000002%7$575%5$676%6");

    QElapsedTimer since;
    since.start();
    qint64 lastSecond = 0, lastTurn = 0, worstSlip = 0, worstGap = 0;
    QTimer second, turn;
    second.setTimerType(Qt::PreciseTimer);
    turn.setTimerType(Qt::PreciseTimer);
    QObject::connect(&second, &QTimer::timeout, [&] {
        const qint64 now = since.elapsed();
        if (lastSecond)
            worstSlip = qMax(worstSlip, now - lastSecond - 1000);
        lastSecond = now;
    });
    QObject::connect(&turn, &QTimer::timeout, [&] {
        const qint64 now = since.elapsed();
        if (lastTurn)
            worstGap = qMax(worstGap, now - lastTurn);
        lastTurn = now;
    });
    second.start(1000);
    turn.start(10);
    QElapsedTimer cpu;
    cpu.start();
    const double cpuBefore = double(std::clock()) / CLOCKS_PER_SEC;
    QTimer::singleShot(15000, &app, &QApplication::quit);
    app.exec();
    const double cpuUsed = double(std::clock()) / CLOCKS_PER_SEC - cpuBefore;

    const auto* log = form.findChild<QPlainTextEdit*>(QStringLiteral("mChat"));
    std::printf("chat flood: %d lines sent in %.1f s, log holds %d lines (its bound), calls shown %d\n", sentLines,
                double(cpu.elapsed()) / 1000.0, log ? log->document()->blockCount() : 0, core.round().callCount());
    std::printf("one-second timer beside the game tick: worst slip %lld ms (goal under 50)\n", worstSlip);
    std::printf("event loop: worst gap of a 10 ms timer %lld ms; process CPU %.0f%% of one core\n", worstGap,
                100.0 * cpuUsed / (double(cpu.elapsed()) / 1000.0));
    return 0;
}
