#pragma once
// One chat room of the hall: a line server that greets each newcomer with "S1", lists who is
// there ("SL"), relays "B" lines to everyone as "S0" under the sender's own alias, announces
// arrivals ("SA") and departures ("SR"), keeps the links alive ("SQ") and says "SX" when the
// hall closes. The room's regulars are listed like players and speak through say().
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>

class QTcpServer;
class QTcpSocket;
class QTimer;

class HallChatRoom : public QObject {
    Q_OBJECT
public:
    explicit HallChatRoom(const QByteArray& name, QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;
    QByteArray name() const { return name_; }
    int memberCount() const;   // players who have greeted, regulars not counted

    // "SQ" to every member each period; a member that sends nothing for two periods is dropped.
    void setKeepAlivePeriod(int ms);
    // Names listed before the players on every "SL" list.
    void setRegulars(const QList<QByteArray>& names) { regulars_ = names; }
    // A line from a regular, heard by every player.
    void say(const QByteArray& alias, const QByteArray& text);
    // "SX" to everyone, a short bounded wait for it to leave, then every link is closed.
    void close();

signals:
    void memberJoined(const QByteArray& alias);

private:
    struct Member {
        QPointer<QTcpSocket> socket;
        QByteArray buffer;
        QByteArray alias;   // empty until the "G" greeting
        int quietPeriods = 0;
        bool dropped = false;   // on its way out: hears nothing more
    };
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void onLine(Member& member, const QByteArray& line);
    void sendList(Member& member);
    void keepAlive();
    void send(Member& member, const QByteArray& line);
    void broadcast(const QByteArray& line, const QTcpSocket* except = nullptr);
    void leave(QTcpSocket* socket);
    Member* find(QTcpSocket* socket);

    QByteArray name_;
    QTcpServer* server_;
    QTimer* keepAlive_;
    QList<QByteArray> regulars_;
    QList<Member> members_;
    bool closed_ = false;
};
