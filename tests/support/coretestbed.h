#pragma once
// A game core wired to a recording screen, a recording player and a manual or fast
// clock, with its program folder in a fresh temporary folder.
#include "recordingscreen.h"
#include "rules/wire.h"
#include "game/coreparts.h"
#include "game/gamecore.h"

#include <QTemporaryDir>
#include <initializer_list>
#include <memory>
#include <utility>

class RecordingPlayer : public WavePlayer {
public:
    QStringList played;          // paths, in the order play() was called
    bool playing = false;
    bool failNext = false;
    Mode mode() const override { return playing ? Mode::Playing : Mode::Stopped; }
    bool play(const QString& path, QString* error) override
    {
        if (std::exchange(failNext, false)) {
            if (error)
                *error = QStringLiteral("device busy");
            return false;
        }
        played << path;
        return playing = true;
    }
    void stop() override { finish(); }
    // Ends the sound that plays and delivers its notice.
    void finish()
    {
        if (std::exchange(playing, false))
            emit notify();
    }
};

// A clock that stands still until the test moves it, or runs like the real one.
class ManualClock : public GameClock {
public:
    explicit ManualClock(int msPerSecond = 1000) : GameClock(msPerSecond) {}
    qint64 now() const override { return running ? GameClock::now() : now_; }
    void advance(qint64 gameMs) { now_ += gameMs; }
    bool running = false;
private:
    qint64 now_ = 0;
};

struct CoreTestbed {
    QTemporaryDir dir;
    RecordingScreen screen;
    ManualClock clock;
    RecordingPlayer player;
    std::unique_ptr<GameCore> core;

    explicit CoreTestbed(int msPerSecond = 1000, quint16 requestPort = 1, quint16 gamePort = 1, quint16 salesPort = 1);
    // The configuration the core was built with. remake() builds a new core from it (the old
    // one goes first), on other views when they are given.
    CoreConfig config;
    void remake(const Views* on = nullptr);
    void writeFile(const QString& relative, const QByteArray& bytes);
    QByteArray readFile(const QString& relative) const;
    QString filePath(const QString& relative) const { return dir.filePath(relative); }
    // Runs the start-up of the main window.
    void create() { core->FormCreate(); }
    // A 4-face numbers text: face f column c row r holds 15c + r + 1 + f (all in range).
    static QByteArray numbers(int faces = 4);
    // Call codes (number + 50) of the numbers given.
    static QByteArray codes(std::initializer_list<int> numbers);
    GameCore& c() { return *core; }

    // Driving the core as the server and the clock do; the lines go through the
    // same parser as lines from the sockets.
    void line(Link link, const QByteArray& text) { core->ServerLineReceived(link, text); }
    void tick(int n = 1)
    {
        while (n-- > 0)
            core->Timer1Timer();
    }
    // The game server accepts the sign-in: balance 5.00, alias "Lucky", the pattern,
    // `seconds` to the start.
    void signIn(int seconds = 120, const QByteArray& pattern = "A01000001")
    {
        // The reply answers the game login, as after the web login (and not the winners asked last).
        const_cast<ServerLinks&>(core->links()).setPending(Request::Login);
        line(Link::Request, "PQZ!LOGINOK$05.00%0$1" + pattern + "%1$BLucky%B$5" + QByteArray::number(seconds) + "%5");
    }
    // The sales feed says "buy" and the game feed announces game 100001 (or `game`).
    void openSales(int seconds = 100, const QByteArray& game = "100001")
    {
        line(Link::SalesFeed, "PQZACKBUY1");
        line(Link::GameFeed, "PQZ$0A%0$8" + game + "%8$2 10.00%2$33%3$4" + QByteArray::number(seconds)
                                 + "%4$7A01000001%7");
    }
    // Chooses a card of `faces` faces for the current card (numbers(faces)) and buys it for game
    // 100001 (or `game`).
    void buyCard(int faces = 1, const QByteArray& game = "100001");
    // The game feed starts game 100001 (or `game`) with this draw and figures.
    void startGame(const QByteArray& draw, int winning, int final, const QByteArray& pattern = "A01000001",
                   const QByteArray& game = "100001")
    {
        line(Link::GameFeed, "PQZ$0B%0$8" + game + "%8$A" + draw + "%A$9bingo.gif%9$7" + pattern + "%7$5"
                                 + QByteArray::number(winning) + "%5$6" + QByteArray::number(final) + "%6");
    }
    // Ticks until each of the next `steps` session steps has run (a ball a step rolls lands
    // at once); returns the ticks that took.
    int step(int steps = 1);
    // The last sound begun since the last call, once all have played; empty when none began.
    QString heard();
    // Whether the one-second tick still comes on its own: the event loop turns for four game
    // seconds. Not for the pause after a game, whose ticks change nothing until it ends.
    bool ticking();
};
