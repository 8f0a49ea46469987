// The three links to the game server: request/reply, game feed, sales feed.
#include "session/gamecore.h"
#include "rules/wire.h"

#include <QTime>

LineSocket* GameCore::linkSocket(int link) const
{
    switch (link) {
    case 1: return RequestLink;
    case 3: return GameFeed;
    case 4: return SalesFeed;
    default: return nullptr;
    }
}

quint16 GameCore::linkPort(int link) const
{
    switch (link) {
    case 1: return Config.requestPort;
    case 3: return Config.gameFeedPort;
    default: return Config.salesFeedPort;
    }
}

void GameCore::OpenServerLink(int link)
{
    LineSocket* socket = linkSocket(link);
    if (!socket)
        return;
    RetryTimer[link].stop();
    if (socket->isOpen())
        socket->close();
    socket->connectTo(GameServerHost.left(255), linkPort(link));
}

void GameCore::CloseServerLink(int link)
{
    LineSocket* socket = linkSocket(link);
    if (!socket)
        return;
    RetryTimer[link].stop();
    socket->close();
    if (link != 3 && link != 4)
        return;
    int& mark = link == 3 ? GameFeedReopen : SalesFeedReopen;
    if (mark == 999) {
        FeedSilence = 0;
        socket->connectTo(GameServerHost.left(255), linkPort(link));
    }
    mark = 0;
}

void GameCore::BasicClientSocket1Connect(int errorCode) { LinkConnected(1, errorCode); }
void GameCore::BasicClientSocket3Connect(int errorCode) { LinkConnected(3, errorCode); }
void GameCore::BasicClientSocket4Connect(int errorCode) { LinkConnected(4, errorCode); }

void GameCore::LinkConnected(int link, int errorCode)
{
    LineSocket* socket = linkSocket(link);
    if (errorCode != 0) {
        if (link == 1)
            View->log(QTime::currentTime().toString() + QStringLiteral(": SocketError: ") + QString::number(errorCode));
        ++ConnectAttempts;
        View->setProgress(QStringLiteral("ProgressBar1"), ConnectAttempts);
        if (ConnectAttempts > 90) {
            ConnectAttempts = 0;
            View->setProgress(QStringLiteral("ProgressBar1"), 0);
            if (!AlertShown) {
                AlertShown = true;
                View->showWindow(QStringLiteral("TForm3"));
            }
        }
        ScheduleReconnect(link);
        return;
    }
    ConnectAttempts = 0;
    View->setProgress(QStringLiteral("ProgressBar1"), 0);
    socket->setBufferSizes(2048, link == 1 ? 1024 : 512);
    if (link != 1)
        return;
    socket->sendLine(PendingRequest == 0 ? LoginLine()
                     : PendingRequest == 2 ? PurchaseLine()
                     : PendingRequest == 10 ? QByteArray("PQZ!S6")
                     : PendingRequest == 15 ? "PQZ!GS" + WinnersGameNumber.toLatin1() + "##"
                     : QByteArray("PQZ!S1"));
}

// A refused connection is tried again after a short pause rather than at once, so a
// server that is down does not keep the processor busy.
void GameCore::ScheduleReconnect(int link)
{
    RetryTimer[link].start(Clock->realMs(1000));
}

void GameCore::AlertButton1Click()
{
    ConnectAttempts = 0;
    AlertShown = false;
    View->hideWindow(QStringLiteral("TForm3"));
}

void GameCore::RequestLinkLine(const QByteArray& line)
{
    RequestLink->close();
    switch (PendingRequest) {
    case 0:
        if (HasPrefix(line, "PQZ!LOGIN"))
            DispatchServerLine(10, line);
        break;
    case 7: case 8: case 9: case 1:
        if (HasPrefix(line, "PQZ!CARDR"))
            DispatchServerLine(9, line);
        break;
    case 2:
        if (HasPrefix(line, "PQZ!LOGIN"))
            DispatchServerLine(11, line);
        break;
    case 10:
        if (HasPrefix(line, "PQZ!CARDR"))
            DispatchServerLine(14, line);
        break;
    case 15:
        if (HasPrefix(line, "PQZ!LOGIN")) {
            RequestBusy = 0;
            DispatchServerLine(15, line);
        }
        break;
    default:
        break;
    }
}

void GameCore::GameFeedLine(const QByteArray& line)
{
    FeedSilence = 0;
    if (!HasPrefix(line, "PQZ"))
        return;
    if (HasPrefix(line, "PQZACK")) {
        DispatchServerLine(1, line);
        return;
    }
    const QByteArray kind = FieldValue('0', line);
    if (kind.isEmpty())
        return;
    switch (kind[0]) {
    case 'A': DispatchServerLine(1, line); break;
    case 'B': DispatchServerLine(2, line); break;
    case 'C': DispatchServerLine(3, line); break;
    case 'D': DispatchServerLine(4, line); break;
    case 'E': DispatchServerLine(5, line); break;
    default: break;
    }
}

void GameCore::SalesFeedLine(const QByteArray& line)
{
    FeedSilence = 0;
    if (HasPrefix(line, "PQZACK"))
        DispatchServerLine(1, line);
}
