#pragma once
// Raw loopback clients for the hall tests. They turn the event loop while they wait, so
// a hall running inside the test process keeps serving.
#include "rules/wire.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QList>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace hallclient {

inline void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// Turns the event loop until `done` holds or `timeoutMs` has passed.
inline bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake;   // bounds each wait for events
    wake.start(2);
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

// Sends `pieces` one after the other, each once the one before is out and the hall has had
// a moment to read it, and collects everything until the server closes; empty on time-out.
inline QByteArray Exchange(quint16 port, const QList<QByteArray>& pieces, int timeoutMs = 5000)
{
    QTcpSocket socket;
    QByteArray received;
    bool closed = false;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, [&] { closed = true; });
    QObject::connect(&socket, &QTcpSocket::errorOccurred, [&](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::RemoteHostClosedError)
            closed = true;
    });
    socket.connectToHost(QHostAddress::LocalHost, port);
    for (int i = 0; i < pieces.size() && !closed; ++i) {
        const auto out = [&] { return socket.state() == QAbstractSocket::ConnectedState && !socket.bytesToWrite(); };
        WaitUntil([&] { return closed || out(); }, timeoutMs);
        WaitUntil([] { return false; }, i > 0 ? 20 : 0);
        socket.write(pieces[i]);
    }
    if (!WaitUntil([&] { return closed; }, timeoutMs))
        return {};
    received += socket.readAll();
    return received;
}

// One request line on the request port; the reply line without CR LF.
inline QByteArray Request(quint16 port, const QByteArray& line)
{
    QByteArray reply = Exchange(port, {line + "\r\n"});
    if (reply.endsWith("\r\n"))
        reply.chop(2);
    return reply;
}

// Each request on a connection of its own: the reply must begin with the expected text; an
// expected text that ends in CR LF is the whole reply.
inline void ExpectReplies(quint16 port, const QList<std::pair<QByteArray, QByteArray>>& cases)
{
    for (const auto& [request, reply] : cases) {
        const QByteArray got = Exchange(port, {request + "\r\n"});
        EXPECT_TRUE(got.startsWith(reply)) << request.left(80).constData() << "\n  got: " << got.constData();
    }
}

inline QByteArray Login(const QByteArray& user, const QByteArray& password)
{
    return "PQZ!G6" + user + "#!PW" + password + "#!ADQZWIN466#!LAEN#";
}

inline QByteArray Purchase(const QByteArray& user, const QByteArray& password, const QByteArray& selection, int faces)
{
    return "PQZ!B7" + user + "#!PW" + password + "#!ADQZWIN466#!AT" + selection + "#!SKsomeone#!NC"
        + QByteArray::number(faces) + "#!LAEN#";
}

struct HttpReply {
    int status = 0;
    QByteArray head;
    QByteArray body;
};

// An HTTP request sent in `pieces`, and the hall's reply.
inline HttpReply Http(quint16 port, const QList<QByteArray>& pieces)
{
    const QByteArray raw = Exchange(port, pieces);
    const int end = raw.indexOf("\r\n\r\n");
    if (!raw.startsWith("HTTP/1.1 ") || end < 0)
        return {};
    return {raw.mid(9, 3).toInt(), raw.left(end), raw.mid(end + 4)};
}

inline QByteArray PostText(const QByteArray& path, const QByteArray& body)
{
    return "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/x-www-form-urlencoded\r\n"
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

// A connection that collects the lines the hall sends: a feed or a chat room.
class Feed {
public:
    explicit Feed(quint16 port)
    {
        QObject::connect(&socket_, &QTcpSocket::readyRead, [this] {
            buffer_ += socket_.readAll();
            for (int end; (end = buffer_.indexOf("\r\n")) >= 0; buffer_.remove(0, end + 2))
                lines_.append(buffer_.left(end));
        });
        socket_.connectToHost(QHostAddress::LocalHost, port);
    }
    QTcpSocket& socket() { return socket_; }
    int count() const { return int(lines_.size()); }
    // The first line from line `from` on that starts with `prefix`; empty on time-out.
    QByteArray waitFor(const QByteArray& prefix, int from = 0, int timeoutMs = 3000)
    {
        QByteArray found;
        WaitUntil(
            [&] {
                for (int i = from; i < lines_.size() && found.isEmpty(); ++i)
                    if (lines_[i].startsWith(prefix))
                        found = lines_[i];
                return !found.isEmpty();
            },
            timeoutMs);
        return found;
    }

private:
    QTcpSocket socket_;
    QByteArray buffer_;
    QList<QByteArray> lines_;
};

}  // namespace hallclient
