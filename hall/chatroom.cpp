#include "chatroom.h"

#include "hallwire.h"
#include "netloop.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
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
constexpr int kCloseWaitMs = 250;

qint64 Now()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

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

void HallChatRoom::setAddressLimit(int perAddress, bool exemptLoopback)
{
    perAddress_ = perAddress;
    exemptLoopback_ = exemptLoopback;
}

void HallChatRoom::setFloodLimit(int lines, int ms)
{
    floodLines_ = qMax(1, lines);
    floodMs_ = ms;
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
    links_.clear();
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
        const QHostAddress peer = socket->peerAddress();
        const QByteArray address = perAddress_ > 0 && !(exemptLoopback_ && peer.isLoopback())
            ? net::AddressKey(peer) : QByteArray();
        // A full room, or an address that holds its share of links already.
        if (members_.size() >= kMaxMembers || (!address.isEmpty() && links_.value(address) >= perAddress_)) {
            socket->write("SX\r\n");
            socket->disconnectFromHost();
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            continue;
        }
        if (!address.isEmpty())
            ++links_[address];
        // Bounded in the kernel as well, so that a member that stopped reading is found out
        // after a few hundred kilobytes rather than megabytes.
        socket->setSocketOption(QAbstractSocket::SendBufferSizeSocketOption, int(kMaxPendingOutput));
        socket->setReadBufferSize(kMaxPendingOutput);
        Member newcomer;
        newcomer.socket = socket;
        newcomer.address = address;
        members_.append(newcomer);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { onReadyRead(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            leave(socket);
            socket->deleteLater();
        });
        QTimer::singleShot(greetingMs_, socket, [this, socket] {
            if (const Member* member = find(socket); member && member->alias.isEmpty())
                socket->abort();
        });
        send(members_.last(), "S1");
    }
}

void HallChatRoom::onReadyRead(QTcpSocket* socket)
{
    for (;;) {
        Member* member = find(socket);   // a handled line may have changed the member list
        if (!member)
            return;
        const int end = member->buffer.indexOf('\n');
        if (end < 0) {
            // More than a whole line's worth and no end: the line is dropped, to its end.
            if (member->buffer.size() > kMaxChatLine) {
                member->buffer.clear();
                member->skipping = true;
            }
            if (socket->bytesAvailable() <= 0)
                return;
            member->buffer += socket->read(kMaxChatLine + 1 - member->buffer.size());
            continue;
        }
        QByteArray line = member->buffer.left(end + 1);
        member->buffer.remove(0, end + 1);
        if (std::exchange(member->skipping, false) || line.size() > kMaxChatLine)
            continue;
        line.chop(1);
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
        greet(member, line);
    } else if (code == 'B' && !member.alias.isEmpty()) {
        speak(member, line);
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

// The greeting names the player ID; the member is that account, if it signed in from here.
void HallChatRoom::greet(Member& member, const QByteArray& line)
{
    const auto greeting = hallwire::ParseChatGreeting(line);
    const auto account = greeting && check_ && member.socket ? check_(greeting->user, member.socket->peerAddress())
                                                             : std::nullopt;
    if (!account) {
        refuse(member, "Please sign in to the game with your player ID before you join a chat room.");
        return;
    }
    const QByteArray alias = account->trimmed().left(kMaxAlias).trimmed();
    if (alias.isEmpty() || nameTaken(alias)) {
        refuse(member, "The name " + alias + " is already in this room.");
        return;
    }
    member.alias = alias;
    sendList(member);
    broadcast("SA" + alias, member.socket);
    emit memberJoined(alias);
}

// At most so many lines in a while: the rest are dropped, and the sender alone hears so once.
void HallChatRoom::speak(Member& member, const QByteArray& line)
{
    const qint64 now = Now();
    while (!member.lines.isEmpty() && now - member.lines.first() >= floodMs_)
        member.lines.removeFirst();
    if (member.lines.size() >= floodLines_) {
        if (!std::exchange(member.hushed, true))
            send(member, "S0" + name_ + ": Too many lines at once: yours are not passed on for a few seconds.");
        return;
    }
    member.hushed = false;
    member.lines.append(now);
    // The text after the sender's own prefix, so no one speaks under another's name.
    const QByteArray own = "B" + member.alias + ": ";
    const int colon = line.indexOf(": ");
    const QByteArray text = line.startsWith(own) ? line.mid(own.size())
        : colon >= 0                             ? line.mid(colon + 2)
                                                 : line.mid(1);
    broadcast(("S0" + member.alias + ": " + text).left(kMaxChatLine - 2));
}

// Said to the newcomer alone, in the room's own name, before the room closes on it.
void HallChatRoom::refuse(Member& member, const QByteArray& why)
{
    send(member, "S0" + name_ + ": " + why);
    send(member, "SX");
    member.dropped = true;
    if (QTcpSocket* socket = member.socket)
        QTimer::singleShot(0, socket, [socket] { socket->disconnectFromHost(); });
}

// Letter case aside: the room's own name, its regulars and every member's.
bool HallChatRoom::nameTaken(const QByteArray& alias) const
{
    const auto same = [&alias](const QByteArray& name) { return alias.compare(name, Qt::CaseInsensitive) == 0; };
    return same(name_) || std::any_of(regulars_.begin(), regulars_.end(), same)
        || std::any_of(members_.begin(), members_.end(),
                       [&same](const Member& member) { return !member.dropped && same(member.alias); });
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
        const Member member = members_.takeAt(i);
        if (!member.address.isEmpty() && --links_[member.address] <= 0)
            links_.remove(member.address);
        const QByteArray alias = member.alias;
        if (!alias.isEmpty())
            broadcast("SR" + alias);
        return;
    }
}
