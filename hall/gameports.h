#pragma once
// The game server's three ports as sockets: the request port (one line in, one line out, per
// connection) and the two receive-only feeds. Every player a descriptor can carry is served:
// no count of listeners or connections is capped, idle and slow peers are cut off by
// deadlines, and what is queued for a peer is bounded.
#include "netloop.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QTimer;

struct PortLimits {
    // Open request connections one address may hold (0: no limit). A player's client holds
    // one at a time; the margin is for players sharing an address behind a router.
    int perAddress = 16;
    bool exemptLoopback = false;   // a load test from this machine: every player is 127.0.0.1
    int firstLineMs = 2500;        // a request connection must have sent its line by then
    int backlog = 4096;            // the burst of logins at the end of a game waits here
};

class GamePorts : public QObject {
    Q_OBJECT
public:
    enum class Feed { Sales, Game };
    // The reply to a request line (both without CR LF) from a peer (net::AddressKey).
    using Answer = std::function<QByteArray(const QByteArray& line, const QByteArray& peer)>;
    // What a feed says to a listener that has just come (without CR LF; empty: nothing).
    using Greeting = std::function<QByteArray(Feed feed)>;

    GamePorts(const PortLimits& limits, Answer answer, Greeting greeting, QObject* parent = nullptr);
    ~GamePorts() override;

    bool listen(const QHostAddress& address, quint16 requestPort, quint16 salesPort, quint16 gamePort,
                QString* error);
    quint16 requestPort() const;
    quint16 salesPort() const;
    quint16 gamePort() const;

    // One line (without CR LF) to every listener of a feed, built once and shared.
    void broadcast(Feed feed, const QByteArray& line);
    int listeners(Feed feed) const;

    // What the ports have had to refuse or drop since the start.
    struct Counts {
        qint64 busyRefusals = 0;   // request connections over their address's limit
        qint64 lateRequests = 0;   // closed without a line by the deadline
        qint64 droppedListeners = 0;   // feed listeners that fell behind
        int acceptPauses = 0;      // times the ports ran out of descriptors
        qint64 longestFanOutUs = 0;   // one line to every listener of a feed, the longest it took
        int longestFanOutListeners = 0;
    };
    Counts counts() const;

private:
    struct Link;
    void acceptRequest(int fd, const QHostAddress& peer);
    void acceptFeed(Feed feed, int fd);
    void linkReady(Link* link, std::uint32_t events);
    void readRequest(Link* link);
    bool queue(Link* link, const QByteArray& bytes);
    void flush(Link* link);
    void close(Link* link, bool reset);
    void sweep();

    PortLimits limits_;
    Answer answer_;
    Greeting greeting_;
    NetLoop* loop_;
    NetListener* requestListener_;
    NetListener* salesListener_;
    NetListener* gameListener_;
    QTimer* sweep_;
    std::vector<std::unique_ptr<Link>> feeds_[2];   // by Feed; each link knows its index
    QHash<int, Link*> requests_;                     // by descriptor, owned
    struct AddressUse {
        int served = 0;
        int refused = 0;
    };
    QHash<QByteArray, AddressUse> perAddress_;
    Counts counts_;
};
