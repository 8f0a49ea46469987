#pragma once
// Raw loopback clients for the hall tests. They turn the event loop while they wait, so
// a hall running inside the test process keeps serving.
#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QList>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <memory>

namespace hallclient {

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

// Tagged field c of a line ("$c" value "%c").
inline QByteArray Field(char c, const QByteArray& line)
{
    const int p = line.indexOf(QByteArray("$") + c);
    const int q = line.indexOf(QByteArray("%") + c);
    return p < 0 || q < p + 2 ? QByteArray() : line.mid(p + 2, q - p - 2);
}

// Sends `bytes` and collects everything until the server closes; empty on time-out.
inline QByteArray Exchange(quint16 port, const QByteArray& bytes, int timeoutMs = 5000)
{
    QTcpSocket socket;
    QByteArray received;
    bool closed = false;
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { received += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, [&] { closed = true; });
    QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write(bytes); });
    QObject::connect(&socket, &QTcpSocket::errorOccurred, [&](QAbstractSocket::SocketError e) {
        if (e != QAbstractSocket::RemoteHostClosedError)
            closed = true;
    });
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!WaitUntil([&] { return closed; }, timeoutMs))
        return {};
    received += socket.readAll();
    return received;
}

// One request line on the request port; the reply line without CR LF.
inline QByteArray Request(quint16 port, const QByteArray& line)
{
    QByteArray reply = Exchange(port, line + "\r\n");
    if (reply.endsWith("\r\n"))
        reply.chop(2);
    return reply;
}

struct HttpReply {
    int status = 0;
    QByteArray head;
    QByteArray body;
};

inline HttpReply ParseHttp(const QByteArray& raw)
{
    HttpReply reply;
    const int end = raw.indexOf("\r\n\r\n");
    if (!raw.startsWith("HTTP/1.1 ") || end < 0)
        return reply;
    reply.status = raw.mid(9, 3).toInt();
    reply.head = raw.left(end);
    reply.body = raw.mid(end + 4);
    return reply;
}

inline HttpReply Get(quint16 port, const QByteArray& path)
{
    return ParseHttp(Exchange(port, "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n"));
}

inline HttpReply Post(quint16 port, const QByteArray& path, const QByteArray& body)
{
    return ParseHttp(Exchange(port, "POST " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: "
                                        "application/x-www-form-urlencoded\r\nContent-Length: "
                                        + QByteArray::number(body.size()) + "\r\n\r\n" + body));
}

// A feed connection that collects lines as they come.
class Feed {
public:
    explicit Feed(quint16 port) : socket_(std::make_unique<QTcpSocket>())
    {
        QObject::connect(socket_.get(), &QTcpSocket::readyRead, [this] {
            buffer_ += socket_->readAll();
            for (int end; (end = buffer_.indexOf("\r\n")) >= 0;) {
                lines_.append(buffer_.left(end));
                buffer_.remove(0, end + 2);
            }
        });
        socket_->connectToHost(QHostAddress::LocalHost, port);
    }
    const QList<QByteArray>& lines() const { return lines_; }
    // Waits for a line (after the first `from` lines) that starts with `prefix` or whose
    // field 0 equals `kind`; returns it, or empty on time-out.
    QByteArray waitFor(const QByteArray& prefix, int timeoutMs = 5000, int from = 0, const QByteArray& kind = {})
    {
        QByteArray found;
        const bool seen = WaitUntil(
            [&] {
                for (int i = from; i < lines_.size(); ++i) {
                    const QByteArray& line = lines_[i];
                    if (line.startsWith(prefix) && (kind.isEmpty() || Field('0', line) == kind)) {
                        found = line;
                        return true;
                    }
                }
                return false;
            },
            timeoutMs);
        return seen ? found : QByteArray();
    }

private:
    std::unique_ptr<QTcpSocket> socket_;
    QByteArray buffer_;
    QList<QByteArray> lines_;
};

// Independent check of a sound 75-ball face text: column c holds numbers 15c+1..15c+15,
// no number twice on one face.
inline bool SoundFaces(const QByteArray& text, int faces)
{
    if (text.size() != 25 * faces)
        return false;
    for (int f = 0; f < faces; ++f) {
        QList<int> seen;
        for (int i = 0; i < 25; ++i) {
            const int n = static_cast<unsigned char>(text[25 * f + i]) - 50;
            const int column = i / 5;
            if (n <= column * 15 || n > column * 15 + 15 || seen.contains(n))
                return false;
            seen.append(n);
        }
    }
    return true;
}

}  // namespace hallclient
