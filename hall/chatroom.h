#pragma once
// One chat room of the hall: a line server that greets each newcomer with "S1", lists who is
// there ("SL"), relays "B" lines to everyone as "S0" under the sender's own alias, announces
// arrivals ("SA") and departures ("SR"), keeps the links alive ("SQ") and says "SX" when the
// hall closes. The room's regulars are listed like players and speak through say().
//
// A member is the account that signed in on the game server from the same address: its
// greeting names the player ID, the room asks the game server, and the member goes by the
// account's alias, which no one else in the room may hold. A link that does not greet in
// time, an address holding too many links, a member that speaks too often and a line longer
// than the client's buffer are each cut short.
#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class QTcpServer;
class QTcpSocket;
class QTimer;

class HallChatRoom : public QObject {
    Q_OBJECT
public:
    // The alias of the account `user` when it has signed in from `peer`; nothing otherwise.
    using MemberCheck = std::function<std::optional<QByteArray>(const QByteArray& user, const QHostAddress& peer)>;

    explicit HallChatRoom(const QByteArray& name, QObject* parent = nullptr);

    bool listen(const QHostAddress& address, quint16 port, QString* error);
    quint16 port() const;
    QByteArray name() const { return name_; }
    int memberCount() const;   // players who have greeted, regulars not counted

    // Without one every greeting is refused.
    void setMemberCheck(MemberCheck check) { check_ = std::move(check); }
    // Open links one address may hold (0: no limit), loopback exempt or not.
    void setAddressLimit(int perAddress, bool exemptLoopback);
    // A link that has not greeted within this time is closed.
    void setGreetingDeadline(int ms) { greetingMs_ = ms; }
    // A member's "B" lines beyond `lines` within `ms` are dropped.
    void setFloodLimit(int lines, int ms);
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
        QByteArray address;   // counted under the per-address limit (empty: not counted)
        QByteArray buffer;
        QByteArray alias;     // empty until the greeting is accepted
        QList<qint64> lines;  // when its latest relayed lines came
        bool hushed = false;  // told that its lines are dropped
        bool skipping = false;   // inside a line too long to keep
        int quietPeriods = 0;
        bool dropped = false;   // on its way out: hears nothing more
    };
    void onNewConnection();
    void onReadyRead(QTcpSocket* socket);
    void onLine(Member& member, const QByteArray& line);
    void greet(Member& member, const QByteArray& line);
    void speak(Member& member, const QByteArray& line);
    void refuse(Member& member, const QByteArray& why);
    bool nameTaken(const QByteArray& alias) const;
    void sendList(Member& member);
    void keepAlive();
    void send(Member& member, const QByteArray& line);
    void broadcast(const QByteArray& line, const QTcpSocket* except = nullptr);
    void leave(QTcpSocket* socket);
    Member* find(QTcpSocket* socket);

    QByteArray name_;
    QTcpServer* server_;
    QTimer* keepAlive_;
    MemberCheck check_;
    int perAddress_ = 0;
    bool exemptLoopback_ = false;
    QHash<QByteArray, int> links_;   // open links by address, those under the limit
    int greetingMs_ = 10000;
    int floodLines_ = 5;
    int floodMs_ = 5000;
    QList<QByteArray> regulars_;
    QList<Member> members_;
    bool closed_ = false;
};
