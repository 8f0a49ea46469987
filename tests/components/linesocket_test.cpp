// LineSocket against a real TCP peer on the loopback interface.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <sys/socket.h>
#include <netinet/in.h>
#include <arpa/inet.h>
#include <unistd.h>

#include "components/net/linesocket.h"

namespace {

class LineSocketTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&link, &LineSocket::lineReceived, &link,
                         [this](const QByteArray& line) { lines << line; });
    }

    // Connects the link and returns the server's end of the connection.
    QTcpSocket* open(LineSocket& s, QTcpServer& srv)
    {
        QSignalSpy spy(&s, &LineSocket::connected);
        s.connectTo(QStringLiteral("127.0.0.1"), srv.serverPort());
        if (!QTest::qWaitFor([&] { return spy.count() == 1 && srv.hasPendingConnections(); }, 5000))
            return nullptr;
        if (spy.at(0).at(0).toInt() != 0)
            return nullptr;
        return srv.nextPendingConnection();
    }

    static void send(QTcpSocket* peer, const QByteArray& bytes)
    {
        peer->write(bytes);
        peer->flush();
        QTest::qWait(30);
    }

    bool waitLines(int n, int ms = 3000)
    {
        return QTest::qWaitFor([&] { return lines.size() >= n; }, ms);
    }

    QTcpServer server;
    LineSocket link;
    QList<QByteArray> lines;
};

TEST_F(LineSocketTest, FramesLinesWhateverTheSegmentation)
{
    QTcpSocket* peer = open(link, server);
    ASSERT_NE(peer, nullptr);
    EXPECT_TRUE(link.isConnected());

    // One line in three writes: delivered once, whole, without CR LF.
    send(peer, "PQZ!LO");
    send(peer, "GINOK$0x");
    EXPECT_TRUE(lines.isEmpty());
    send(peer, "%0\r");
    EXPECT_TRUE(lines.isEmpty());
    send(peer, "\n");
    ASSERT_TRUE(waitLines(1));
    EXPECT_EQ(lines.at(0), QByteArray("PQZ!LOGINOK$0x%0"));

    // Two lines in one write: two deliveries in order; the tail waits.
    send(peer, "PQZACK1\r\nPQZACK2\r\nPQZ");
    ASSERT_TRUE(waitLines(3));
    EXPECT_EQ(lines.at(1), QByteArray("PQZACK1"));
    EXPECT_EQ(lines.at(2), QByteArray("PQZACK2"));
    QTest::qWait(50);
    EXPECT_EQ(lines.size(), 3);
    send(peer, "TAIL\r\n\r\n");
    ASSERT_TRUE(waitLines(5));
    EXPECT_EQ(lines.at(3), QByteArray("PQZTAIL"));
    EXPECT_EQ(lines.at(4), QByteArray());  // an empty line is still a line
}

TEST_F(LineSocketTest, DropsOverlongLinesAndKeepsTheNext)
{
    link.setBufferSizes(2048, 512);
    QTcpSocket* peer = open(link, server);
    ASSERT_NE(peer, nullptr);

    const QByteArray fits(2046, 'a');              // exactly fills the buffer with CR LF
    const QByteArray tooLong(5000, 'b');
    const QByteArray crAtEdge(2047, 'c');          // CR is the buffer's last byte, LF the next
    QByteArray stream = fits + "\r\n" + tooLong + "\r\nnext\r\n" + crAtEdge + "\r\nafter\r\n";
    peer->write(stream);
    peer->flush();
    ASSERT_TRUE(waitLines(3));
    QTest::qWait(50);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines.at(0), fits);
    EXPECT_EQ(lines.at(1), QByteArray("next"));
    EXPECT_EQ(lines.at(2), QByteArray("after"));
}

TEST_F(LineSocketTest, CloseInHandlerDeliversBufferedLinesOnly)
{
    QObject::connect(&link, &LineSocket::lineReceived, &link, [this](const QByteArray& line) {
        if (line == "REPLY")
            link.close();
    });
    QTcpSocket* peer = open(link, server);
    ASSERT_NE(peer, nullptr);

    send(peer, "REPLY\r\nSECOND\r\npartial");
    ASSERT_TRUE(waitLines(2));
    EXPECT_EQ(lines, (QList<QByteArray>{"REPLY", "SECOND"}));
    EXPECT_FALSE(link.isOpen());

    peer->write("LATER\r\n");
    peer->flush();
    QTest::qWait(150);
    EXPECT_EQ(lines.size(), 2);
    EXPECT_FALSE(link.sendLine("nothing"));
}

TEST_F(LineSocketTest, ReconnectFromHandlerStartsAFreshConnection)
{
    QTcpServer second;
    ASSERT_TRUE(second.listen(QHostAddress::LocalHost, 0));
    QSignalSpy connects(&link, &LineSocket::connected);
    QObject::connect(&link, &LineSocket::lineReceived, &link, [&](const QByteArray& line) {
        if (line == "MOVE")
            link.connectTo(QStringLiteral("127.0.0.1"), second.serverPort());
    });
    QTcpSocket* peer = open(link, server);
    ASSERT_NE(peer, nullptr);
    send(peer, "MOVE\r\nSTALE-BUT-COMPLETE\r\nhalf");
    ASSERT_TRUE(QTest::qWaitFor([&] { return connects.count() == 2 && second.hasPendingConnections(); }, 5000));
    EXPECT_EQ(connects.at(1).at(0).toInt(), 0);
    QTcpSocket* peer2 = second.nextPendingConnection();
    send(peer, "OLD\r\n");  // the first connection is gone
    send(peer2, "NEW\r\n");
    ASSERT_TRUE(waitLines(3));
    QTest::qWait(50);
    EXPECT_EQ(lines, (QList<QByteArray>{"MOVE", "STALE-BUT-COMPLETE", "NEW"}));
}

TEST_F(LineSocketTest, SendsLinesAndReportsPeerClose)
{
    QSignalSpy gone(&link, &LineSocket::disconnected);
    QTcpSocket* peer = open(link, server);
    ASSERT_NE(peer, nullptr);
    EXPECT_TRUE(link.sendLine("PQZ!LOGIN$0abc%0"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return peer->bytesAvailable() >= 18; }, 3000));
    EXPECT_EQ(peer->readAll(), QByteArray("PQZ!LOGIN$0abc%0\r\n"));

    peer->write("LAST\r\nunfinished");
    peer->flush();
    peer->disconnectFromHost();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gone.count() == 1; }, 3000));
    QTest::qWait(50);
    EXPECT_EQ(gone.count(), 1);
    EXPECT_EQ(lines, (QList<QByteArray>{"LAST"}));
    EXPECT_FALSE(link.isOpen());
}

TEST_F(LineSocketTest, RefusedAttemptReportsOnceAndCanRetryFromTheHandler)
{
    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 port = closed.serverPort();
    closed.close();

    QList<int> codes;
    LineSocket s;
    QObject::connect(&s, &LineSocket::connected, &s, [&](int code) {
        codes << code;
        if (codes.size() < 3)
            s.connectTo(QStringLiteral("127.0.0.1"), port);  // retried at once, as the links do
    });
    s.connectTo(QStringLiteral("127.0.0.1"), port);
    ASSERT_TRUE(QTest::qWaitFor([&] { return codes.size() == 3; }, 5000));
    QTest::qWait(100);
    EXPECT_EQ(codes, (QList<int>{LineSocket::Refused, LineSocket::Refused, LineSocket::Refused}));
    EXPECT_FALSE(s.isOpen());
}

TEST_F(LineSocketTest, ConnectTimeoutReportsTimedOut)
{
    // A listener with a full accept queue that never accepts: the next SYN gets no
    // answer, so the attempt hangs on loopback until our own limit ends it.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(fd, 0), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    const quint16 port = ntohs(addr.sin_port);

    QList<QTcpSocket*> fillers;
    for (int i = 0; i < 4; ++i) {
        auto* f = new QTcpSocket;
        f->connectToHost(QHostAddress::LocalHost, port);
        fillers << f;
    }
    QTest::qWait(200);

    LineSocket s;
    s.setConnectTimeout(1);
    QSignalSpy spy(&s, &LineSocket::connected);
    s.connectTo(QStringLiteral("127.0.0.1"), port);
    const bool reported = QTest::qWaitFor([&] { return spy.count() >= 1; }, 4000);
    qDeleteAll(fillers);
    ::close(fd);
    ASSERT_TRUE(reported);
    EXPECT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), int(LineSocket::TimedOut));
    EXPECT_FALSE(s.isOpen());
}

}  // namespace
