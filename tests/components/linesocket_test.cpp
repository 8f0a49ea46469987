// LineSocket against a real TCP peer on the loopback interface.
#include "components/net/linesocket.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using Lines = QList<QByteArray>;

class LineSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&link, &LineSocket::lineReceived, &link, [this](const QByteArray& line) { lines << line; });
    }

    // Connects the link and returns the server's end of the connection.
    QTcpSocket* open()
    {
        QSignalSpy spy(&link, &LineSocket::connected);
        link.connectTo(QStringLiteral("127.0.0.1"), server.serverPort());
        const bool up = QTest::qWaitFor([&] { return spy.count() == 1 && server.hasPendingConnections(); }, 5000);
        return up && spy.at(0).at(0).toInt() == 0 ? server.nextPendingConnection() : nullptr;
    }

    static void send(QTcpSocket* peer, const QByteArray& bytes)
    {
        peer->write(bytes);
        peer->flush();
        QTest::qWait(30);
    }

    // Waits for n lines, then a while longer to see that no more follow.
    bool settle(qsizetype n)
    {
        (void)QTest::qWaitFor([&] { return lines.size() >= n; }, 3000);
        QTest::qWait(50);
        return lines.size() == n;
    }

    QTcpServer server;
    LineSocket link;
    Lines lines;
};

TEST_F(LineSocketTest, DeliversEachCompleteLineOnceWhateverTheSegmentation)
{
    const QByteArray fits(2046, 'a');       // fills the read buffer exactly with its CR LF
    const QByteArray crAtEdge(2047, 'c');   // its CR is the buffer's last byte, the LF the next
    const struct { Lines writes; int before; Lines expected; } cases[] = {
        {{"PQZ!LO", "GINOK$0x", "%0\r", "\n"}, 0, {"PQZ!LOGINOK$0x%0"}},
        {{"PQZACK1\r\nPQZACK2\r\nPQZ", "TAIL\r\n\r\n"}, 2, {"PQZACK1", "PQZACK2", "PQZTAIL", ""}},
        // Over-long lines are dropped up to their CR LF; the lines around them come through.
        {{fits + "\r\n" + QByteArray(5000, 'b') + "\r\nnext\r\n" + crAtEdge + "\r\nafter\r\n"}, 0,
         {fits, "next", "after"}},
    };
    link.setBufferSizes(2048, 512);
    for (const auto& t : cases) {
        lines.clear();
        QTcpSocket* peer = open();
        ASSERT_NE(peer, nullptr);
        for (qsizetype i = 0; i + 1 < t.writes.size(); ++i)
            send(peer, t.writes[i]);
        EXPECT_TRUE(settle(t.before)) << t.expected.first().left(20).constData();
        send(peer, t.writes.last());
        EXPECT_TRUE(settle(t.expected.size()));
        EXPECT_EQ(lines, t.expected);
    }
}

// A handler that closes the link, or moves it to another server, still gets the lines
// that were complete in the buffer, and nothing the old connection sends later. A peer
// that leaves is reported once, after its last complete line.
TEST_F(LineSocketTest, AHandlerOrAPeerEndingTheConnectionLeavesOnlyTheLinesAlreadyComplete)
{
    QTcpServer second;
    ASSERT_TRUE(second.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&link, &LineSocket::lineReceived, &link, [&](const QByteArray& line) {
        if (line == "REPLY")
            link.close();
        if (line == "MOVE")
            link.connectTo(QStringLiteral("127.0.0.1"), second.serverPort());
    });
    QSignalSpy gone(&link, &LineSocket::disconnected);
    QTcpSocket* peer = open();
    ASSERT_NE(peer, nullptr);
    send(peer, "REPLY\r\nSECOND\r\npartial");
    EXPECT_TRUE(settle(2));
    send(peer, "LATER\r\n");
    EXPECT_TRUE(settle(2));
    EXPECT_EQ(lines, (Lines{"REPLY", "SECOND"}));
    EXPECT_FALSE(link.isOpen() || link.sendLine("nothing"));

    lines.clear();
    peer = open();
    ASSERT_NE(peer, nullptr);
    send(peer, "MOVE\r\nSTALE-BUT-COMPLETE\r\nhalf");
    ASSERT_TRUE(QTest::qWaitFor([&] { return second.hasPendingConnections(); }, 5000));
    QTcpSocket* peer2 = second.nextPendingConnection();
    send(peer, "OLD\r\n");
    send(peer2, "NEW\r\n");
    EXPECT_TRUE(settle(3));
    EXPECT_EQ(lines, (Lines{"MOVE", "STALE-BUT-COMPLETE", "NEW"}));

    EXPECT_TRUE(link.sendLine("PQZ!LOGIN$0abc%0"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer2->bytesAvailable() >= 18; }, 3000));
    EXPECT_EQ(peer2->readAll(), QByteArray("PQZ!LOGIN$0abc%0\r\n"));
    send(peer2, "LAST\r\nunfinished");
    peer2->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gone.count() == 1; }, 3000));
    // None for the close or the move.
    EXPECT_TRUE(settle(4) && gone.count() == 1 && lines.last() == "LAST" && !link.isOpen());
}

TEST_F(LineSocketTest, EachFailedAttemptIsReportedOnceWithItsCause)
{
    // Refused: reported once per attempt, and the handler may retry at once, as the links do.
    const quint16 closedPort = server.serverPort();
    server.close();
    QList<int> codes;
    QObject::connect(&link, &LineSocket::connected, &link, [&](int code) {
        codes << code;
        if (codes.size() < 3)
            link.connectTo(QStringLiteral("127.0.0.1"), closedPort);
    });
    link.connectTo(QStringLiteral("127.0.0.1"), closedPort);
    ASSERT_TRUE(QTest::qWaitFor([&] { return codes.size() == 3; }, 5000));
    QTest::qWait(100);
    EXPECT_TRUE(codes == QList<int>(3, LineSocket::Refused) && !link.isOpen());

    // Timed out: a listener whose full accept queue never answers the next SYN on loopback.
    QTcpServer full;
    full.setListenBacklogSize(0);
    ASSERT_TRUE(full.listen(QHostAddress::LocalHost, 0));
    full.pauseAccepting();
    QTcpSocket fillers[4];
    for (auto& f : fillers)
        f.connectToHost(QHostAddress::LocalHost, full.serverPort());
    QTest::qWait(200);
    LineSocket slow;
    slow.setConnectTimeout(1);
    QSignalSpy spy(&slow, &LineSocket::connected);
    slow.connectTo(QStringLiteral("127.0.0.1"), full.serverPort());
    ASSERT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 1; }, 4000));
    EXPECT_TRUE(spy.count() == 1 && spy.at(0).at(0).toInt() == LineSocket::TimedOut && !slow.isOpen());
}

}   // namespace
