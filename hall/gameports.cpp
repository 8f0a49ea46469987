#include "gameports.h"

#include "hallwire.h"

#include <QElapsedTimer>
#include <QTimer>

#include <cerrno>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSweepMs = 250;
constexpr int kDrainMs = 1000;               // after the reply: the client closes, or we do
constexpr int kFeedSendBuffer = 8192;        // the kernel doubles it; lines are short
constexpr qint64 kMaxFeedQueue = 16384;      // bytes a feed listener may be behind
constexpr qint64 kFeedBehindMs = 5000;       // ... and for how long
constexpr int kReadsPerWake = 16;
constexpr std::uint32_t kReadEvents = EPOLLIN | EPOLLRDHUP;

// A connection over its address's limit hears a refusal its client understands for the
// request it made, and nothing of the game is touched.
QByteArray BusyReply(const QByteArray& line)
{
    if (line.startsWith("PQZ!S6") || line.startsWith("PQZ!S1"))
        return "PQZ!CARDRNO";
    if (line.startsWith("PQZ!G6") || line.startsWith("PQZ!B7") || line.startsWith("PQZ!GS"))
        return "PQZ!LOGINNOThe hall is busy. Please try again in a moment.";
    return "PQZ!ERROR";
}

qint64 Now()
{
    static QElapsedTimer clock;
    if (!clock.isValid())
        clock.start();
    return clock.elapsed();
}

}  // namespace

struct GamePorts::Link final : NetLoop::Watcher {
    GamePorts* ports = nullptr;
    int fd = -1;
    bool request = true;
    Feed feed = Feed::Sales;
    size_t index = 0;           // feeds: position in its list
    QByteArray peer;            // request links: the peer's address (net::AddressKey)
    bool limited = false;       // counted under the per-address limit
    bool refused = false;       // over that limit
    bool answered = false;
    bool peerClosed = false;
    QByteArray in;
    QByteArray out;
    qint64 outAt = 0;
    qint64 deadline = 0;        // request links
    qint64 queuedSince = -1;    // when `out` last went from empty to not

    void ready(std::uint32_t events) override { ports->linkReady(this, events); }
    qint64 queued() const { return out.size() - outAt; }
};

GamePorts::GamePorts(const PortLimits& limits, Answer answer, Greeting greeting, QObject* parent)
    : QObject(parent),
      limits_(limits),
      answer_(std::move(answer)),
      greeting_(std::move(greeting)),
      loop_(new NetLoop(this)),
      requestListener_(new NetListener(
          loop_, [this](int fd, const QHostAddress& peer) { acceptRequest(fd, peer); }, this)),
      salesListener_(new NetListener(
          loop_, [this](int fd, const QHostAddress&) { acceptFeed(Feed::Sales, fd); }, this)),
      gameListener_(new NetListener(
          loop_, [this](int fd, const QHostAddress&) { acceptFeed(Feed::Game, fd); }, this)),
      sweep_(new QTimer(this))
{
    connect(sweep_, &QTimer::timeout, this, &GamePorts::sweep);
    sweep_->start(kSweepMs);
}

GamePorts::~GamePorts()
{
    delete requestListener_;
    delete salesListener_;
    delete gameListener_;
    for (Link* link : std::as_const(requests_)) {
        loop_->forget(link->fd);
        ::close(link->fd);
        delete link;
    }
    for (auto& list : feeds_)
        for (auto& link : list) {
            loop_->forget(link->fd);
            ::close(link->fd);
        }
}

bool GamePorts::listen(const QHostAddress& address, quint16 requestPort, quint16 salesPort, quint16 gamePort,
                       QString* error)
{
    if (!loop_->isValid()) {
        if (error)
            *error = QStringLiteral("cannot create the socket set");
        return false;
    }
    const struct {
        NetListener* listener;
        quint16 port;
        const char* name;
    } listeners[] = {{requestListener_, requestPort, "request"}, {salesListener_, salesPort, "sales"},
                     {gameListener_, gamePort, "game"}};
    for (const auto& l : listeners) {
        QString why;
        if (!l.listener->listen(address, l.port, limits_.backlog, &why)) {
            if (error)
                *error = QStringLiteral("%1 port %2: %3").arg(QLatin1String(l.name)).arg(l.port).arg(why);
            return false;
        }
    }
    return true;
}

quint16 GamePorts::requestPort() const { return requestListener_->port(); }
quint16 GamePorts::salesPort() const { return salesListener_->port(); }
quint16 GamePorts::gamePort() const { return gameListener_->port(); }
int GamePorts::listeners(Feed feed) const { return int(feeds_[int(feed)].size()); }

GamePorts::Counts GamePorts::counts() const
{
    Counts counts = counts_;
    counts.acceptPauses = requestListener_->pauses() + salesListener_->pauses() + gameListener_->pauses();
    return counts;
}

void GamePorts::acceptRequest(int fd, const QHostAddress& peer)
{
    auto* link = new Link;
    link->ports = this;
    link->fd = fd;
    link->deadline = Now() + limits_.firstLineMs;
    link->peer = net::AddressKey(peer);
    if (limits_.perAddress > 0 && !(limits_.exemptLoopback && peer.isLoopback())) {
        link->limited = true;
        AddressUse& use = perAddress_[link->peer];
        if (use.served >= limits_.perAddress) {
            ++counts_.busyRefusals;
            // As many again are told the hall is busy; past that an address gets nothing.
            if (use.refused >= limits_.perAddress) {
                net::Abort(fd);
                delete link;
                return;
            }
            link->refused = true;
            ++use.refused;
        } else {
            ++use.served;
        }
    }
    requests_.insert(fd, link);
    if (!loop_->watch(fd, kReadEvents, link))
        close(link, true);
}

void GamePorts::acceptFeed(Feed feed, int fd)
{
    ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kFeedSendBuffer, sizeof kFeedSendBuffer);
    auto& list = feeds_[int(feed)];
    auto link = std::make_unique<Link>();
    link->ports = this;
    link->fd = fd;
    link->request = false;
    link->feed = feed;
    link->index = list.size();
    if (!loop_->watch(fd, kReadEvents, link.get())) {
        ::close(fd);
        return;
    }
    Link* raw = link.get();
    list.push_back(std::move(link));
    const QByteArray hello = greeting_(feed);
    if (!hello.isEmpty() && !queue(raw, hello + "\r\n"))
        close(raw, true);
}

void GamePorts::linkReady(Link* link, std::uint32_t events)
{
    if (events & EPOLLOUT) {
        flush(link);
        return;   // a closed link is gone; the rest comes on the next wake
    }
    if (link->request) {
        readRequest(link);
        return;
    }
    // Feeds are receive-only for the client: whatever it sends is dropped.
    char scratch[4096];
    for (int i = 0; i < kReadsPerWake; ++i) {
        const ssize_t n = ::recv(link->fd, scratch, sizeof scratch, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)) {
            close(link, false);
            return;
        }
        if (n < 0)
            return;
    }
}

void GamePorts::readRequest(Link* link)
{
    char scratch[4096];
    for (int i = 0; i < kReadsPerWake; ++i) {
        const qint64 lineRoom = hallwire::kMaxRequestLine + 2 - link->in.size();
        const qint64 room = link->answered ? qint64(sizeof scratch) : qMin<qint64>(sizeof scratch, lineRoom);
        const ssize_t n = ::recv(link->fd, scratch, size_t(room), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        if (n <= 0) {
            // The client has closed (as it does on reading the reply) or the connection broke.
            if (link->queued() == 0 || n < 0) {
                close(link, n < 0);
            } else {
                link->peerClosed = true;
                loop_->change(link->fd, EPOLLOUT);
            }
            return;
        }
        if (link->answered)
            continue;
        link->in.append(scratch, int(n));
        const int end = link->in.indexOf('\n');
        QByteArray reply;
        if (end >= 0) {
            QByteArray line = link->in.left(end);
            if (line.endsWith('\r'))
                line.chop(1);
            reply = link->refused ? BusyReply(line) : answer_(line, link->peer);
        } else if (link->in.size() > hallwire::kMaxRequestLine) {
            reply = "PQZ!ERROR";
        } else {
            continue;
        }
        link->answered = true;
        link->in.clear();
        link->deadline = Now() + kDrainMs;
        if (!queue(link, reply + "\r\n")) {
            close(link, true);
            return;
        }
        if (link->queued() == 0)
            ::shutdown(link->fd, SHUT_WR);
    }
}

bool GamePorts::queue(Link* link, const QByteArray& bytes)
{
    const qint64 pending = link->queued();
    if (pending == 0) {
        const qint64 sent = net::Send(link->fd, bytes.constData(), bytes.size());
        if (sent < 0)
            return false;   // gone: the peer closed or reset it
        if (sent == bytes.size())
            return true;
        link->out = bytes.mid(int(sent));
        link->outAt = 0;
        link->queuedSince = Now();
        loop_->change(link->fd, (link->peerClosed ? 0 : kReadEvents) | EPOLLOUT);
        return true;
    }
    if (pending + bytes.size() > kMaxFeedQueue) {
        ++counts_.droppedListeners;
        return false;
    }
    link->out.remove(0, int(link->outAt));
    link->outAt = 0;
    link->out += bytes;
    return true;
}

void GamePorts::flush(Link* link)
{
    const qint64 sent = net::Send(link->fd, link->out.constData() + link->outAt, link->queued());
    if (sent < 0) {
        close(link, true);
        return;
    }
    link->outAt += sent;
    if (link->queued() > 0)
        return;
    link->out.clear();
    link->outAt = 0;
    link->queuedSince = -1;
    if (link->request && link->peerClosed) {
        close(link, false);
        return;
    }
    loop_->change(link->fd, kReadEvents);
    if (link->request && link->answered)
        ::shutdown(link->fd, SHUT_WR);
}

void GamePorts::broadcast(Feed feed, const QByteArray& line)
{
    const QByteArray bytes = line + "\r\n";
    QElapsedTimer took;
    took.start();
    std::vector<Link*> gone;
    for (const auto& link : feeds_[int(feed)])
        if (!queue(link.get(), bytes))
            gone.push_back(link.get());
    if (took.nsecsElapsed() / 1000 > counts_.longestFanOutUs) {
        counts_.longestFanOutUs = took.nsecsElapsed() / 1000;
        counts_.longestFanOutListeners = int(feeds_[int(feed)].size());
    }
    for (Link* link : gone)
        close(link, true);
}

void GamePorts::close(Link* link, bool reset)
{
    loop_->forget(link->fd);
    if (reset)
        net::Abort(link->fd);
    else
        ::close(link->fd);
    if (link->request) {
        if (link->limited) {
            const auto use = perAddress_.find(link->peer);
            if (use != perAddress_.end()) {
                --(link->refused ? use->refused : use->served);
                if (use->served <= 0 && use->refused <= 0)
                    perAddress_.erase(use);
            }
        }
        requests_.remove(link->fd);
        delete link;
        return;
    }
    auto& list = feeds_[int(link->feed)];
    const size_t index = link->index;
    if (index + 1 != list.size()) {
        std::swap(list[index], list.back());
        list[index]->index = index;
    }
    list.pop_back();   // deletes the link
}

// Deadlines: a request connection that has not sent its line in time, or not closed after
// its reply; a feed listener whose unsent lines have waited too long.
void GamePorts::sweep()
{
    const qint64 now = Now();
    std::vector<Link*> expired;
    for (Link* link : std::as_const(requests_))
        if (now > link->deadline)
            expired.push_back(link);
    // One that was answered has its reply with the kernel already: a reset could still take
    // it from a client that has not read it yet, so it is closed the polite way.
    for (Link* link : expired) {
        if (!link->answered)
            ++counts_.lateRequests;
        close(link, !link->answered);
    }
    expired.clear();
    for (const auto& list : feeds_)
        for (const auto& link : list)
            if (link->queuedSince >= 0 && now - link->queuedSince > kFeedBehindMs)
                expired.push_back(link.get());
    counts_.droppedListeners += qint64(expired.size());
    for (Link* link : expired)
        close(link, true);
}
