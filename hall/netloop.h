#pragma once
// Sockets by the thousand under one socket notifier: an epoll set that the Qt event loop
// watches through its single descriptor, so that a wake-up costs in proportion to the
// sockets that are ready rather than to every player connected. The sockets are plain
// non-blocking descriptors; no QTcpSocket per player.
#include <QHostAddress>
#include <QObject>

#include <cstdint>
#include <functional>
#include <vector>

class QSocketNotifier;
class QTimer;

class NetLoop : public QObject {
    Q_OBJECT
public:
    // Told of the epoll events of one descriptor.
    class Watcher {
    public:
        virtual void ready(std::uint32_t events) = 0;

    protected:
        virtual ~Watcher() = default;
    };

    explicit NetLoop(QObject* parent = nullptr);
    ~NetLoop() override;

    bool isValid() const { return epoll_ >= 0; }
    // Level-triggered. A descriptor closed after forget() gets no stale events, even when a
    // new socket is given the same number within the same batch.
    bool watch(int fd, std::uint32_t events, Watcher* watcher);
    void change(int fd, std::uint32_t events);
    void forget(int fd);

private:
    void dispatch();

    int epoll_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    struct Slot {
        Watcher* watcher = nullptr;
        std::uint32_t generation = 0;
    };
    std::vector<Slot> slots_;   // by descriptor
};

// A listening socket with a backlog of our choosing (QTcpServer keeps the system's 50).
// Accepts in bounded batches; when the process runs out of descriptors it stops accepting
// for a moment, leaving the callers waiting in the backlog, instead of accepting and
// closing in a loop.
class NetListener : public QObject, private NetLoop::Watcher {
    Q_OBJECT
public:
    // Takes the descriptor of an accepted socket (non-blocking, close-on-exec) and its peer.
    using Accept = std::function<void(int fd, const QHostAddress& peer)>;

    NetListener(NetLoop* loop, Accept accept, QObject* parent = nullptr);
    ~NetListener() override;

    bool listen(const QHostAddress& address, quint16 port, int backlog, QString* error);
    quint16 port() const { return port_; }
    int pauses() const { return pauses_; }   // times it ran out of descriptors

private:
    void ready(std::uint32_t events) override;
    void pause();

    NetLoop* loop_;
    Accept accept_;
    QTimer* resume_;
    int fd_ = -1;
    quint16 port_ = 0;
    int pauses_ = 0;
};

// Socket helpers shared by the hall's ports.
namespace net {
// Sends what the kernel takes now: bytes written, 0 when it takes nothing, -1 when the
// connection is gone.
qint64 Send(int fd, const char* data, qint64 size);
// Closes at once with a reset, so that the kernel keeps nothing for a peer we dropped.
void Abort(int fd);
// An address as 16 bytes (IPv4 as mapped), the same for a peer of any of the hall's ports.
QByteArray AddressKey(const QHostAddress& address);
}  // namespace net
