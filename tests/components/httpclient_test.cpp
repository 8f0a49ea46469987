// HttpClient against a small scripted HTTP/1.1 server on the loopback interface.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

#include "components/net/filenames.h"
#include "components/net/httpclient.h"

namespace {

struct Request {
    QByteArray method, path, body;
    QHash<QByteArray, QByteArray> headers;  // names in lower case
};

// Reads one request per connection and answers with the script for its path.
class ScriptedHttp : public QObject {
public:
    using Script = std::function<void(QTcpSocket*, const Request&)>;

    ScriptedHttp()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] { onData(s); });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(server.serverPort()); }

    QTcpServer server;
    QHash<QByteArray, Script> scripts;
    QList<Request> requests;

private:
    void onData(QTcpSocket* s)
    {
        QByteArray& buf = pending[s];
        buf += s->readAll();
        const qsizetype end = buf.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        Request r;
        const QList<QByteArray> head = buf.left(end).split('\n');
        const QList<QByteArray> first = head.at(0).trimmed().split(' ');
        r.method = first.value(0);
        r.path = first.value(1);
        for (qsizetype i = 1; i < head.size(); ++i) {
            const qsizetype colon = head[i].indexOf(':');
            if (colon > 0)
                r.headers.insert(head[i].left(colon).trimmed().toLower(), head[i].mid(colon + 1).trimmed());
        }
        const qsizetype length = r.headers.value("content-length", "0").toLongLong();
        if (buf.size() < end + 4 + length)
            return;
        r.body = buf.mid(end + 4, length);
        pending.remove(s);
        requests << r;
        const Script script = scripts.value(r.path);
        if (script)
            script(s, r);
        else
            respond(s, "404 Not Found", "no such page");
    }

public:
    static void respond(QTcpSocket* s, const QByteArray& status, const QByteArray& body)
    {
        s->write("HTTP/1.1 " + status + "\r\nContent-Length: " + QByteArray::number(body.size()) +
                 "\r\nConnection: close\r\n\r\n" + body);
        s->flush();
        s->disconnectFromHost();
    }

private:
    QHash<QTcpSocket*, QByteArray> pending;
};

class HttpClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(web.server.isListening());
        web.scripts["/hello"] = [](QTcpSocket* s, const Request&) {
            ScriptedHttp::respond(s, "200 OK", "ServerName:127.0.0.1%");
        };
    }

    // Waits for the single finished() of a transfer and checks that no second one follows.
    HttpClient::Outcome finish(HttpClient& c, QSignalSpy& spy)
    {
        EXPECT_TRUE(QTest::qWaitFor([&] { return spy.count() >= 1; }, 8000));
        QTest::qWait(100);
        EXPECT_EQ(spy.count(), 1);
        EXPECT_FALSE(c.isBusy());
        return spy.isEmpty() ? HttpClient::Outcome::Failure : spy.at(0).at(0).value<HttpClient::Outcome>();
    }

    ScriptedHttp web;
    HttpClient client;
};

TEST_F(HttpClientTest, GetsIntoMemoryWithKnownTotalAndRefusesWhileBusy)
{
    QSignalSpy done(&client, &HttpClient::finished);
    QSignalSpy progress(&client, &HttpClient::progress);
    ASSERT_TRUE(client.get(web.host(), QStringLiteral("/hello")));
    EXPECT_TRUE(client.isBusy());
    EXPECT_FALSE(client.get(web.host(), QStringLiteral("/hello")));
    EXPECT_FALSE(client.post(web.host(), QStringLiteral("/hello"), "x"));
    EXPECT_EQ(finish(client, done), HttpClient::Outcome::Success);
    EXPECT_EQ(client.body(), QByteArray("ServerName:127.0.0.1%"));
    ASSERT_FALSE(progress.isEmpty());
    EXPECT_EQ(progress.last().at(0).toLongLong(), 21);
    EXPECT_EQ(progress.last().at(1).toLongLong(), 21);
    ASSERT_EQ(web.requests.size(), 1);
    EXPECT_EQ(web.requests[0].method, QByteArray("GET"));
    EXPECT_EQ(web.requests[0].path, QByteArray("/hello"));

    // Free again: full addresses and bare paths on a default host.
    QSignalSpy again(&client, &HttpClient::finished);
    ASSERT_TRUE(client.getUrl(QStringLiteral("http://%1/hello").arg(web.host())));
    EXPECT_EQ(finish(client, again), HttpClient::Outcome::Success);
    QSignalSpy bare(&client, &HttpClient::finished);
    ASSERT_TRUE(client.getUrl(QStringLiteral("hello"), web.host()));
    EXPECT_EQ(finish(client, bare), HttpClient::Outcome::Success);
    EXPECT_EQ(web.requests.size(), 3);
    EXPECT_EQ(web.requests.last().path, QByteArray("/hello"));
}

TEST_F(HttpClientTest, PostsTheBodyBytesExactly)
{
    QByteArray sent = "username=Ann%20B&version=466";
    sent.append('\0');
    sent.append("\r\n\xff");
    web.scripts["/vexobingo/vxplay466.asp"] = [](QTcpSocket* s, const Request& r) {
        ScriptedHttp::respond(s, "200 OK", "got " + QByteArray::number(r.body.size()));
    };
    ASSERT_TRUE(client.post(web.host(), QStringLiteral("/vexobingo/vxplay466.asp"), sent));
    EXPECT_EQ(client.waitForFinished(), HttpClient::Outcome::Success);
    EXPECT_EQ(client.lastOutcome(), HttpClient::Outcome::Success);
    EXPECT_EQ(client.body(), QByteArray("got 32"));
    ASSERT_EQ(web.requests.size(), 1);
    EXPECT_EQ(web.requests[0].method, QByteArray("POST"));
    EXPECT_EQ(web.requests[0].body, sent);
    EXPECT_EQ(web.requests[0].headers.value("content-length"), QByteArray("32"));
    // Nothing running: waitForFinished returns the last outcome at once.
    EXPECT_EQ(client.waitForFinished(), HttpClient::Outcome::Success);
}

TEST_F(HttpClientTest, UnknownLengthReportsTotalZero)
{
    web.scripts["/stream"] = [](QTcpSocket* s, const Request&) {
        s->write("HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n");
        s->write(QByteArray(3000, 'a'));
        s->flush();
        QTimer::singleShot(50, s, [s] {
            s->write(QByteArray(2000, 'b'));
            s->flush();
            s->disconnectFromHost();
        });
    };
    QSignalSpy done(&client, &HttpClient::finished);
    QSignalSpy progress(&client, &HttpClient::progress);
    ASSERT_TRUE(client.get(web.host(), QStringLiteral("/stream")));
    EXPECT_EQ(finish(client, done), HttpClient::Outcome::Success);
    EXPECT_EQ(client.body().size(), 5000);
    ASSERT_FALSE(progress.isEmpty());
    for (const auto& p : progress)
        EXPECT_EQ(p.at(1).toLongLong(), 0);
    EXPECT_EQ(progress.last().at(0).toLongLong(), 5000);
}

TEST_F(HttpClientTest, WritesIntoAFileAndLeavesNoFileOnFailure)
{
    QTemporaryDir dir;
    const QByteArray picture(70000, '\x47');
    web.scripts["/images/ad.gif"] = [&](QTcpSocket* s, const Request&) { ScriptedHttp::respond(s, "200 OK", picture); };
    const QString target = dir.filePath(QStringLiteral("ad.tmp"));
    ASSERT_TRUE(client.getToFile(web.host(), QStringLiteral("/images/ad.gif"), target));
    EXPECT_EQ(client.waitForFinished(), HttpClient::Outcome::Success);
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), picture);
    EXPECT_TRUE(client.body().isEmpty());

    // A 404 writes no error page into the file.
    const QString missing = dir.filePath(QStringLiteral("none.tmp"));
    ASSERT_TRUE(client.getUrlToFile(QStringLiteral("/images/none.gif"), missing, web.host()));
    EXPECT_EQ(client.waitForFinished(), HttpClient::Outcome::Failure);
    EXPECT_FALSE(QFile::exists(missing));

    // A file that cannot be created fails the transfer, once, after the call returns.
    QSignalSpy done(&client, &HttpClient::finished);
    ASSERT_TRUE(client.getToFile(web.host(), QStringLiteral("/images/ad.gif"), dir.filePath("no/such/dir/x.tmp")));
    EXPECT_EQ(done.count(), 0);
    EXPECT_EQ(finish(client, done), HttpClient::Outcome::Failure);
}

TEST_F(HttpClientTest, FailureKinds)
{
    {   // HTTP error status
        QSignalSpy done(&client, &HttpClient::finished);
        ASSERT_TRUE(client.get(web.host(), QStringLiteral("/nothing-here")));
        EXPECT_EQ(finish(client, done), HttpClient::Outcome::Failure);
    }
    {   // server ends the connection in the middle of the body
        web.scripts["/cut"] = [](QTcpSocket* s, const Request&) {
            s->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n0123456789");
            s->flush();
            s->disconnectFromHost();
        };
        QSignalSpy done(&client, &HttpClient::finished);
        ASSERT_TRUE(client.get(web.host(), QStringLiteral("/cut")));
        EXPECT_EQ(finish(client, done), HttpClient::Outcome::Failure);
    }
    {   // body larger than the cap
        client.setMaxBodySize(10);
        QSignalSpy done(&client, &HttpClient::finished);
        ASSERT_TRUE(client.get(web.host(), QStringLiteral("/hello")));
        EXPECT_EQ(finish(client, done), HttpClient::Outcome::Failure);
        client.setMaxBodySize(4 * 1024 * 1024);
    }
    {   // headers, then silence: the transfer time-out ends it
        web.scripts["/stall"] = [](QTcpSocket* s, const Request&) {
            s->write("HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nabc");
            s->flush();
        };
        client.setTransferTimeout(1);
        QSignalSpy done(&client, &HttpClient::finished);
        ASSERT_TRUE(client.get(web.host(), QStringLiteral("/stall")));
        EXPECT_EQ(finish(client, done), HttpClient::Outcome::Failure);
    }
    {   // abort delivers its single outcome at once
        web.scripts["/stall2"] = web.scripts["/stall"];
        client.setTransferTimeout(30);
        QSignalSpy done(&client, &HttpClient::finished);
        ASSERT_TRUE(client.get(web.host(), QStringLiteral("/stall2")));
        QTest::qWait(100);
        client.abort();
        EXPECT_EQ(done.count(), 1);
        EXPECT_EQ(finish(client, done), HttpClient::Outcome::Failure);
    }
}

TEST_F(HttpClientTest, ConnectionFailures)
{
    {   // nobody listens
        QTcpServer closed;
        ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
        const QString host = QStringLiteral("127.0.0.1:%1").arg(closed.serverPort());
        closed.close();
        QSignalSpy done(&client, &HttpClient::finished);
        ASSERT_TRUE(client.get(host, QStringLiteral("/hello")));
        EXPECT_EQ(finish(client, done), HttpClient::Outcome::ConnectionFailed);
    }
    {   // the server closes without answering
        web.scripts["/hangup"] = [](QTcpSocket* s, const Request&) { s->abort(); };
        QSignalSpy done(&client, &HttpClient::finished);
        ASSERT_TRUE(client.get(web.host(), QStringLiteral("/hangup")));
        EXPECT_EQ(finish(client, done), HttpClient::Outcome::ConnectionFailed);
    }
    {   // a host name that does not exist
        QSignalSpy done(&client, &HttpClient::finished);
        ASSERT_TRUE(client.get(QStringLiteral("no-such-host.invalid"), QStringLiteral("/hello")));
        EXPECT_EQ(finish(client, done), HttpClient::Outcome::InvalidHost);
    }
}

TEST(FileNames, ResolvesComponentsWithoutRegardToCase)
{
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Sounds/Sets")));
    QFile(dir.filePath(QStringLiteral("Sounds/Welcome.WAV"))).open(QIODevice::WriteOnly);
    QFile(dir.filePath(QStringLiteral("Sounds/Sets/b12.wav"))).open(QIODevice::WriteOnly);
    const QString base = QDir(dir.path()).absolutePath();

    EXPECT_EQ(ResolveFileCaseInsensitive(dir.path(), QStringLiteral("sounds\\welcome.wav")),
              base + QStringLiteral("/Sounds/Welcome.WAV"));
    EXPECT_EQ(ResolveFileCaseInsensitive(dir.path(), QStringLiteral("SOUNDS/sets/B12.wav")),
              base + QStringLiteral("/Sounds/Sets/b12.wav"));
    EXPECT_EQ(ResolveFileCaseInsensitive(dir.path(), QStringLiteral("sounds\\missing.wav")),
              base + QStringLiteral("/sounds/missing.wav"));
}

TEST(FileNames, SafeNamesFromServers)
{
    EXPECT_TRUE(IsSafeFileName(QStringLiteral("grid.gif")));
    EXPECT_TRUE(IsSafeFileName(QString(128, QLatin1Char('a'))));
    EXPECT_FALSE(IsSafeFileName(QString(129, QLatin1Char('a'))));
    EXPECT_FALSE(IsSafeFileName(QString()));
    EXPECT_FALSE(IsSafeFileName(QStringLiteral(".")));
    EXPECT_FALSE(IsSafeFileName(QStringLiteral("..")));
    EXPECT_FALSE(IsSafeFileName(QStringLiteral("../defaults.cfg")));
    EXPECT_FALSE(IsSafeFileName(QStringLiteral("a\\b.gif")));
    EXPECT_FALSE(IsSafeFileName(QStringLiteral("a") + QChar(0) + QStringLiteral("b")));
}

}  // namespace
