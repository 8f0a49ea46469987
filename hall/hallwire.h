#pragma once
// Wire texts of the demo hall's game server: request parsing, money amounts, card
// cell strings and the draw. Pure functions, no sockets.
#include <QByteArray>
#include <QList>
#include <optional>

namespace hallwire {

// Longest request line the hall reads (without CR LF).
constexpr int kMaxRequestLine = 2048;

struct LoginRequest {
    QByteArray user;
    QByteArray password;
    QByteArray tag;
    QByteArray language;
};
// "PQZ!G6" user "#!PW" password "#!AD" tag "#!LA" language "#".
std::optional<LoginRequest> ParseLogin(const QByteArray& line);

struct PurchaseRequest {
    QByteArray user;
    QByteArray password;
    QByteArray tag;
    QByteArray selection;
    QByteArray alias;
    QByteArray faces;   // as sent; the caller checks it is 1..4
    QByteArray language;
};
// "PQZ!B7" user "#!PW" pw "#!AD" tag "#!AT" selection "#!SK" alias "#!NC" faces "#!LA" lang "#".
std::optional<PurchaseRequest> ParsePurchase(const QByteArray& line);

// "PQZ!GS" + six-character game number + "##"; returns the game number.
std::optional<QByteArray> ParseWinnersRequest(const QByteArray& line);

struct ChatGreeting {
    QByteArray alias;   // what the client calls itself, trimmed; may be empty
    QByteArray user;    // the player ID it signed in with
};
// A chat room's "G" line: "G" alias "%1" player ID "%2". Nothing without a player ID.
std::optional<ChatGreeting> ParseChatGreeting(const QByteArray& line);

// Amounts are whole cents inside the hall and "d.dd" text on the wire.
QByteArray FormatMoney(qint64 cents);
// Accepts "250", "250.5", "250.00"; no sign, at most two decimals, at most 12 digits before the point.
std::optional<qint64> ParseMoney(const QByteArray& text);

// A card of `faces` (1..4) sound 75-ball faces made from `seed`, the same card for the same
// seed: column B from 1..15, I 16..30, N 31..45, G 46..60, O 61..75, no number twice; 25
// characters a face, column by column, number + 50 each; the free square (position 12)
// carries a valid number character too.
QByteArray MakeCardCells(quint64 seed, int faces);
// True when text holds `faces` sound faces as MakeCardCells builds them.
bool IsSoundCard(const QByteArray& text, int faces);

// The draw: 1..75 in the order of a Fisher-Yates shuffle from `seed`.
QList<int> ShuffledDraw(quint64 seed);
// One call code per number (number + 50).
QByteArray CallCodes(const QList<int>& draw);

}  // namespace hallwire
