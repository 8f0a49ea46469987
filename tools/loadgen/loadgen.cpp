// vexo-loadgen: many headless players against a running hall, all on one thread, to show how
// far the hall carries. Each player does what the client does: web login (optional), game
// login, the ten starter cards, the sales feed until "go ahead", the game feed until the draw,
// its purchases during sales, the check of its cards, the winners request at the end of the
// game and the sign-in for the next one, at the client's own timings scaled to the hall's game
// second. Sockets are raw and non-blocking behind one epoll descriptor that the event loop
// watches through a single notifier: Qt's dispatcher polls every socket notifier on every turn
// of the loop, and 10,000 connected QTcpSockets cost 77% of a core with nothing arriving and the
// loop turning every 10 ms (100 of them, 1%), a core the generator shares with the hall.
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
constexpr int kMaxLine = 2048;         // the client's read buffer
constexpr int kMaxWebReply = 16384;
constexpr int kFeedSilence = 35;       // game seconds of silence before the client reopens a feed
constexpr int kBuyingCloses = 25;      // seconds before the start
constexpr int kLeaveAt = 5;            // a player without a card leaves this close to the start
constexpr int kBingoToEnd = 30;        // announcement to the end of the game
constexpr int kPauseAfterGame = 30;    // end of the game to the next sign-in
constexpr int kLoginRetry = 5;         // game seconds before a player whose login went unanswered tries again
constexpr int kRejoin = 30;            // game seconds before a player who left signs in again
constexpr int kGiveUp = 1000;          // game seconds without a draw
constexpr qint64 kSecond = 1000000;    // the generator's clock counts microseconds

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
    int players = 1000, webPort = 0, requestPort = 41000, salesPort = 49990, gamePort = 46000;
    int cards = 2, faces = 1, games = 2, ramp = 500, idleFeed = 0, idleRequest = 0, hallPid = 0;
    int tickMs = 1000, spacing = 9, replyMs = 10000;
    quint32 host = 0;
    QByteArray webHost;   // "address:port" for the Host header
    bool json = false;
};

// One non-blocking connection; `up` once its connect has completed.
struct Link {
    int fd = -1;
    bool up = false;
    QByteArray in;
};

enum class Phase { Out, Waiting, Listening, Sales, Playing };
enum class Req { None, Web, Login, StarterCards, OneCard, Purchase, Winners };

struct Card {
    QByteArray cells;
    int faces = 0;
};

struct Player {
    QByteArray user, password, alias, gameNumber, reqOut;
    Link req, feed;
    Phase phase = Phase::Out;
    Req pending = Req::None;
    bool feedIsGame = false, feedFresh = false, firstNotice = false;
    int cardsTried = 0;
    quint32 gameHost = 0;
    qint64 nextAt = 0, startAt = 0, buyAt = 0, winnersAt = 0, feedHeard = 0, reqDeadline = 0, reqRetryAt = 0;
    std::vector<Card> cards;
    bool inSession() const { return phase == Phase::Waiting || phase == Phase::Listening || phase == Phase::Sales; }
};

struct Idle {
    Link link;
    bool feed = false;
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

double Percentile(std::vector<qint64> values, int percent)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return double(values[std::min(values.size() - 1, values.size() * size_t(percent) / 100)]) / 1000.0;
}

// Processor seconds over a stretch of microseconds, in per cent of one core.
double Percent(double cpu, qint64 us) { return us > 0 ? 100 * cpu * kSecond / double(us) : 0; }

QByteArray LoginKey(const Player& p) { return p.user + "#!PW" + p.password + "#!AD" + kProgramTag; }

class Generator {
public:
    explicit Generator(const Options& options) : o_(options), tick_(qint64(options.tickMs) * 1000) {}

    bool start()
    {
        ep_ = epoll_create1(EPOLL_CLOEXEC);
        if (ep_ < 0)
            return false;
        auto* notifier = new QSocketNotifier(ep_, QSocketNotifier::Read, qApp);
        QObject::connect(notifier, &QSocketNotifier::activated, qApp, [this] { onEvents(); });
        begin_ = lastDraw_ = NowUs();
        const qint64 step = kSecond / o_.ramp;
        players_.resize(size_t(o_.players));
        for (size_t i = 0; i < players_.size(); ++i) {
            const QByteArray n = QByteArray::number(qulonglong(i + 1)).rightJustified(5, '0');
            players_[i].user = "lg" + n;
            players_[i].password = "pw" + n;
            players_[i].gameHost = o_.host;
            players_[i].nextAt = begin_ + qint64(i) * step;
        }
        idle_.resize(size_t(o_.idleFeed + o_.idleRequest));
        for (size_t i = 0; i < idle_.size(); ++i)
            idle_[i] = {{}, int(i) < o_.idleFeed, begin_ + qint64(i) * step};
        auto* scan = new QTimer(qApp);
        QObject::connect(scan, &QTimer::timeout, qApp, [this] { onScan(); });
        scan->start(std::clamp(o_.tickMs / 4, 10, 50));
        if (o_.hallPid > 0) {
            auto* sample = new QTimer(qApp);
            QObject::connect(sample, &QTimer::timeout, qApp, [this] { sampleHall(); });
            sample->start(1000);
            sampleHall();
        }
        return true;
    }

private:
    qint64 ticks(qint64 n) const { return n * tick_; }
    qint64 retryPause() const { return std::min(tick_, kSecond); }   // the client's pause before a retry
    qint64 jitter(qint64 range) { return range > 0 ? qint64(rng_() % quint64(range)) : 0; }

    void open(Link& link, quint32 host, int port, quint64 tag, int receiveBuffer = 0)
    {
        shut(link);
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        if (fd < 0) {
            ++count_[ConnectFailures];
            return;
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
            return;
        }
        link.fd = fd;
    }

    static void shut(Link& link)
    {
        if (link.fd >= 0)
            ::close(link.fd);
        link.fd = -1;
        link.up = false;
        link.in.clear();
    }

    // The request link: one line out, one line back, then closed; one request at a time.
    void request(size_t i, Req kind, const QByteArray& line)
    {
        Player& p = players_[i];
        p.pending = kind;
        p.reqOut = kind == Req::Web ? line : line + "\r\n";
        p.reqDeadline = now_ + qint64(o_.replyMs) * 1000;
        connectRequest(i);
    }

    void connectRequest(size_t i)
    {
        Player& p = players_[i];
        const bool web = p.pending == Req::Web;
        open(p.req, web ? o_.host : p.gameHost, web ? o_.webPort : o_.requestPort, quint64(i) << 2);
        p.reqRetryAt = p.req.fd < 0 ? now_ + retryPause() : 0;
    }

    void signIn(size_t i)
    {
        Player& p = players_[i];
        p.phase = Phase::Out;
        p.nextAt = 0;
        const QByteArray body = "username=" + p.user + "&version=" + kVersion;
        if (o_.webPort > 0)
            request(i, Req::Web,
                    "POST " + QByteArray(kLoginScript) + " HTTP/1.1\r\nHost: " + o_.webHost
                        + "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: "
                        + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        else
            request(i, Req::Login, "PQZ!G6" + LoginKey(p) + "#!LA" + kLanguage + "#");
    }

    void openFeed(size_t i, bool game)
    {
        Player& p = players_[i];
        p.feedIsGame = game;
        p.feedHeard = now_;
        open(p.feed, p.gameHost, game ? o_.gamePort : o_.salesPort, (quint64(i) << 2) | 1);
    }

    void leave(size_t i, Count why)
    {
        Player& p = players_[i];
        ++count_[why];
        shut(p.feed);
        p.cards.clear();
        p.phase = Phase::Out;
        p.nextAt = now_ + ticks(kRejoin) + jitter(tick_);
    }

    void onEvents()
    {
        epoll_event events[512];
        const int n = ::epoll_wait(ep_, events, 512, 0);
        for (int k = 0; k < n; ++k) {
            now_ = NowUs();
            const quint64 tag = events[k].data.u64;
            const size_t i = size_t(tag >> 2);
            const int kind = int(tag & 3);
            Link& link = kind == 0 ? players_[i].req : kind == 1 ? players_[i].feed : idle_[i].link;
            if (!link.up) {
                int error = 0;
                socklen_t length = sizeof error;
                ::getsockopt(link.fd, SOL_SOCKET, SO_ERROR, &error, &length);
                if (error != 0 || (events[k].events & (EPOLLERR | EPOLLHUP))) {
                    ++count_[ConnectFailures];
                    shut(link);
                    connectFailed(kind, i);
                    continue;
                }
                link.up = true;
                epoll_event event{};
                event.events = kind == 2 ? EPOLLRDHUP : EPOLLIN | EPOLLRDHUP;   // idle links never read
                event.data.u64 = tag;
                ::epoll_ctl(ep_, EPOLL_CTL_MOD, link.fd, &event);
                if (kind == 0)
                    ::send(link.fd, players_[i].reqOut.constData(), size_t(players_[i].reqOut.size()), MSG_NOSIGNAL);
                if (kind == 1)
                    players_[i].feedFresh = true;
                continue;
            }
            // Reads never exceed the room left, so a link's buffer stays bounded and nothing is lost.
            char buffer[kMaxWebReply];
            const int limit = kind == 0 && players_[i].pending == Req::Web ? kMaxWebReply : 2 * kMaxLine;
            const ssize_t got = kind == 2 ? 0 : ::read(link.fd, buffer, size_t(limit - link.in.size()));
            if (got < 0 && errno == EAGAIN)
                continue;
            if (got > 0)
                link.in.append(buffer, int(got));
            if (kind == 0)
                requestData(i, got <= 0 || link.in.size() >= limit);
            else if (kind == 1)
                feedData(i, got <= 0);
            else
                idleClosed(i);
        }
    }

    void connectFailed(int kind, size_t i)
    {
        if (kind == 0)
            players_[i].reqRetryAt = now_ + retryPause();
        else if (kind == 1)   // the watchdog tries again after the client's pause
            players_[i].feedHeard = now_ - ticks(kFeedSilence) + retryPause();
        else
            idleClosed(i);
    }

    void idleClosed(size_t i)
    {
        ++count_[IdleClosed];
        shut(idle_[i].link);
        idle_[i].reopenAt = now_ + retryPause();
    }

    void requestData(size_t i, bool ended)
    {
        Player& p = players_[i];
        const int end = p.pending == Req::Web ? -1 : int(p.req.in.indexOf('\n'));
        if (end < 0 && !ended)
            return;
        QByteArray text = end < 0 ? p.req.in : p.req.in.left(end);
        if (end > 0 && text.endsWith('\r'))
            text.chop(1);
        shut(p.req);
        if (end >= 0)
            reply(i, text);
        else if (p.pending == Req::Web)
            webReply(i, text);
        else
            missed(i);   // closed without a reply line: the request stays unanswered
    }

    void webReply(size_t i, const QByteArray& text)
    {
        Player& p = players_[i];
        const QByteArray host = KeyedValue(text, "URL&http://", 1024, "/%");
        in_addr address{};
        if (!text.startsWith("HTTP/1.1 200") || ::inet_pton(AF_INET, host.constData(), &address) != 1)
            return missed(i);
        ++count_[WebOk];
        p.gameHost = address.s_addr;
        request(i, Req::Login, "PQZ!G6" + LoginKey(p) + "#!LA" + kLanguage + "#");
    }

    void missed(size_t i)
    {
        Player& p = players_[i];
        const Req was = p.pending;
        p.pending = Req::None;
        shut(p.req);
        if (was == Req::Web || was == Req::Login) {
            ++count_[was == Req::Web ? WebFailed : LoginMissed];
            p.phase = Phase::Out;
            p.nextAt = now_ + ticks(kLoginRetry) + jitter(tick_);
        } else {
            ++count_[was == Req::OneCard || was == Req::Purchase ? PurchaseMissed : OtherMissed];
        }
    }

    void reply(size_t i, const QByteArray& line)
    {
        Player& p = players_[i];
        const bool ok = line.startsWith("PQZ!LOGINOK"), login = line.startsWith("PQZ!LOGIN");
        const bool card = line.startsWith("PQZ!CARDRG1");
        switch (p.pending) {
        case Req::Login:
            if (!login)
                return missed(i);
            p.pending = Req::None;
            if (!ok) {
                ++count_[LoginRefused];
                p.nextAt = now_ + ticks(kRejoin);
                return;
            }
            ++count_[LoginOk];
            p.alias = FieldValue('B', line);
            p.startAt = now_ + ticks(ToInt(FieldValue('5', line)).value_or(0));
            p.phase = Phase::Waiting;
            p.firstNotice = false;
            p.cards.clear();
            p.cardsTried = 0;
            request(i, Req::StarterCards, "PQZ!S6");
            return openFeed(i, false);
        case Req::OneCard:
            if (!card)
                break;
            return request(i, Req::Purchase,
                           "PQZ!B7" + LoginKey(p) + "#!AT" + FieldValue('A', line) + "#!SK" + p.alias + "#!NC"
                               + QByteArray::number(o_.faces) + "#!LA" + kLanguage + "#");
        case Req::Purchase:
            if (!ok)
                break;
            ++count_[Bought];
            p.gameNumber = Chars(line, 12, 17);
            p.cards.push_back({FieldValue('B', line), o_.faces});
            p.pending = Req::None;
            return;
        default:
            if (!(p.pending == Req::StarterCards ? card : ok))
                ++count_[OtherMissed];
            p.pending = Req::None;
            return;
        }
        ++count_[login || card ? Refused : PurchaseMissed];   // a purchase the hall turned down
        p.pending = Req::None;
    }

    void feedData(size_t i, bool ended)
    {
        Player& p = players_[i];
        if (ended) {   // the client notices nothing: its watchdog reopens the feed after the silence
            ++count_[FeedDrops];
            return shut(p.feed);
        }
        p.feedHeard = now_;
        int from = 0;
        for (int end; p.feed.fd >= 0 && (end = int(p.feed.in.indexOf('\n', from))) >= 0; from = end + 1) {
            const bool cr = end > from && p.feed.in.at(end - 1) == '\r';
            feedLine(i, p.feed.in.mid(from, end - from - (cr ? 1 : 0)));
            p.feedFresh = false;
        }
        p.feed.in.remove(0, from);
        if (p.feed.in.size() > kMaxLine)
            p.feed.in.clear();   // no line is that long
    }

    void feedLine(size_t i, const QByteArray& line)
    {
        Player& p = players_[i];
        if (!p.feedIsGame) {
            if (line.startsWith("PQZACKBUY") && p.phase == Phase::Waiting) {
                p.phase = Phase::Listening;
                openFeed(i, true);
            }
            return;
        }
        if (!line.startsWith("PQZ") || line.startsWith("PQZACK"))
            return;
        const char kind = FieldValue('0', line).append('\0').at(0);
        const QByteArray number = FieldValue('8', line);
        if (kind != 'A' && kind != 'B' && kind != 'C')
            return;
        if (!p.cards.empty() && number != p.gameNumber)
            return leave(i, WrongGame);
        if (kind != 'A')
            return draw(i, number, line);
        if (!p.feedFresh) {   // a new link hears the current announcement at once: not part of the spread
            auto& [first, last] = announcements_[qHash(line)];
            first = first ? first : now_;
            last = now_;
        }
        if (!p.firstNotice) {
            p.firstNotice = true;
            p.phase = Phase::Sales;
            const int seconds = ToInt(FieldValue('4', line)).value_or(0);
            p.startAt = now_ + ticks(seconds);
            p.buyAt = now_ + jitter(ticks(std::max(0, seconds - kBuyingCloses - 5)) / 2);
        }
    }

    void draw(size_t i, const QByteArray& number, const QByteArray& line)
    {
        Player& p = players_[i];
        auto g = std::find_if(games_.begin(), games_.end(), [&number](const Game& k) { return k.number == number; });
        if (g == games_.end()) {
            g = games_.insert(games_.end(), Game{});
            g->number = number;
            g->calls = FieldValue('A', line);
            g->pattern = FieldValue('7', line);
            g->winningCall = ToInt(FieldValue('5', line)).value_or(0);
            g->first = lastDraw_ = now_;
            // Every player signed in for this game should hear its draw, also one whose feed
            // was dropped until it left for want of a card.
            g->expected = int(count_[LoginOk] - loginsAtDraw_);
            loginsAtDraw_ = count_[LoginOk];
        }
        g->delays.push_back(now_ - g->first);
        std::move(p.cards.begin(), p.cards.end(), std::back_inserter(g->cards));
        p.cards.clear();
        p.gameNumber = number;
        shut(p.feed);
        p.phase = Phase::Playing;
        // The client reveals a call per spacing, ends the game 30 seconds after the bingo (or at
        // the final call), asks for the winners, pauses 30 seconds and signs in again.
        const int finalCall = ToInt(FieldValue('6', line)).value_or(0);
        const qint64 end = finalCall <= g->winningCall ? qint64(finalCall + 1) * o_.spacing
                                                       : qint64(g->winningCall + 1) * o_.spacing + kBingoToEnd;
        p.winnersAt = now_ + ticks(end);
        p.nextAt = p.winnersAt + ticks(kPauseAfterGame) + jitter(tick_);
    }

    void onScan()
    {
        now_ = NowUs();
        for (size_t k = 0; k < idle_.size(); ++k) {
            Idle& c = idle_[k];
            if (c.link.fd < 0 && now_ >= c.reopenAt) {
                // A slow reader: a receive buffer too small for one draw line, and never read.
                open(c.link, o_.host, c.feed ? o_.gamePort : o_.requestPort, (quint64(k) << 2) | 2, c.feed ? 256 : 0);
                c.reopenAt = now_ + kSecond;
            }
        }
        for (size_t i = 0; i < players_.size(); ++i) {
            Player& p = players_[i];
            if (p.pending != Req::None && now_ > p.reqDeadline)
                missed(i);
            else if (p.pending != Req::None && p.req.fd < 0 && p.reqRetryAt && now_ >= p.reqRetryAt)
                connectRequest(i);
            const bool idle = p.pending == Req::None;
            if (p.phase == Phase::Out && p.nextAt && now_ >= p.nextAt && idle) {
                signIn(i);
            } else if (p.inSession() && p.cards.empty() && now_ >= p.startAt - ticks(kLeaveAt)) {
                if (p.pending != Req::Purchase && p.pending != Req::OneCard)
                    leave(i, LeftWithoutCards);
            } else if (p.inSession() && now_ - p.feedHeard > ticks(kFeedSilence)) {
                ++count_[FeedReopens];
                openFeed(i, p.phase != Phase::Waiting);
            } else if (p.phase == Phase::Sales && idle && p.cardsTried < o_.cards && now_ >= p.buyAt
                       && now_ < p.startAt - ticks(kBuyingCloses)) {
                ++p.cardsTried;
                ++count_[Attempted];
                request(i, Req::OneCard, "PQZ!S1");
            } else if (p.phase == Phase::Playing && p.winnersAt && now_ >= p.winnersAt && idle) {
                p.winnersAt = 0;
                request(i, Req::Winners, "PQZ!GS" + p.gameNumber + "##");
            } else if (p.phase == Phase::Playing && !p.winnersAt && now_ >= p.nextAt && idle) {
                signIn(i);
            }
        }
        for (Game& g : games_)
            if (!g.done && (int(g.delays.size()) >= g.expected || now_ - g.first > std::max(10 * kSecond, ticks(10))))
                finishGame(g);
        if (now_ - lastDraw_ > ticks(kGiveUp) + qint64(o_.players) * kSecond / o_.ramp) {
            std::fprintf(stderr, "vexo-loadgen: no draw for %d game seconds; giving up\n", kGiveUp);
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
        g.cards = {};
    }

    void finishGame(Game& g)
    {
        g.done = true;
        checkCards(g);
        Counters d;
        for (size_t c = 0; c < kCounts; ++c)
            d[c] = count_[c] - lastCounts_[c];
        lastCounts_ = count_;
        const int heard = int(g.delays.size());
        spreads_.push_back(g.delays.empty() ? 0 : *std::max_element(g.delays.begin(), g.delays.end()));
        missedDraws_ += std::max(0, g.expected - heard);
        const double p50 = Percentile(g.delays, 50), p99 = Percentile(g.delays, 99), max = Percentile(g.delays, 100);
        if (!o_.json) {
            if (gamesDone_ == 0)
                std::printf("%-6s %13s %6s %22s %20s %15s %10s\n", "game", "draw/login", "left",
                            "spread p50/p99/max ms", "buy ok/refused/miss", "feed drop/re", "wins/early");
            std::printf("%-6s %6d/%-6d %6lld %8.1f/%6.1f/%6.1f %6lld/%6lld/%6lld %7lld/%-7lld %4d/%-5d\n",
                        g.number.constData(), heard, g.expected, d[LeftWithoutCards], p50, p99, max, d[Bought],
                        d[Refused], d[PurchaseMissed], d[FeedDrops], d[FeedReopens], g.wins, g.early);
            std::fflush(stdout);
        }
        QJsonObject row{{"game", QString::fromLatin1(g.number)}, {"logged_in", g.expected}, {"draw_received", heard},
                        {"spread_p50_ms", p50}, {"spread_p99_ms", p99}, {"spread_max_ms", max},
                        {"winning_cards", g.wins}, {"early_wins", g.early}};
        for (size_t c = 0; c < kCounts; ++c)
            row.insert(QLatin1String(kCountNames[c]), d[c]);
        rows_.append(row);
        g.delays = {};
        if (++gamesDone_ >= o_.games)
            finish();
    }

    // The hall's resident memory, and its processor time from /proc/PID/stat (utime + stime).
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
        const double cpu = double(fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
        const qint64 at = NowUs();
        if (hallLast_.second > 0)
            hallPeakCpu_ = std::max(hallPeakCpu_, Percent(cpu - hallLast_.first, at - hallLast_.second));
        else
            hallFirst_ = {cpu, at};
        hallLast_ = {cpu, at};
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
        std::vector<qint64> lines;
        for (const auto& [hash, firstLast] : announcements_)
            lines.push_back(firstLast.second - firstLast.first);
        QJsonObject summary{
            {"players", o_.players}, {"games", gamesDone_}, {"seconds", wall}, {"missed_draws", missedDraws_},
            {"draw_spread_p50_ms", Percentile(spreads_, 50)}, {"draw_spread_p99_ms", Percentile(spreads_, 99)},
            {"draw_spread_max_ms", Percentile(spreads_, 100)}, {"announcements", int(lines.size())},
            {"announcement_spread_p50_ms", Percentile(lines, 50)},
            {"announcement_spread_p99_ms", Percentile(lines, 99)},
            {"announcement_spread_max_ms", Percentile(lines, 100)},
            {"hall_peak_rss_mb", double(hallPeakRssKb_) / 1024},
            {"hall_cpu_percent", Percent(hallLast_.first - hallFirst_.first, hallLast_.second - hallFirst_.second)},
            {"hall_peak_cpu_percent", hallPeakCpu_}, {"own_cpu_percent", 100 * ownCpu / wall},
            {"own_peak_rss_mb", double(own.ru_maxrss) / 1024}, {"stalled", stalled_}};
        for (size_t c = 0; c < kCounts; ++c)
            summary.insert(QLatin1String(kCountNames[c]), count_[c]);
        if (o_.json) {
            summary.insert(QStringLiteral("games_table"), rows_);
            std::printf("%s\n", QJsonDocument(summary).toJson(QJsonDocument::Compact).constData());
        } else {
            std::printf("\n");
            int column = 0;
            for (auto it = summary.begin(); it != summary.end(); ++it) {
                const double v = it.value().toDouble();
                const QByteArray text =
                    v == double(qint64(v)) ? QByteArray::number(qint64(v)) : QByteArray::number(v, 'f', 1);
                std::printf("%-27s %9s%s", qPrintable(it.key()), text.constData(), ++column % 3 ? "   " : "\n");
            }
            std::printf("\n");
        }
        std::fflush(stdout);
        const bool failed = stalled_ || missedDraws_ > 0 || count_[PurchaseMissed] > 0 || gamesDone_ < o_.games;
        QCoreApplication::exit(failed ? 1 : 0);
    }

    Options o_;
    std::mt19937_64 rng_{12345};
    int ep_ = -1;
    std::vector<Player> players_;
    std::vector<Idle> idle_;
    std::vector<Game> games_;
    std::map<size_t, std::pair<qint64, qint64>> announcements_;   // first and last receipt of each line
    std::vector<qint64> spreads_;
    QJsonArray rows_;
    Counters count_{}, lastCounts_{};
    qint64 loginsAtDraw_ = 0, begin_ = 0, now_ = 0, tick_, lastDraw_ = 0, hallPeakRssKb_ = 0;
    std::pair<double, qint64> hallFirst_{}, hallLast_{};   // processor seconds, when
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
    const struct {
        const char* name;
        int* value;
        int low, high;
    } numbers[] = {{"players", &o.players, 1, 99999}, {"web-port", &o.webPort, 1, 65535},
                   {"request-port", &o.requestPort, 1, 65535}, {"sales-port", &o.salesPort, 1, 65535},
                   {"game-port", &o.gamePort, 1, 65535}, {"cards", &o.cards, 0, 1000}, {"faces", &o.faces, 1, 4},
                   {"games", &o.games, 1, 100000}, {"ramp", &o.ramp, 1, 1000000},
                   {"idle-feed", &o.idleFeed, 0, 100000}, {"idle-request", &o.idleRequest, 0, 100000},
                   {"hall-pid", &o.hallPid, 1, 1 << 30}, {"tick-ms", &o.tickMs, 1, 60000},
                   {"spacing", &o.spacing, 1, 600}, {"reply-ms", &o.replyMs, 1, 600000}};
    for (const auto& n : numbers) {
        const QString name = QLatin1String(n.name);
        bool ok = true;
        if (parser.isSet(name) && ((*n.value = parser.value(name).toInt(&ok)) < n.low || *n.value > n.high || !ok)) {
            std::fprintf(stderr, "vexo-loadgen: --%s expects a whole number from %d to %d\n", n.name, n.low, n.high);
            return 2;
        }
    }
    o.json = parser.isSet(QStringLiteral("json"));
    if (parser.isSet(QStringLiteral("write-accounts"))) {
        if (WriteAccounts(parser.value(QStringLiteral("write-accounts")), o.players))
            return 0;
        std::fprintf(stderr, "vexo-loadgen: cannot write the accounts file\n");
        return 2;
    }
    const QByteArray host = parser.isSet(QStringLiteral("host")) ? parser.value(QStringLiteral("host")).toLatin1()
                                                                  : QByteArray("127.0.0.1");
    in_addr address{};
    if (::inet_pton(AF_INET, host.constData(), &address) != 1) {
        std::fprintf(stderr, "vexo-loadgen: --host expects a numeric IPv4 address\n");
        return 2;
    }
    o.host = address.s_addr;
    o.webHost = host + ":" + QByteArray::number(o.webPort);
    std::signal(SIGPIPE, SIG_IGN);

    // Each player holds a feed and at times a request link: raise the descriptor limit as far as allowed.
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    const rlim_t before = files.rlim_cur;
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
    ::getrlimit(RLIMIT_NOFILE, &files);
    const long needed = 2L * o.players + o.idleFeed + o.idleRequest + 64;
    std::fprintf(stderr, "vexo-loadgen: descriptor limit %lu (was %lu), about %ld needed%s\n",
                 static_cast<unsigned long>(files.rlim_cur), static_cast<unsigned long>(before), needed,
                 long(files.rlim_cur) < needed ? ": some links may fail" : "");

    Generator generator(o);
    if (!generator.start()) {
        std::fprintf(stderr, "vexo-loadgen: no epoll descriptor\n");
        return 2;
    }
    return app.exec();
}
