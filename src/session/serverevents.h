#pragma once
// What the game server says, as typed events. The parser is pure: one line in, at
// most one event out; the session decides what an event means in its state.
#include <QByteArray>
#include <QList>
#include <array>
#include <optional>
#include <variant>

// The three links to the game server.
enum class Link { Request, GameFeed, SalesFeed };

// The game server's ports of the three links.
struct LinkPorts {
    quint16 request = 1000;
    quint16 gameFeed = 6000;
    quint16 salesFeed = 9990;
};

// What the request link was opened for; its one reply line is read accordingly.
enum class Request { Login, FourFaces, OneFace, TwoFaces, ThreeFaces, Purchase, StarterCards, Winners };

// Faces of a card request (1..4); 0 for the other requests.
int RequestedFaces(Request request);

// "PQZACK..." on either feed (the sales feed's wait/buy notices), and "A" on the game
// feed. A notice outside the sales wait is read like an announcement.
struct Announcement {
    bool wait = false;              // "PQZACKWAT"
    bool buy = false;               // "PQZACKBUY" followed by a digit (without it: not acted on)
    QByteArray gameNumber;          // $8
    QByteArray pattern;             // $7
    QByteArray jackpot;             // $2
    QByteArray players;             // $3
    std::optional<int> seconds;     // $4
};

// "B" (the draw, with the bingo picture) and "C" (the same, without picture or prize).
struct GameStart {
    bool withPicture = true;        // "B"; "C" beeps instead
    QByteArray gameNumber;
    QByteArray draw;                // at most 80 call codes
    QByteArray bingoImage;
    QByteArray pattern;
    QByteArray jackpot;
    QByteArray players;
    std::optional<int> winningCall;
    std::optional<int> finalCall;
};

struct GameOver {};                 // "D"
struct BingoCalled {};              // "E"

struct LoginReply {
    enum class Verdict { Accepted, WrongPassword, Refused, Other };
    Verdict verdict = Verdict::Other;
    QByteArray balance;             // $0
    QByteArray alias;               // $B
    QByteArray pattern;             // $1
    QByteArray prizeTable;          // $C
    std::optional<int> seconds;     // $5
    QByteArray line;                // the whole line: refusals show characters 12..75
};

struct CardReply {                  // one card of 1..4 faces
    bool ok = false;
    int faces = 4;
    QByteArray selection;           // $A
    QByteArray cells;               // $B
};

struct StarterCards {               // the ten ready-made cards of the sign-in
    bool ok = false;
    std::optional<int> firstId;     // $A
    std::array<QByteArray, 10> cells;   // $B..$K
};

struct PurchaseReply {
    enum class Verdict { Bought, WrongPassword, Refused, Other };
    Verdict verdict = Verdict::Other;
    QByteArray cardId;              // characters 12..29
    QByteArray balance;             // $0
    QByteArray cells;               // $B
    QByteArray selection;           // $C
    QByteArray line;
};

struct WinnersReply {
    bool ok = false;
    QByteArray payout;              // $1
    QList<QByteArray> names;        // $2, comma separated
    QByteArray memo;                // $3
};

using ServerEvent = std::variant<Announcement, GameStart, GameOver, BingoCalled, LoginReply, CardReply, StarterCards,
                                 PurchaseReply, WinnersReply>;

// The prize of a progressive jackpot at each call count 1..75 ("SA:" before call "F:",
// "FA:" from it on, "V<n>:" for single calls; "]" ends each value). Nothing when the
// table has no readable "F:".
using PrizeTable = std::array<QByteArray, 77>;
std::optional<PrizeTable> ParsePrizeTable(const QByteArray& text);

// A feed line: nothing for lines the client does not act on.
std::optional<ServerEvent> ParseFeedLine(Link link, const QByteArray& line);
// The request link's reply to `request`: nothing when it is not the reply expected.
std::optional<ServerEvent> ParseRequestReply(Request request, const QByteArray& line);
