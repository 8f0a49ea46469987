// Framing plus field extraction on game-feed lines: a loopback server pours
// announcement lines into a LineSocket, whose handler takes the fields the
// dispatcher reads. Prints lines per second (goal: at least 1,000,000).
#include "components/net/linesocket.h"
#include "rules/wire.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>
#include <ctime>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int lines = argc > 1 ? std::atoi(argv[1]) : 2000000;
    const QByteArray line = "PQZ$0A%0$8100001%8$7A01000001%7$2250.00%2$312%3$490%4\r\n";
    QByteArray block;
    for (int i = 0; i < 1000; ++i)
        block += line;

    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    QTcpSocket* peer = nullptr;
    QObject::connect(&server, &QTcpServer::newConnection, [&] { peer = server.nextPendingConnection(); });

    LineSocket socket;
    int received = 0;
    qint64 checksum = 0;
    QElapsedTimer timer;
    QObject::connect(&socket, &LineSocket::lineReceived, [&](const QByteArray& l) {
        if (l.startsWith("PQZ")) {
            const QByteArray kind = FieldValue('0', l);
            checksum += kind.isEmpty() ? 0 : kind[0];
            checksum += FieldValue('8', l).size() + FieldValue('7', l).size() + FieldValue('2', l).size()
                + FieldValue('3', l).size() + ToInt(FieldValue('4', l)).value_or(0);
        }
        if (++received == lines)
            app.quit();
    });
    QObject::connect(&socket, &LineSocket::connected, [&](int error) {
        if (error) {
            std::fprintf(stderr, "connect failed\n");
            app.exit(1);
            return;
        }
        socket.setBufferSizes(2048, 512);
    });
    socket.connectTo(QStringLiteral("127.0.0.1"), server.serverPort());
    while (!peer)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // Keep the pipe full without holding everything in memory at once.
    int sent = 0;
    QObject::connect(peer, &QTcpSocket::bytesWritten, [&] {
        while (sent < lines && peer->bytesToWrite() < 4 * block.size()) {
            peer->write(block);
            sent += 1000;
        }
    });
    timer.start();
    const std::clock_t cpuStart = std::clock();
    peer->write(block);
    sent = 1000;
    app.exec();
    const double seconds = timer.nsecsElapsed() / 1e9;
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    // CPU time counts the one core the single-threaded client uses (it includes the
    // in-process writer, so the figure is conservative); wall time depends on the load.
    std::printf("framing+FieldValue: %d lines, %.3f s CPU = %.0f lines per CPU-second; %.3f s wall = %.0f lines/s [checksum %lld]\n",
                received, cpu, received / cpu, seconds, received / seconds, static_cast<long long>(checksum));
    return 0;
}
