#include "chatroom.h"

#include <QTcpServer>
#include <QTcpSocket>

namespace {

constexpr int kMaxMembers = 100;
constexpr int kMaxChatLine = 2024;
constexpr int kMaxAlias = 25;

}  // namespace

HallChatRoom::HallChatRoom(const QByteArray& name, QObject* parent)
    : QObject(parent), name_(name), server_(new QTcpServer(this))
{
    connect(server_, &QTcpServer::newConnection, this, &HallChatRoom::onNewConnection);
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
    int count = 0;
    for (const Member& member : members_)
        if (!member.alias.isEmpty())
            ++count;
    return count;
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
        members_.append(Member{socket, {}, {}});
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            leave(socket);
            socket->deleteLater();
        });
        socket->write("S1\r\n");
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
    if (line.isEmpty())
        return;
    switch (line.at(0)) {
    case 'G': {
        const int end = line.indexOf("%1");
        const QByteArray alias = line.mid(1, end < 0 ? -1 : end - 1).trimmed().left(kMaxAlias);
        if (alias.isEmpty() || !member.alias.isEmpty())
            return;
        member.alias = alias;
        broadcast("SA" + alias);
        return;
    }
    case 'B':
        if (!member.alias.isEmpty())
            broadcast("S0" + line.mid(1));
        return;
    case 'L':
        for (const Member& other : members_)
            if (!other.alias.isEmpty() && member.socket)
                member.socket->write("SL" + other.alias + "\r\n");
        return;
    case 'R': {
        QPointer<QTcpSocket> socket = member.socket;
        leave(socket);
        if (socket)
            socket->disconnectFromHost();
        return;
    }
    default:
        return;   // "Q" answers and anything else need nothing
    }
}

void HallChatRoom::leave(QTcpSocket* socket)
{
    for (int i = 0; i < members_.size(); ++i) {
        if (members_[i].socket != socket)
            continue;
        const QByteArray alias = members_[i].alias;
        members_.removeAt(i);
        if (!alias.isEmpty())
            broadcast("SR" + alias);
        return;
    }
}

void HallChatRoom::broadcast(const QByteArray& line)
{
    for (const Member& member : members_)
        if (member.socket && !member.alias.isEmpty())
            member.socket->write(line + "\r\n");
}
