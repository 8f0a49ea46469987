#pragma once
// One chat room of the hall: a line server that greets each newcomer with "S1", relays
// "B" lines to everyone as "S0", announces arrivals ("SA") and departures ("SR") and
// lists the members ("SL") on "L".
#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>

class QTcpServer;
class QTcpSocket;

class HallChatRoom : public QObject {
    Q_OBJECT
public:
    explicit HallChatRoom(const QByteArray& name, QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;
    QByteArray name() const { return name_; }
    int memberCount() const;

private:
    struct Member {
        QPointer<QTcpSocket> socket;
        QByteArray buffer;
        QByteArray alias;   // empty until the "G" greeting
    };
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void onLine(Member& member, const QByteArray& line);
    void leave(QTcpSocket* socket);
    void broadcast(const QByteArray& line);
    Member* find(QTcpSocket* socket);

    QByteArray name_;
    QTcpServer* server_;
    QList<Member> members_;
};
