#include "netloop.h"

#include <QSocketNotifier>
#include <QTimer>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kEventsPerWake = 256;    // then the event loop turns, and the timers run
constexpr int kAcceptsPerWake = 64;    // so that one port cannot starve the others
constexpr int kResumeAfterMs = 100;    // out of descriptors: try again after this

QHostAddress PeerAddress(const sockaddr_storage& peer)
{
    QHostAddress address;
    address.setAddress(reinterpret_cast<const sockaddr*>(&peer));
    return address;
}

}  // namespace

namespace net {

qint64 Send(int fd, const char* data, qint64 size)
{
    for (;;) {
        const ssize_t n = ::send(fd, data, size_t(size), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n >= 0)
            return n;
        if (errno == EINTR)
            continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

void Abort(int fd)
{
    const linger reset{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
    ::close(fd);
}

QByteArray AddressKey(const QHostAddress& address)
{
    const Q_IPV6ADDR bytes = address.toIPv6Address();   // IPv4 as mapped
    return QByteArray(reinterpret_cast<const char*>(bytes.c), 16);
}

}  // namespace net

NetLoop::NetLoop(QObject* parent) : QObject(parent), epoll_(::epoll_create1(EPOLL_CLOEXEC))
{
    if (epoll_ < 0)
        return;
    notifier_ = new QSocketNotifier(epoll_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &NetLoop::dispatch);
}

NetLoop::~NetLoop()
{
    delete notifier_;
    if (epoll_ >= 0)
        ::close(epoll_);
}

bool NetLoop::watch(int fd, std::uint32_t events, Watcher* watcher)
{
    if (epoll_ < 0 || fd < 0)
        return false;
    if (size_t(fd) >= slots_.size())
        slots_.resize(size_t(fd) + 1024);
    Slot& slot = slots_[size_t(fd)];
    ++slot.generation;
    epoll_event event{};
    event.events = events;
    event.data.u64 = (std::uint64_t(slot.generation) << 32) | std::uint32_t(fd);
    if (::epoll_ctl(epoll_, EPOLL_CTL_ADD, fd, &event) != 0)
        return false;
    slot.watcher = watcher;
    return true;
}

void NetLoop::change(int fd, std::uint32_t events)
{
    epoll_event event{};
    event.events = events;
    event.data.u64 = (std::uint64_t(slots_[size_t(fd)].generation) << 32) | std::uint32_t(fd);
    ::epoll_ctl(epoll_, EPOLL_CTL_MOD, fd, &event);
}

void NetLoop::forget(int fd)
{
    if (fd < 0 || size_t(fd) >= slots_.size() || !slots_[size_t(fd)].watcher)
        return;
    ::epoll_ctl(epoll_, EPOLL_CTL_DEL, fd, nullptr);
    slots_[size_t(fd)].watcher = nullptr;
}

void NetLoop::dispatch()
{
    epoll_event events[kEventsPerWake];
    const int count = ::epoll_wait(epoll_, events, kEventsPerWake, 0);
    for (int i = 0; i < count; ++i) {
        const auto fd = size_t(events[i].data.u64 & 0xffffffffu);
        const auto generation = std::uint32_t(events[i].data.u64 >> 32);
        if (fd < slots_.size() && slots_[fd].watcher && slots_[fd].generation == generation)
            slots_[fd].watcher->ready(events[i].events);
    }
}

NetListener::NetListener(NetLoop* loop, Accept accept, QObject* parent)
    : QObject(parent), loop_(loop), accept_(std::move(accept)), resume_(new QTimer(this))
{
    resume_->setSingleShot(true);
    connect(resume_, &QTimer::timeout, this, [this] { loop_->change(fd_, EPOLLIN); });
}

NetListener::~NetListener()
{
    if (fd_ >= 0) {
        loop_->forget(fd_);
        ::close(fd_);
    }
}

bool NetListener::listen(const QHostAddress& address, quint16 port, int backlog, QString* error)
{
    sockaddr_storage storage{};
    socklen_t length = 0;
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&storage);
        in6->sin6_family = AF_INET6;
        in6->sin6_port = htons(port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&in6->sin6_addr, &bytes, sizeof bytes);
        length = sizeof *in6;
    } else {
        auto* in4 = reinterpret_cast<sockaddr_in*>(&storage);
        in4->sin_family = AF_INET;
        in4->sin_port = htons(port);
        in4->sin_addr.s_addr = htonl(address.toIPv4Address());
        length = sizeof *in4;
    }
    const int fd = ::socket(storage.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (fd < 0 || ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on) != 0
        || ::bind(fd, reinterpret_cast<const sockaddr*>(&storage), length) != 0 || ::listen(fd, backlog) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&storage), &length) != 0 || !loop_->watch(fd, EPOLLIN, this)) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    fd_ = fd;
    port_ = ntohs(storage.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&storage)->sin6_port
                                                : reinterpret_cast<sockaddr_in*>(&storage)->sin_port);
    return true;
}

void NetListener::ready(std::uint32_t)
{
    for (int i = 0; i < kAcceptsPerWake; ++i) {
        sockaddr_storage peer{};
        socklen_t length = sizeof peer;
        const int fd = ::accept4(fd_, reinterpret_cast<sockaddr*>(&peer), &length, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno == EMFILE || errno == ENFILE || errno == ENOBUFS || errno == ENOMEM)
                pause();
            return;
        }
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        accept_(fd, PeerAddress(peer));
    }
}

// The callers wait in the backlog (their connection stands, nothing is read) until
// descriptors are free again.
void NetListener::pause()
{
    ++pauses_;
    loop_->change(fd_, 0);
    resume_->start(kResumeAfterMs);
}
