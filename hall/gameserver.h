#pragma once
// The hall's game server: the request port (login, cards, purchase, winners), the sales
// feed and the game feed, and the game cycle that drives them: waiting, sales, running.
#include "accounts.h"
#include "gameports.h"
#include "passwords.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QMap>
#include <QObject>

#include <memory>
#include <optional>

class HallStore;
class QTimer;

struct GameConfig {
    int tickMs = 1000;          // milliseconds per game second
    int salesSeconds = 120;
    int waitSeconds = 10;       // waiting before the first sales period
    int spacing = 9;            // the client's call spacing, to size the running phase
    int maxCards = 6;           // per player and game
    qint64 priceCents = 50;     // per face
    quint64 seed = 1;
    int gameNumberStart = 100001;
    PortLimits ports;
};

// A card entered into a game.
struct SoldCard {
    QByteArray user;
    QByteArray alias;
    QByteArray cells;   // the faces entered, 25 characters each
    int faces = 0;
    QByteArray cardId;
};

// The outcome of a draw for the sold cards: the call count at which the first card
// completes the pattern, and which cards complete it then. Call count 0: nobody wins
// (kind "E", no cards, or no card completes the pattern within the draw).
struct Judgement {
    int winningCall = 0;
    QList<int> winners;   // indices into the sold cards
};

// Reveals the draw one call at a time on a card of each sold card and runs the bingo
// check after each call, the way the client does.
Judgement JudgeDraw(const QByteArray& descriptor, const QList<int>& draw, const QList<SoldCard>& cards);

// The pattern rotation: descriptors in game order.
const QList<QByteArray>& PatternRotation();
// The prize table sent with a progressive pattern, and its entry for a call count.
QByteArray ProgressivePrizeTable();
QByteArray PrizeForCall(const QByteArray& table, int call);

struct GameResult {
    QByteArray gameNumber;
    int winningCall = 0;
    int finalCall = 0;
    QList<QByteArray> winners;   // aliases, each once
    QByteArray payout;
    QByteArray note;
};

class GameServer : public QObject {
    Q_OBJECT
public:
    enum class Phase { Waiting, Sales, Running };

    // Plays on from where the store left off: its accounts, results, the game on sale and
    // the cards already sold for it.
    GameServer(const GameConfig& config, std::unique_ptr<HallStore> store, QObject* parent = nullptr);
    ~GameServer() override;

    bool listen(const QHostAddress& address, quint16 requestPort, quint16 salesPort, quint16 gamePort, QString* error);
    quint16 requestPort() const;
    quint16 salesPort() const;
    quint16 gamePort() const;

    // Starts the game clock (the waiting phase begins).
    void start();

    // One request line (without CR LF) and its reply line (without CR LF), from a peer whose
    // address is given as net::AddressKey makes it (empty: unknown).
    QByteArray handleRequest(const QByteArray& line, const QByteArray& peer = {});

    // The accounts just imported, their passwords as typed: those sign in without an
    // Argon2id check for the rest of the run.
    void rememberPasswords(const QList<HallAccount>& imported);
    // The account's alias when it has signed in on the request port from that address
    // during this run; nothing otherwise.
    std::optional<QByteArray> signedInAlias(const QByteArray& user, const QHostAddress& peer);

    Phase phase() const { return phase_; }
    QByteArray gameNumber() const;
    QByteArray pattern() const;
    int secondsToStart() const;
    const GameResult* result(const QByteArray& gameNumber) const;
    const GamePorts* ports() const { return ports_; }

    // One game second. Driven by the clock; public so that tests can step it.
    void tick();

signals:
    void phaseChanged(GameServer::Phase phase);
    void gameStarted(const QByteArray& gameNumber, const QByteArray& startLine);

private:
    QByteArray loginReply(const QByteArray& line, const QByteArray& peer);
    enum class Check { Right, Wrong, Busy };
    Check checkPassword(const HallAccount& account, const QByteArray& password);
    QByteArray purchaseReply(const QByteArray& line);
    QByteArray winnersReply(const QByteArray& line);
    QByteArray newSelection(QByteArray* cells);
    QByteArray selectionCells(qint64 code) const;
    QByteArray announcement() const;
    QByteArray jackpot() const;
    QByteArray feedGreeting(GamePorts::Feed feed) const;
    int playerCount() const { return int(held_.size()); }
    void beginSales();
    void startGame();

    GameConfig config_;
    std::unique_ptr<HallStore> store_;
    AccountBook accounts_;
    LoginMemory logins_;
    QElapsedTimer checkClock_;
    qint64 checkCreditAt_ = 0;          // µs on checkClock_
    qint64 checkCreditUs_ = 0;          // Argon2id time the checks may still take
    QHash<QByteArray, QList<QByteArray>> signedIn_;   // by user: the addresses, oldest first
    GamePorts* ports_;
    QTimer* clock_;

    Phase phase_ = Phase::Waiting;
    int elapsed_ = 0;          // game seconds in the current phase
    int runSeconds_ = 0;       // length of the current running phase
    int gameIndex_ = 0;        // games since the start
    QList<SoldCard> sold_;     // cards of the coming game
    QHash<QByteArray, int> held_;   // cards of the coming game by user: one entry per player
    qint64 salesCents_ = 0;
    int nextSerial_ = 1;

    qint64 nextSelection_ = 1000;   // the next card offered

    QMap<QByteArray, GameResult> results_;
    QList<QByteArray> resultOrder_;
    QByteArray lastResult_;
};
