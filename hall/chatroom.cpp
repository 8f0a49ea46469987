#include "chatroom.h"

#include <QDeadlineTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

constexpr int kMaxMembers = 100;
constexpr int kMaxChatLine = 2024;            // the client's read buffer, CR LF included
constexpr int kMaxAlias = 25;                 // what the client shows of a name
constexpr qint64 kMaxPendingOutput = 65536;   // unsent bytes a member may hold before it is dropped
constexpr int kKeepAliveMs = 30000;
constexpr int kGreetingDeadlineMs = 30000;
constexpr int kCloseWaitMs = 250;

}  // namespace

HallChatRoom::HallChatRoom(const QByteArray& name, QObject* parent)
    : QObject(parent), name_(name), server_(new QTcpServer(this)), keepAlive_(new QTimer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &HallChatRoom::onNewConnection);
    connect(keepAlive_, &QTimer::timeout, this, &HallChatRoom::keepAlive);
    keepAlive_->start(kKeepAliveMs);
}

bool HallChatRoom::listen(const QHostAddress& address, quint16 port, QString* error)
{
    if (server_->listen(address, port))
        return true;
    if (error)
        *error = QStringLiteral("chat port %1: %2").arg(port).arg(server_->errorString());
    return false;
}

quint16 HallChatRoom::port() const
{
    return server_->serverPort();
}

int HallChatRoom::memberCount() const
{
    return int(std::count_if(members_.begin(), members_.end(),
                             [](const Member& member) { return !member.alias.isEmpty() && !member.dropped; }));
}

void HallChatRoom::setKeepAlivePeriod(int ms)
{
    keepAlive_->start(ms);
}

void HallChatRoom::say(const QByteArray& alias, const QByteArray& text)
{
    if (!closed_)
        broadcast(("S0" + alias + ": " + text).left(kMaxChatLine - 2));
}

void HallChatRoom::close()
{
    if (std::exchange(closed_, true))
        return;
    server_->close();
    keepAlive_->stop();
    const QDeadlineTimer deadline(kCloseWaitMs);
    for (const Member& member : std::exchange(members_, {})) {
        QTcpSocket* socket = member.socket;
        if (!socket)
            continue;
        socket->disconnect(this);
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (!member.dropped && socket->state() == QAbstractSocket::ConnectedState) {
            socket->write("SX\r\n");
            socket->waitForBytesWritten(int(deadline.remainingTime()));
        }
        socket->disconnectFromHost();
    }
}

HallChatRoom::Member* HallChatRoom::find(QTcpSocket* socket)
{
    for (Member& member : members_)
        if (member.socket == socket)
            return &member;
    return nullptr;
}

void HallChatRoom::onNewConnection()
{
    while (QTcpSocket* socket = server_->nextPendingConnection()) {
        if (members_.size() >= kMaxMembers) {
            socket->write("SX\r\n");
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            continue;
        }
        // Bounded in the kernel as well, so that a member that stopped reading is found out
        // after a few hundred kilobytes rather than megabytes.
        socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, int(kMaxPendingOutput));
        socket->setReadBufferSize(kMaxPendingOutput);
        members_.append(Member{socket, {}, {}, 0, false});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            leave(socket);
            socket->deleteLater();
        });
        QTimer::singleShot(kGreetingDeadlineMs, socket, [this, socket] {
            if (const Member* member = find(socket); member && member->alias.isEmpty())
                socket->abort();
        });
        send(members_.last(), "S1");
    }
}

void HallChatRoom::onReadyRead(QTcpSocket* socket)
{
    Member* member = find(socket);
    if (!member)
        return;
    member->buffer += socket->read(kMaxChatLine + 2 - member->buffer.size());
    for (;;) {
        member = find(socket);   // a handled line may have changed the member list
        if (!member)
            return;
        const int end = member->buffer.indexOf('\n');
        if (end < 0) {
            if (member->buffer.size() > kMaxChatLine) {   // an over-long line ends the visit
                socket->abort();
            } else if (socket->bytesAvailable() > 0) {
                member->buffer += socket->read(kMaxChatLine + 2 - member->buffer.size());
                continue;
            }
            return;
        }
        QByteArray line = member->buffer.left(end);
        member->buffer.remove(0, end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        onLine(*member, line);
    }
}

void HallChatRoom::onLine(Member& member, const QByteArray& line)
{
    member.quietPeriods = 0;
    const char code = line.isEmpty() || member.dropped ? '\0' : line.at(0);
    if (code == 'G' && member.alias.isEmpty()) {
        const int end = line.indexOf("%1");
        const QByteArray alias = line.mid(1, end < 0 ? -1 : end - 1).trimmed().left(kMaxAlias).trimmed();
        if (alias.isEmpty())
            return;
        member.alias = alias;
        sendList(member);
        broadcast("SA" + alias, member.socket);
        emit memberJoined(alias);
    } else if (code == 'B' && !member.alias.isEmpty()) {
        // The text after the sender's own prefix, so no one speaks under another's name.
        const QByteArray own = "B" + member.alias + ": ";
        const int colon = line.indexOf(": ");
        const QByteArray text = line.startsWith(own) ? line.mid(own.size())
            : colon >= 0                             ? line.mid(colon + 2)
                                                     : line.mid(1);
        broadcast(("S0" + member.alias + ": " + text).left(kMaxChatLine - 2));
    } else if (code == 'L') {
        sendList(member);
    } else if (code == 'R') {
        const QPointer<QTcpSocket> socket = member.socket;
        leave(socket);
        if (socket)
            socket->disconnectFromHost();
    }
    // "Q" answers need nothing beyond counting as a sign of life.
}

void HallChatRoom::sendList(Member& member)
{
    for (const QByteArray& name : regulars_)
        send(member, "SL" + name);
    for (const Member& other : members_)
        if (!other.alias.isEmpty() && !other.dropped)
            send(member, "SL" + other.alias);
}

void HallChatRoom::keepAlive()
{
    QList<QPointer<QTcpSocket>> silent;
    for (Member& member : members_) {
        if (member.alias.isEmpty())
            continue;
        if (member.quietPeriods >= 2) {
            silent.append(member.socket);
        } else {
            ++member.quietPeriods;
            send(member, "SQ");
        }
    }
    for (const QPointer<QTcpSocket>& socket : silent)
        if (socket)
            socket->abort();
}

// Never changes the member list: a member that stopped reading leaves once control is back
// in the event loop, so that callers may go on walking the list.
void HallChatRoom::send(Member& member, const QByteArray& line)
{
    QTcpSocket* socket = member.socket;
    if (member.dropped || !socket || socket->state() != QAbstractSocket::ConnectedState)
        return;
    socket->write(line + "\r\n");
    socket->flush();
    if (socket->bytesToWrite() > kMaxPendingOutput) {
        member.dropped = true;
        QTimer::singleShot(0, socket, [socket] { socket->abort(); });
    }
}

void HallChatRoom::broadcast(const QByteArray& line, const QTcpSocket* except)
{
    for (Member& member : members_)
        if (!member.alias.isEmpty() && member.socket != except)
            send(member, line);
}

void HallChatRoom::leave(QTcpSocket* socket)
{
    for (int i = 0; i < members_.size(); ++i) {
        if (members_[i].socket != socket)
            continue;
        const QByteArray alias = members_.takeAt(i).alias;
        if (!alias.isEmpty())
            broadcast("SR" + alias);
        return;
    }
}
