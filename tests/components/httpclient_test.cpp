// HttpClient against a small scripted HTTP/1.1 server on the loopback interface, and
// the file names taken from servers.
#include "components/net/filenames.h"
#include "components/net/httpclient.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace {

using Outcome = HttpClient::Outcome;

// The fixture is a small web server: it reads one request per connection and answers
// with the script for its path (404 when there is none).
class HttpClientTest : public ::testing::Test {
protected:
    using Script = std::function<void(QTcpSocket*)>;

    // Writes these bytes, then closes.
    static Script raw(const QByteArray& bytes)
    {
        return [=](QTcpSocket* s) {
            s->write(bytes);
            s->disconnectFromHost();
        };
    }
    static Script answer(const QByteArray& status, const QByteArray& body)
    {
        return raw("HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size())
                   + "\r\nConnection: close\r\n\r\n" + body);
    }

    void SetUp() override
    {
        ASSERT_TRUE(server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    const QByteArray& buf = pending[s] += s->readAll();
                    const qsizetype end = buf.indexOf("\r\n\r\n");
                    const QByteArray head = buf.left(end).toLower();
                    const qsizetype at = head.indexOf("\ncontent-length:");
                    const qsizetype length = at < 0 ? 0 : head.mid(at + 16).split('\r').value(0).trimmed().toLongLong();
                    if (end < 0 || buf.size() < end + 4 + length)
                        return;
                    requests << pending.take(s);
                    scripts.value(requests.last().split(' ').value(1), answer("404 Not Found", "no such page"))(s);
                });
        });
        scripts["/hello"] = answer("200 OK", "ServerName:127.0.0.1%");
        scripts["/stall"] = [](QTcpSocket* s) { s->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc"); };
    }

    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }

    // Waits for the single finished() of a transfer and checks that no second one follows.
    static Outcome finish(HttpClient& c, QSignalSpy& spy)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 1; }, 8000));
        QTest::qWait(100);
        EXPECT_EQ(spy.count(), 1);
        EXPECT_FALSE(c.isBusy());
        return spy.isEmpty() ? Outcome::Failure : spy.at(0).at(0).value<Outcome>();
    }

    QTcpServer server;
    QTemporaryDir dir;
    QHash<QByteArray, Script> scripts;
    QList<QByteArray> requests;   // whole, head and body
    QHash<QTcpSocket*, QByteArray> pending;
    HttpClient client;
};

TEST_F(HttpClientTest, GetsOrPostsOneTransferAtATimeByHostAndPathOrByAddressIntoMemoryOrAFileWithItsProgress)
{
    QSignalSpy done(&client, &HttpClient::finished);
    QSignalSpy progress(&client, &HttpClient::progress);
    ASSERT_TRUE(client.get(host(), QStringLiteral("/hello")));
    EXPECT_TRUE(client.isBusy());
    EXPECT_FALSE(client.get(host(), QStringLiteral("/hello")));
    EXPECT_FALSE(client.post(host(), QStringLiteral("/hello"), "x"));
    EXPECT_EQ(finish(client, done), Outcome::Success);
    EXPECT_EQ(client.body(), QByteArray("ServerName:127.0.0.1%"));
    EXPECT_EQ(progress.value(progress.size() - 1), (QList<QVariant>{qint64(21), qint64(21)}));

    EXPECT_TRUE(client.getUrl("http://" + host() + "/hello") && client.waitForFinished() == Outcome::Success);
    // A bare path on the default host.
    EXPECT_TRUE(client.getUrl(QStringLiteral("hello"), host()) && client.waitForFinished() == Outcome::Success);
    const QByteArray sent("username=Ann%20B&version=466\0\r\n\xff", 32);   // the body's bytes exactly
    EXPECT_TRUE(client.post(host(), QStringLiteral("/hello"), sent) && client.waitForFinished() == Outcome::Success);
    EXPECT_EQ(client.waitForFinished(), client.lastOutcome());   // nothing running: the last outcome at once
    ASSERT_EQ(requests.size(), 4);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(requests[i].startsWith("GET /hello HTTP/1.1\r\n")) << requests[i].constData();
    EXPECT_TRUE(requests[3].startsWith("POST /hello HTTP/1.1\r\n") && requests[3].endsWith("\r\n\r\n" + sent));

    // Into a file, by a bare path on the default host: the body goes there and not into memory.
    const QByteArray picture(70000, '\x47');
    scripts["/images/ad.gif"] = answer("200 OK", picture);
    const QString target = dir.filePath(QStringLiteral("ad.tmp"));
    EXPECT_TRUE(client.getUrlToFile("/images/ad.gif", target, host()) && client.waitForFinished() == Outcome::Success);
    QFile f(target);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly) && f.readAll() == picture && client.body().isEmpty());

    // A body of unknown length, ended by the close: progress counts up with total 0.
    scripts["/stream"] = raw("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + QByteArray(5000, 'a'));
    progress.clear();
    EXPECT_TRUE(client.get(host(), QStringLiteral("/stream")) && client.waitForFinished() == Outcome::Success);
    EXPECT_EQ(client.body().size(), 5000);
    EXPECT_EQ(progress.value(progress.size() - 1).value(0).toLongLong(), 5000);
    for (const auto& p : progress)
        EXPECT_EQ(p.at(1).toLongLong(), 0);
}

TEST_F(HttpClientTest, EachFailureIsReportedOnceWithItsKindAndLeavesNoFile)
{
    scripts["/cut"] = raw("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789");
    scripts["/hangup"] = [](QTcpSocket* s) { s->abort(); };
    const struct {
        const char* what; QString host; const char* path; qint64 maxBody; int timeout; Outcome expected;
        const char* file;   // written into this file, which none of them may leave behind
    } cases[] = {
        // A body cap of 0 is none.
        {"error status", host(), "/nothing-here", 0, 30, Outcome::Failure, nullptr},
        {"error status into a file", host(), "/nothing-here", 0, 30, Outcome::Failure, "none.tmp"},
        {"file that cannot be created", host(), "/hello", 0, 30, Outcome::Failure, "no/such/dir/x.tmp"},
        {"ended in the body", host(), "/cut", 0, 30, Outcome::Failure, nullptr},
        {"body over the cap", host(), "/hello", 10, 30, Outcome::Failure, nullptr},
        {"file over the cap", host(), "/hello", 10, 30, Outcome::Failure, "big.tmp"},
        {"silent after the headers", host(), "/stall", 0, 1, Outcome::Failure, nullptr},
        {"nobody listens", QStringLiteral("127.0.0.1:1"), "/hello", 0, 30, Outcome::ConnectionFailed, nullptr},
        {"closed without an answer", host(), "/hangup", 0, 30, Outcome::ConnectionFailed, nullptr},
        {"no such host", QStringLiteral("no-such-host.invalid"), "/hello", 0, 30, Outcome::InvalidHost, nullptr},
    };
    for (const auto& t : cases) {
        HttpClient c;
        c.setTransferTimeout(t.timeout);
        c.setMaxBodySize(t.maxBody);
        QSignalSpy done(&c, &HttpClient::finished);
        const QString file = t.file ? dir.filePath(QLatin1String(t.file)) : QString();
        const QString path = QLatin1String(t.path);
        ASSERT_TRUE(t.file ? c.getToFile(t.host, path, file) : c.get(t.host, path)) << t.what;
        EXPECT_EQ(done.count(), 0) << t.what;   // never before the call returns
        EXPECT_EQ(finish(c, done), t.expected) << t.what;
        EXPECT_FALSE(t.file && QFile::exists(file)) << t.what;
    }

    // An abort delivers its single outcome before it returns.
    QSignalSpy done(&client, &HttpClient::finished);
    ASSERT_TRUE(client.get(host(), QStringLiteral("/stall")));
    QTest::qWait(100);
    client.abort();
    EXPECT_EQ(done.count(), 1);
    EXPECT_EQ(finish(client, done), Outcome::Failure);
}

TEST(FileNames, ServerNamesResolveWithoutRegardToCaseAndOnlySafeNamesAreCreated)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Sounds/Sets")));
    QFile(dir.filePath(QStringLiteral("Sounds/Welcome.WAV"))).open(QIODevice::WriteOnly);
    QFile(dir.filePath(QStringLiteral("Sounds/Sets/b12.wav"))).open(QIODevice::WriteOnly);
    const QString base = QDir(dir.path()).absolutePath() + QLatin1Char('/');
    const std::pair<const char*, const char*> resolved[] = {
        {"sounds\\welcome.wav", "Sounds/Welcome.WAV"},
        {"SOUNDS/sets/B12.wav", "Sounds/Sets/b12.wav"},
        {"sounds\\missing.wav", "sounds/missing.wav"},
    };
    for (const auto& [given, found] : resolved)
        EXPECT_EQ(ResolveFileCaseInsensitive(dir.path(), QLatin1String(given)), base + QLatin1String(found)) << given;
    // Of names that differ only in case the same one is found every time, whatever the folder's order.
    for (const char* twin : {"Sounds/WELCOME.wav", "Sounds/welcome.Wav"})
        QFile(dir.filePath(QLatin1String(twin))).open(QIODevice::WriteOnly);
    EXPECT_EQ(ResolveFileCaseInsensitive(dir.path(), QStringLiteral("sounds/WELCOME.WAV")),
              base + QStringLiteral("Sounds/WELCOME.wav"));

    EXPECT_TRUE(IsSafeFileName(QStringLiteral("grid.gif")) && IsSafeFileName(QString(128, QLatin1Char('a'))));
    for (const QString& bad : {QString(129, QLatin1Char('a')), QString(), QStringLiteral("."), QStringLiteral(".."),
                               QStringLiteral("../defaults.cfg"), QStringLiteral("a\\b.gif"),
                               QStringLiteral("a") + QChar(0) + QStringLiteral("b")})
        EXPECT_FALSE(IsSafeFileName(bad)) << bad.toStdString();
}

}   // namespace
