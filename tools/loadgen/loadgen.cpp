// vexo-loadgen: many headless players against a running hall, all on one thread, to show how
// far the hall carries. Each player does what the client does: web login (optional), game
// login, the ten starter cards, the sales feed until "go ahead", the game feed until the draw,
// its purchases during sales, the check of its cards, the winners request at the end of the
// game and the sign-in for the next one, at the client's own timings scaled to the hall's game
// second. Sockets are raw and non-blocking behind one epoll descriptor that the event loop
// watches through a single notifier: a QTcpSocket per link costs an object and a notifier each,
// and the event dispatcher polls every notifier on every turn of the loop, which at 20,000
// descriptors is where the generator would spend the cores it shares with the hall.
#include "rules/bingocard.h"
#include "rules/patterns.h"
#include "rules/wire.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <array>
#include <arpa/inet.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <map>
#include <netinet/in.h>
#include <random>
#include <sys/epoll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* kProgramTag = "QZWIN466";
constexpr const char* kVersion = "466";
constexpr const char* kLanguage = "en";
constexpr const char* kLoginScript = "/vexobingo/vxplay466.asp";
constexpr int kMaxLine = 2048;            // the client's read buffer
constexpr int kMaxWebReply = 16384;
constexpr int kFeedSilence = 35;          // game seconds of silence before the client reopens a feed
constexpr int kBuyingCloses = 25;         // seconds before the start
constexpr int kLeaveAt = 5;               // a player without a card leaves this close to the start
constexpr int kBingoToEnd = 30;           // announcement to the end of the game
constexpr int kPauseAfterGame = 30;       // end of the game to the next sign-in
constexpr int kLoginRetry = 5;            // game seconds before a player presses Connect again
constexpr qint64 kSecond = 1000000;       // the generator's clock counts microseconds

qint64 NowUs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * kSecond + ts.tv_nsec / 1000;
}

enum Count {
    WebOk, WebFailed, LoginOk, LoginRefused, LoginMissed, Attempted, Bought, Refused, PurchaseMissed,
    OtherMissed, FeedDrops, FeedReopens, ConnectFailures, LeftWithoutCards, WrongGame, IdleClosed, kCounts
};
const char* const kCountNames[kCounts] = {
    "web_ok", "web_failed", "login_ok", "login_refused", "login_missed", "purchases_attempted",
    "purchases_accepted", "purchases_refused", "purchases_missed", "other_requests_missed", "feed_drops",
    "feed_reconnects", "connect_failures", "left_without_cards", "wrong_game", "idle_closed"};
using Counters = std::array<qint64, kCounts>;

struct Options {
    int players = 1000;
    quint32 host = 0;
    int webPort = 0;
    int requestPort = 41000, salesPort = 49990, gamePort = 46000;
    int cards = 2, faces = 1, games = 2, ramp = 500, idleFeed = 0, idleRequest = 0, hallPid = 0;
    int tickMs = 1000, spacing = 9, replyMs = 10000;
    bool json = false;
    QByteArray webHost;   // "address:port" for the Host header
};

enum class Phase { Out, Waiting, Listening, Sales, Playing };
enum class Req { None, Web, Login, StarterCards, OneCard, Purchase, Winners };

struct Card {
    QByteArray cells;
    int faces = 0;
};

struct Player {
    QByteArray user, password, alias, selection, gameNumber, reqIn, feedIn, reqOut;
    Phase phase = Phase::Out;
    Req pending = Req::None;
    int reqFd = -1, feedFd = -1, cardsTried = 0;
    bool reqUp = false, feedUp = false, feedIsGame = false, feedFresh = false, firstNotice = false;
    quint32 gameHost = 0;
    qint64 nextAt = 0, startAt = 0, buyAt = 0, winnersAt = 0, feedHeard = 0, reqDeadline = 0, reqRetryAt = 0;
    std::vector<Card> cards;
};

struct Idle {
    int fd = -1;
    bool feed = false, up = false;
    qint64 reopenAt = 0;
};

struct Game {
    QByteArray number, calls, pattern;
    int winningCall = 0, expected = 0, wins = 0, early = 0;
    qint64 first = 0;
    std::vector<qint64> delays;   // after the first player had the line
    std::vector<Card> cards;
    bool done = false;
};

struct Spread {
    qint64 first = 0, last = 0;
};

double Percentile(std::vector<qint64> values, int percent)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t at = std::min(values.size() - 1, values.size() * size_t(percent) / 100);
    return double(values[at]) / 1000.0;
}

class Generator {
public:
    explicit Generator(const Options& options) : o_(options), rng_(12345) {}

    bool start()
    {
        ep_ = epoll_create1(EPOLL_CLOEXEC);
        if (ep_ < 0)
            return false;
        notifier_ = new QSocketNotifier(ep_, QSocketNotifier::Read, qApp);
        QObject::connect(notifier_, &QSocketNotifier::activated, qApp, [this] { onEvents(); });
        begin_ = NowUs();
        tick_ = qint64(o_.tickMs) * 1000;
        players_.resize(size_t(o_.players));
        for (int i = 0; i < o_.players; ++i) {
            Player& p = players_[size_t(i)];
            const QByteArray n = QByteArray::number(i + 1).rightJustified(5, '0');
            p.user = "lg" + n;
            p.password = "pw" + n;
            p.gameHost = o_.host;
            p.nextAt = begin_ + qint64(i) * kSecond / std::max(1, o_.ramp);
        }
        idle_.resize(size_t(o_.idleFeed + o_.idleRequest));
        for (size_t i = 0; i < idle_.size(); ++i) {
            idle_[i].feed = int(i) < o_.idleFeed;
            idle_[i].reopenAt = begin_ + qint64(i) * kSecond / std::max(1, o_.ramp);
        }
        auto* scan = new QTimer(qApp);
        scan->setInterval(std::clamp(o_.tickMs / 4, 10, 50));
        QObject::connect(scan, &QTimer::timeout, qApp, [this] { onScan(); });
        scan->start();
        if (o_.hallPid > 0) {
            auto* sample = new QTimer(qApp);
            QObject::connect(sample, &QTimer::timeout, qApp, [this] { sampleHall(); });
            sample->start(1000);
            sampleHall();
        }
        lastDraw_ = begin_;
        return true;
    }

private:
    static void Send(int fd, const QByteArray& bytes)
    {
        [[maybe_unused]] const ssize_t sent = ::send(fd, bytes.constData(), size_t(bytes.size()), MSG_NOSIGNAL);
    }

    int connectTo(quint32 host, int port, quint64 tag, int receiveBuffer)
    {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            ++count_[ConnectFailures];
            return -1;
        }
        if (receiveBuffer > 0)
            ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(quint16(port));
        address.sin_addr.s_addr = host;
        epoll_event event{};
        event.events = EPOLLOUT | EPOLLIN | EPOLLRDHUP;
        event.data.u64 = tag;
        if ((::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 && errno != EINPROGRESS)
            || ::epoll_ctl(ep_, EPOLL_CTL_ADD, fd, &event) != 0) {
            ::close(fd);
            ++count_[ConnectFailures];
            return -1;
        }
        return fd;
    }

    // A connect that has finished: true when it stands, after which only reads are watched.
    bool connected(int fd, quint64 tag, uint32_t events)
    {
        int error = 0;
        socklen_t length = sizeof error;
        ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        if (error != 0 || (events & EPOLLERR)) {
            ++count_[ConnectFailures];
            return false;
        }
        epoll_event event{};
        event.events = (tag & 3) == 2 ? EPOLLRDHUP : EPOLLIN | EPOLLRDHUP;   // idle links never read
        event.data.u64 = tag;
        ::epoll_ctl(ep_, EPOLL_CTL_MOD, fd, &event);
        return true;
    }

    static void Close(int& fd)
    {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }

    static QByteArray loginKey(const Player& p) { return p.user + "#!PW" + p.password + "#!AD" + kProgramTag; }
    qint64 ticks(qint64 n) const { return n * tick_; }
    qint64 jitter(qint64 range) { return range > 0 ? qint64(rng_() % quint64(range)) : 0; }

    // The request link: one line out, one line back, then closed; one request at a time.
    void request(int i, Req kind, const QByteArray& line)
    {
        Player& p = players_[size_t(i)];
        Close(p.reqFd);
        p.pending = kind;
        p.reqOut = kind == Req::Web ? line : line + "\r\n";
        p.reqIn.clear();
        p.reqUp = false;
        p.reqDeadline = now_ + qint64(o_.replyMs) * 1000;
        connectRequest(i);
    }

    void connectRequest(int i)
    {
        Player& p = players_[size_t(i)];
        p.reqRetryAt = 0;
        p.reqUp = false;
        const bool web = p.pending == Req::Web;
        p.reqFd = connectTo(web ? o_.host : p.gameHost, web ? o_.webPort : o_.requestPort, quint64(i) << 2, 0);
        if (p.reqFd < 0)
            p.reqRetryAt = now_ + std::min<qint64>(tick_, kSecond);
    }

    void signIn(int i)
    {
        Player& p = players_[size_t(i)];
        p.phase = Phase::Out;
        p.nextAt = 0;
        if (o_.webPort > 0) {
            const QByteArray body = "username=" + p.user + "&version=" + kVersion;
            request(i, Req::Web,
                    "POST " + QByteArray(kLoginScript) + " HTTP/1.1\r\nHost: " + o_.webHost
                        + "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: "
                        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        } else {
            request(i, Req::Login, "PQZ!G6" + loginKey(p) + "#!LA" + kLanguage + "#");
        }
    }

    void openFeed(int i, bool game)
    {
        Player& p = players_[size_t(i)];
        Close(p.feedFd);
        p.feedIsGame = game;
        p.feedUp = false;
        p.feedIn.clear();
        p.feedHeard = now_;
        p.feedFd = connectTo(p.gameHost, game ? o_.gamePort : o_.salesPort, (quint64(i) << 2) | 1, 0);
    }

    void leave(int i, Count why)
    {
        Player& p = players_[size_t(i)];
        ++count_[why];
        Close(p.feedFd);
        p.cards.clear();
        p.phase = Phase::Out;
        p.nextAt = now_ + ticks(30) + jitter(tick_);   // signs in again once the draw is out
    }

    void onEvents()
    {
        epoll_event events[512];
        const int n = ::epoll_wait(ep_, events, 512, 0);
        for (int k = 0; k < n; ++k) {
            now_ = NowUs();
            const quint64 tag = events[k].data.u64;
            const int index = int(tag >> 2);
            const uint32_t ev = events[k].events;
            switch (tag & 3) {
            case 0: requestEvent(index, tag, ev); break;
            case 1: feedEvent(index, tag, ev); break;
            default: idleEvent(index, tag, ev); break;
            }
        }
    }

    void requestEvent(int i, quint64 tag, uint32_t ev)
    {
        Player& p = players_[size_t(i)];
        if (!p.reqUp) {
            if (!connected(p.reqFd, tag, ev)) {
                Close(p.reqFd);
                p.reqRetryAt = now_ + std::min<qint64>(tick_, kSecond);   // the client's pause before a retry
                return;
            }
            p.reqUp = true;
            Send(p.reqFd, p.reqOut);
            return;
        }
        char buffer[4096];
        const ssize_t got = ::read(p.reqFd, buffer, sizeof buffer);
        if (got < 0 && errno == EAGAIN)
            return;
        const int limit = p.pending == Req::Web ? kMaxWebReply : kMaxLine;
        if (got > 0)
            p.reqIn.append(buffer, int(std::min<ssize_t>(got, limit + 2 - p.reqIn.size())));
        const int end = p.pending == Req::Web ? -1 : int(p.reqIn.indexOf('\n'));
        if (end >= 0) {
            QByteArray line = p.reqIn.left(end);
            if (line.endsWith('\r'))
                line.chop(1);
            Close(p.reqFd);
            reply(i, line);
        } else if (got <= 0 || p.reqIn.size() > limit) {
            Close(p.reqFd);
            if (p.pending == Req::Web && got == 0)
                webReply(i);
            else
                missed(i);   // closed without a reply line: the request stays unanswered
        }
    }

    void webReply(int i)
    {
        Player& p = players_[size_t(i)];
        const QByteArray host = KeyedValue(p.reqIn, "URL&http://", 1024, "/%");
        in_addr address{};
        if (!p.reqIn.startsWith("HTTP/1.1 200") || ::inet_pton(AF_INET, host.constData(), &address) != 1) {
            missed(i);
            return;
        }
        ++count_[WebOk];
        p.gameHost = address.s_addr;
        p.pending = Req::None;
        request(i, Req::Login, "PQZ!G6" + loginKey(p) + "#!LA" + kLanguage + "#");
    }

    void missed(int i)
    {
        Player& p = players_[size_t(i)];
        const Req was = p.pending;
        p.pending = Req::None;
        Close(p.reqFd);
        switch (was) {
        case Req::Web:
        case Req::Login:
            ++count_[was == Req::Web ? WebFailed : LoginMissed];
            p.phase = Phase::Out;
            p.nextAt = now_ + ticks(kLoginRetry) + jitter(tick_);
            break;
        case Req::OneCard:
        case Req::Purchase: ++count_[PurchaseMissed]; break;
        default: ++count_[OtherMissed]; break;
        }
    }

    void reply(int i, const QByteArray& line)
    {
        Player& p = players_[size_t(i)];
        const Req was = p.pending;
        p.pending = Req::None;
        const bool ok = line.startsWith("PQZ!LOGINOK");
        switch (was) {
        case Req::Login:
            if (!line.startsWith("PQZ!LOGIN")) {
                p.pending = was;
                missed(i);
            } else if (!ok) {
                ++count_[LoginRefused];
                p.nextAt = now_ + ticks(30);
            } else {
                ++count_[LoginOk];
                p.alias = FieldValue('B', line);
                p.startAt = now_ + ticks(ToInt(FieldValue('5', line)).value_or(0));
                p.phase = Phase::Waiting;
                p.firstNotice = false;
                p.cards.clear();
                p.cardsTried = 0;
                request(i, Req::StarterCards, "PQZ!S6");
                openFeed(i, false);
            }
            break;
        case Req::StarterCards:
            if (!line.startsWith("PQZ!CARDRG1"))
                ++count_[OtherMissed];
            break;
        case Req::OneCard:
            if (!line.startsWith("PQZ!CARDRG1")) {
                ++count_[Refused];
                break;
            }
            p.selection = FieldValue('A', line);
            request(i, Req::Purchase,
                    "PQZ!B7" + loginKey(p) + "#!AT" + p.selection + "#!SK"
                        + p.alias + "#!NC" + QByteArray::number(o_.faces) + "#!LA" + kLanguage + "#");
            break;
        case Req::Purchase:
            if (ok) {
                ++count_[Bought];
                p.gameNumber = Chars(line, 12, 17);
                p.cards.push_back({FieldValue('B', line), o_.faces});
            } else {
                ++count_[line.startsWith("PQZ!LOGIN") ? Refused : PurchaseMissed];
            }
            break;
        case Req::Winners:
            if (!ok)
                ++count_[OtherMissed];
            break;
        default: break;
        }
    }

    void feedEvent(int i, quint64 tag, uint32_t ev)
    {
        Player& p = players_[size_t(i)];
        if (!p.feedUp) {
            if (!connected(p.feedFd, tag, ev)) {
                Close(p.feedFd);
                p.feedHeard = now_ - ticks(kFeedSilence) + std::min<qint64>(tick_, kSecond);
                return;
            }
            p.feedUp = true;
            p.feedFresh = true;
            return;
        }
        char buffer[16384];
        const ssize_t got = ::read(p.feedFd, buffer, sizeof buffer);
        if (got < 0 && errno == EAGAIN)
            return;
        if (got <= 0) {
            // The client notices nothing; its watchdog reopens the feed after the silence.
            ++count_[FeedDrops];
            Close(p.feedFd);
            return;
        }
        p.feedHeard = now_;
        p.feedIn.append(buffer, int(got));
        int from = 0;
        for (int end; p.feedFd >= 0 && (end = int(p.feedIn.indexOf('\n', from))) >= 0; from = end + 1) {
            const int length = end - from - (end > from && p.feedIn.at(end - 1) == '\r' ? 1 : 0);
            feedLine(i, p.feedIn.mid(from, length));
            p.feedFresh = false;
        }
        p.feedIn.remove(0, from);
        if (p.feedIn.size() > kMaxLine)
            p.feedIn.clear();   // no line is that long
    }

    void feedLine(int i, const QByteArray& line)
    {
        Player& p = players_[size_t(i)];
        if (!p.feedIsGame) {
            if (line.startsWith("PQZACKBUY") && p.phase == Phase::Waiting) {
                p.phase = Phase::Listening;
                openFeed(i, true);
            }
            return;
        }
        if (!line.startsWith("PQZ") || line.startsWith("PQZACK"))
            return;
        const char kind = FieldValue('0', line).left(1).data()[0];
        const QByteArray number = FieldValue('8', line);
        if ((kind == 'A' || kind == 'B' || kind == 'C') && !p.cards.empty() && number != p.gameNumber) {
            leave(i, WrongGame);
            return;
        }
        if (kind == 'A') {
            if (!p.feedFresh) {   // a new link hears the current announcement at once
                Spread& s = announcements_[qHash(line)];
                s.first = s.first ? s.first : now_;
                s.last = now_;
            }
            if (!p.firstNotice) {
                p.firstNotice = true;
                p.phase = Phase::Sales;
                const int seconds = ToInt(FieldValue('4', line)).value_or(0);
                p.startAt = now_ + ticks(seconds);
                p.buyAt = now_ + jitter(ticks(std::max(0, seconds - kBuyingCloses - 5)) / 2);
            }
        } else if (kind == 'B' || kind == 'C') {
            draw(i, number, line);
        }
    }

    void draw(int i, const QByteArray& number, const QByteArray& line)
    {
        Player& p = players_[size_t(i)];
        Game* g = nullptr;
        for (Game& known : games_)
            if (known.number == number)
                g = &known;
        if (!g) {
            games_.push_back({});
            g = &games_.back();
            g->number = number;
            g->calls = FieldValue('A', line);
            g->pattern = FieldValue('7', line);
            g->winningCall = ToInt(FieldValue('5', line)).value_or(0);
            g->first = now_;
            // Every player signed in for this game should hear its draw, also one whose feed was
            // dropped until it left for want of a card.
            g->expected = int(count_[LoginOk] - loginsAtDraw_);
            loginsAtDraw_ = count_[LoginOk];
            lastDraw_ = now_;
        }
        g->delays.push_back(now_ - g->first);
        p.gameNumber = number;
        for (Card& card : p.cards)
            g->cards.push_back(std::move(card));
        p.cards.clear();
        Close(p.feedFd);
        p.phase = Phase::Playing;
        // The client reveals the draw a call per spacing, ends the game 30 seconds after the
        // bingo, asks for the winners, pauses 30 seconds and signs in again.
        const int finalCall = ToInt(FieldValue('6', line)).value_or(0);
        const qint64 end = finalCall <= g->winningCall ? qint64(finalCall + 1) * o_.spacing
                                                       : qint64(g->winningCall + 1) * o_.spacing + kBingoToEnd;
        p.winnersAt = now_ + ticks(end);
        p.nextAt = p.winnersAt + ticks(kPauseAfterGame) + jitter(tick_);
    }

    void idleEvent(int i, quint64 tag, uint32_t ev)
    {
        Idle& c = idle_[size_t(i)];
        if (!c.up && (ev & EPOLLOUT) && !(ev & (EPOLLERR | EPOLLHUP | EPOLLRDHUP)) && connected(c.fd, tag, ev)) {
            c.up = true;
            return;
        }
        ++count_[IdleClosed];
        Close(c.fd);
        c.reopenAt = now_ + std::min<qint64>(tick_, kSecond);
    }

    void onScan()
    {
        now_ = NowUs();
        for (size_t k = 0; k < idle_.size(); ++k) {
            Idle& c = idle_[k];
            if (c.fd < 0 && now_ >= c.reopenAt) {
                c.up = false;
                // A slow reader: a receive buffer too small for one draw line, and never read.
                c.fd = connectTo(o_.host, c.feed ? o_.gamePort : o_.requestPort, (quint64(k) << 2) | 2,
                                 c.feed ? 256 : 0);
                c.reopenAt = now_ + kSecond;
            }
        }
        for (int i = 0; i < o_.players; ++i) {
            Player& p = players_[size_t(i)];
            if (p.pending != Req::None) {
                if (now_ > p.reqDeadline)
                    missed(i);
                else if (p.reqFd < 0 && p.reqRetryAt && now_ >= p.reqRetryAt)
                    connectRequest(i);
            }
            const bool inSession = p.phase == Phase::Waiting || p.phase == Phase::Listening || p.phase == Phase::Sales;
            if (p.phase == Phase::Out && p.nextAt && now_ >= p.nextAt && p.pending == Req::None) {
                signIn(i);
            } else if (inSession && p.cards.empty() && now_ >= p.startAt - ticks(kLeaveAt)) {
                if (p.pending != Req::Purchase && p.pending != Req::OneCard)
                    leave(i, LeftWithoutCards);
            } else if (inSession && now_ - p.feedHeard > ticks(kFeedSilence)) {
                ++count_[FeedReopens];
                openFeed(i, p.phase != Phase::Waiting);
            } else if (p.phase == Phase::Sales && p.pending == Req::None && p.cardsTried < o_.cards
                       && now_ >= p.buyAt && now_ < p.startAt - ticks(kBuyingCloses)) {
                ++p.cardsTried;
                ++count_[Attempted];
                request(i, Req::OneCard, "PQZ!S1");
            } else if (p.phase == Phase::Playing && p.winnersAt && now_ >= p.winnersAt && p.pending == Req::None) {
                p.winnersAt = 0;
                request(i, Req::Winners, "PQZ!GS" + p.gameNumber + "##");
            } else if (p.phase == Phase::Playing && now_ >= p.nextAt && p.pending == Req::None) {
                signIn(i);
            }
        }
        for (Game& g : games_)
            if (!g.done && (int(g.delays.size()) >= g.expected || now_ - g.first > std::max(10 * kSecond, ticks(10))))
                finishGame(g);
        if (now_ - lastDraw_ > ticks(1000) + qint64(o_.players) * kSecond / std::max(1, o_.ramp)) {
            std::fprintf(stderr, "vexo-loadgen: no draw for %d game seconds; giving up\n", 1000);
            stalled_ = true;
            finish();
        }
    }

    // Checks every card entered into the game with the rules library: no card may complete the
    // pattern before the call the hall named for the bingo, and some card should at it.
    void checkCards(Game& g)
    {
        PatternState pattern;
        if (!pattern.LoadGamePattern(g.pattern) || g.winningCall < 1 || g.winningCall > g.calls.size())
            return;
        for (const Card& sold : g.cards) {
            BingoCard card;
            card.FaceCount = sold.faces;
            if (!card.LoadNumbers(sold.cells, QString()))
                continue;
            card.Entered = true;
            for (int k = 0; k < g.winningCall; ++k) {
                if (k == g.winningCall - 1 && pattern.CheckBingo(card, pattern.PatternKind) > 0)
                    ++g.early;
                const int n = static_cast<unsigned char>(g.calls.at(k)) - 50;
                card.SetCalled((n - 1) / 15, n - 15 * ((n - 1) / 15), 1);
            }
            g.wins += pattern.CheckBingo(card, pattern.PatternKind) > 0;
        }
        g.cards.clear();
        g.cards.shrink_to_fit();
    }

    void finishGame(Game& g)
    {
        g.done = true;
        checkCards(g);
        Counters delta;
        for (int c = 0; c < kCounts; ++c)
            delta[size_t(c)] = count_[size_t(c)] - lastCounts_[size_t(c)];
        lastCounts_ = count_;
        spreads_.push_back(g.delays.empty() ? 0 : *std::max_element(g.delays.begin(), g.delays.end()));
        missedDraws_ += std::max(0, g.expected - int(g.delays.size()));
        if (!o_.json) {
            if (gamesDone_ == 0)
                std::printf("%-6s %13s %6s %22s %20s %13s %10s\n", "game", "draw/login", "left",
                        "spread p50/p99/max ms", "buy ok/refused/miss", "feed drop/re", "wins/early");
            std::printf("%-6s %6d/%-6d %6lld %8.1f/%6.1f/%6.1f %6lld/%6lld/%6lld %6lld/%-6lld %4d/%-5d\n",
                        g.number.constData(), int(g.delays.size()), g.expected, delta[LeftWithoutCards],
                        Percentile(g.delays, 50), Percentile(g.delays, 99), Percentile(g.delays, 100),
                        delta[Bought], delta[Refused], delta[PurchaseMissed], delta[FeedDrops], delta[FeedReopens],
                        g.wins, g.early);
            std::fflush(stdout);
        }
        QJsonObject row{{"game", QString::fromLatin1(g.number)}, {"logged_in", g.expected},
                        {"draw_received", int(g.delays.size())},
                        {"spread_p50_ms", Percentile(g.delays, 50)}, {"spread_p99_ms", Percentile(g.delays, 99)},
                        {"spread_max_ms", Percentile(g.delays, 100)}, {"winning_cards", g.wins},
                        {"early_wins", g.early}};
        for (int c = 0; c < kCounts; ++c)
            row.insert(QLatin1String(kCountNames[c]), delta[size_t(c)]);
        rows_.append(row);
        g.delays = {};
        if (++gamesDone_ >= o_.games)
            finish();
    }

    void sampleHall()
    {
        QFile status(QStringLiteral("/proc/%1/status").arg(o_.hallPid));
        QFile stat(QStringLiteral("/proc/%1/stat").arg(o_.hallPid));
        if (!status.open(QIODevice::ReadOnly) || !stat.open(QIODevice::ReadOnly))
            return;
        const QByteArray rss = KeyedValue(status.read(4096), "VmRSS:", 32, "kB").trimmed();
        hallPeakRssKb_ = std::max(hallPeakRssKb_, rss.toLongLong());
        const QByteArray line = stat.read(4096);
        const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 13)
            return;
        const qint64 cpu = fields[11].toLongLong() + fields[12].toLongLong();
        const qint64 at = NowUs();
        if (hallCpuAt_ > 0 && at > hallCpuAt_) {
            const double percent = 100.0 * double(cpu - hallCpu_) / double(sysconf(_SC_CLK_TCK))
                / (double(at - hallCpuAt_) / kSecond);
            hallPeakCpu_ = std::max(hallPeakCpu_, percent);
        } else {
            hallFirstCpu_ = cpu;
            hallFirstAt_ = at;
        }
        hallCpu_ = cpu;
        hallCpuAt_ = at;
    }

    void finish()
    {
        if (finished_)
            return;
        finished_ = true;
        if (o_.hallPid > 0)
            sampleHall();
        rusage own{};
        ::getrusage(RUSAGE_SELF, &own);
        const double wall = double(NowUs() - begin_) / kSecond;
        const double ownCpu = double(own.ru_utime.tv_sec + own.ru_stime.tv_sec)
            + double(own.ru_utime.tv_usec + own.ru_stime.tv_usec) / kSecond;
        const double hallCpu = hallCpuAt_ > hallFirstAt_ ? 100.0 * double(hallCpu_ - hallFirstCpu_)
                / double(sysconf(_SC_CLK_TCK)) / (double(hallCpuAt_ - hallFirstAt_) / kSecond)
                                                         : 0;
        std::vector<qint64> lines;
        for (const auto& [hash, s] : announcements_)
            lines.push_back(s.last - s.first);
        QJsonObject summary{{"players", o_.players}, {"games", gamesDone_}, {"missed_draws", missedDraws_},
                            {"draw_spread_p50_ms", Percentile(spreads_, 50)},
                            {"draw_spread_p99_ms", Percentile(spreads_, 99)},
                            {"draw_spread_max_ms", Percentile(spreads_, 100)},
                            {"announcement_spread_p50_ms", Percentile(lines, 50)},
                            {"announcement_spread_p99_ms", Percentile(lines, 99)},
                            {"announcement_spread_max_ms", Percentile(lines, 100)},
                            {"hall_peak_rss_mb", double(hallPeakRssKb_) / 1024}, {"hall_cpu_percent", hallCpu},
                            {"hall_peak_cpu_percent", hallPeakCpu_}, {"own_cpu_percent", 100 * ownCpu / wall},
                            {"own_peak_rss_mb", double(own.ru_maxrss) / 1024}, {"seconds", wall},
                            {"stalled", stalled_}, {"games_table", rows_}};
        for (int c = 0; c < kCounts; ++c)
            summary.insert(QLatin1String(kCountNames[c]), count_[size_t(c)]);
        if (o_.json) {
            std::printf("%s\n", QJsonDocument(summary).toJson(QJsonDocument::Compact).constData());
        } else {
            std::printf("\n%d players, %d games in %.0f s\n", o_.players, gamesDone_, wall);
            std::printf("draws missed %d; draw spread over games p50 %.1f / p99 %.1f / max %.1f ms\n", missedDraws_,
                        Percentile(spreads_, 50), Percentile(spreads_, 99), Percentile(spreads_, 100));
            std::printf("announcement spread over %zu lines p50 %.1f / p99 %.1f / max %.1f ms\n", lines.size(),
                        Percentile(lines, 50), Percentile(lines, 99), Percentile(lines, 100));
            for (int c = 0; c < kCounts; ++c)
                std::printf("%s %lld%s", kCountNames[c], count_[size_t(c)],
                            c % 4 == 3 || c + 1 == kCounts ? "\n" : ", ");
            if (o_.hallPid > 0)
                std::printf("hall: peak RSS %.1f MB, CPU %.0f%% mean, %.0f%% peak second\n",
                            double(hallPeakRssKb_) / 1024, hallCpu, hallPeakCpu_);
            std::printf("generator: CPU %.0f%%, peak RSS %.1f MB\n", 100 * ownCpu / wall, double(own.ru_maxrss) / 1024);
        }
        std::fflush(stdout);
        const bool failed = stalled_ || missedDraws_ > 0 || count_[PurchaseMissed] > 0 || gamesDone_ < o_.games;
        QCoreApplication::exit(failed ? 1 : 0);
    }

    Options o_;
    std::mt19937_64 rng_;
    int ep_ = -1;
    QSocketNotifier* notifier_ = nullptr;
    std::vector<Player> players_;
    std::vector<Idle> idle_;
    std::vector<Game> games_;
    std::map<size_t, Spread> announcements_;
    std::vector<qint64> spreads_;
    QJsonArray rows_;
    Counters count_{}, lastCounts_{};
    qint64 loginsAtDraw_ = 0;
    qint64 begin_ = 0, now_ = 0, tick_ = kSecond, lastDraw_ = 0;
    qint64 hallPeakRssKb_ = 0, hallCpu_ = 0, hallCpuAt_ = 0, hallFirstCpu_ = 0, hallFirstAt_ = 0;
    double hallPeakCpu_ = 0;
    int gamesDone_ = 0, missedDraws_ = 0;
    bool stalled_ = false, finished_ = false;
};

bool WriteAccounts(const QString& path, int players)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (int i = 1; i <= players; ++i) {
        const QByteArray n = QByteArray::number(i).rightJustified(5, '0');
        file.write("lg" + n + ":pw" + n + ":Load" + n + ":100000.00\n");
    }
    return file.flush();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Plays many headless players against a running hall."));
    parser.addHelpOption();
    const auto add = [&parser](const char* name, const char* help, const char* value) {
        parser.addOption(QCommandLineOption(QLatin1String(name), QLatin1String(help), QLatin1String(value)));
    };
    add("players", "Players (default 1000; accounts lg00001/pw00001 and on).", "n");
    add("host", "Hall address (default 127.0.0.1).", "address");
    add("web-port", "Sign in through the web login on this port first; the game host comes from it.", "port");
    add("request-port", "Request port (default 41000).", "port");
    add("sales-port", "Sales feed port (default 49990).", "port");
    add("game-port", "Game feed port (default 46000).", "port");
    add("cards", "Cards each player buys per game (default 2).", "k");
    add("faces", "Faces per card, 1-4 (default 1).", "f");
    add("games", "Stop after this many games (default 2).", "g");
    add("ramp", "First sign-ins per second (default 500).", "n");
    add("idle-feed", "Extra game-feed links that never read (default 0).", "m");
    add("idle-request", "Request links that never send a line, reopened when closed (default 0).", "m");
    add("hall-pid", "Sample the hall's resident memory and processor time.", "pid");
    add("tick-ms", "The hall's game second in milliseconds (default 1000).", "ms");
    add("spacing", "The client's call spacing in game seconds (default 9).", "seconds");
    add("reply-ms", "Deadline of a request's reply (default 10000).", "ms");
    add("write-accounts", "Write an accounts file for --players players and stop.", "file");
    parser.addOption(QCommandLineOption(QStringLiteral("json"), QStringLiteral("Print the summary as JSON.")));
    parser.process(app);

    Options o;
    struct Number {
        const char* name;
        int* value;
        int low, high;
    };
    const Number numbers[] = {
        {"players", &o.players, 1, 99999}, {"web-port", &o.webPort, 1, 65535},
        {"request-port", &o.requestPort, 1, 65535}, {"sales-port", &o.salesPort, 1, 65535},
        {"game-port", &o.gamePort, 1, 65535}, {"cards", &o.cards, 0, 1000}, {"faces", &o.faces, 1, 4},
        {"games", &o.games, 1, 100000}, {"ramp", &o.ramp, 1, 1000000}, {"idle-feed", &o.idleFeed, 0, 100000},
        {"idle-request", &o.idleRequest, 0, 100000}, {"hall-pid", &o.hallPid, 1, 1 << 30},
        {"tick-ms", &o.tickMs, 1, 60000}, {"spacing", &o.spacing, 1, 600}, {"reply-ms", &o.replyMs, 1, 600000}};
    for (const Number& n : numbers) {
        const QString name = QLatin1String(n.name);
        if (!parser.isSet(name))
            continue;
        bool ok = false;
        *n.value = parser.value(name).toInt(&ok);
        if (!ok || *n.value < n.low || *n.value > n.high) {
            std::fprintf(stderr, "vexo-loadgen: --%s expects a whole number from %d to %d\n", n.name, n.low, n.high);
            return 2;
        }
    }
    o.json = parser.isSet(QStringLiteral("json"));
    if (parser.isSet(QStringLiteral("write-accounts"))) {
        if (!WriteAccounts(parser.value(QStringLiteral("write-accounts")), o.players)) {
            std::fprintf(stderr, "vexo-loadgen: cannot write the accounts file\n");
            return 2;
        }
        return 0;
    }
    const QByteArray host = parser.value(QStringLiteral("host")).toLatin1();
    in_addr address{};
    if (::inet_pton(AF_INET, host.isEmpty() ? "127.0.0.1" : host.constData(), &address) != 1) {
        std::fprintf(stderr, "vexo-loadgen: --host expects a numeric IPv4 address\n");
        return 2;
    }
    o.host = address.s_addr;
    std::signal(SIGPIPE, SIG_IGN);

    // Each player holds a feed and at times a request link: raise the descriptor limit as far as allowed.
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    const rlim_t before = files.rlim_cur;
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
    ::getrlimit(RLIMIT_NOFILE, &files);
    const long needed = 2L * o.players + o.idleFeed + o.idleRequest + 64;
    std::fprintf(stderr, "vexo-loadgen: descriptor limit %lu (was %lu); about %ld needed\n",
                 static_cast<unsigned long>(files.rlim_cur), static_cast<unsigned long>(before), needed);
    if (long(files.rlim_cur) < needed)
        std::fprintf(stderr, "vexo-loadgen: too few descriptors: links will fail\n");

    o.webHost = (host.isEmpty() ? QByteArray("127.0.0.1") : host) + ":" + QByteArray::number(o.webPort);
    Generator generator(o);
    if (!generator.start()) {
        std::fprintf(stderr, "vexo-loadgen: no epoll descriptor\n");
        return 2;
    }
    return app.exec();
}
