#pragma once
// The player's record of games: every game the player bought into, kept in history.db in
// the player's folder as the core tells what happens, and shown in "My Games".
//
// A game is written when it starts (its hall, number, time and the cards bought in its
// sales, in one transaction), and completed as it goes on: its end (the winning call,
// whether a card of the player's won), the prize (the payout of the winners the hall sends
// at the game's end, for a game the player won; a list asked for later from the menu does
// not count) and the balance after it. The balance after a game is the one the hall
// reports at the next sign-in, which has the prize in it; until that comes (or when the
// player stops before it), it is the balance after the game's last purchase plus the prize.
// Cards bought and then left before the game started are written as a game left.
//
// The record never stops play: a file that cannot be read or written (damaged, locked by
// another program, made by a later version) turns the record off for the run, with one line
// in the diagnostic log.
#include "history/historystore.h"
#include "session/playevents.h"
#include "views/historyview.h"

#include <QDateTime>
#include <QString>

#include <functional>

class StatusView;

class GameHistory : public PlayListener {
public:
    // At most this many games are read into the window and its balance chart at once, and
    // this many days into the chart of each day.
    static constexpr int kGamesShown = 500;
    static constexpr int kDaysShown = 30;
    // The record's file in the player's folder.
    static constexpr const char* kFileName = "history.db";

    using Now = std::function<QDateTime()>;
    // path: the file; now: the time of day (the system's when not given).
    GameHistory(const QString& path, StatusView* status, HistoryView* view, Now now = {});

    // Whether the record is kept in this run. The file is opened when it is first needed (the
    // first sign-in, or My Games), not at start, so the login dialog does not wait for it.
    bool on();

    // The player opens My Games: the window is filled from the record and shown.
    void ShowMyGames();
    // The player exports the record as CSV to path; the window's note says how it went.
    bool ExportCsv(const QString& path);
    // The totals of today, 7 days, 30 days and all, as of now.
    std::optional<HistoryTotals> totals();

    void signedIn(const QString& hall, std::optional<Money> balance) override;
    void cardBought(const BoughtCard& card) override;
    void gameStarted(const QString& game, int cardsInPlay) override;
    void gameEnded(const GameOutcome& outcome) override;
    void winnersHeard(const QString& payout, const QStringList& names) override;
    void leftGame() override;

private:
    // Writes a game begun with the cards bought for it; false when the record went off.
    bool begin(const QString& game, PlayedGame::Outcome outcome);
    // After a failed read or write: the record is off for the rest of the run.
    void turnOff();
    void fill();

    QString path_;
    bool tried_ = false;   // the file has been opened, or failed to open
    HistoryStore store_;
    StatusView* status_;
    HistoryView* view_;
    Now now_;
    QString offReason_;

    QString hall_;
    std::optional<Money> balance_;   // after the last purchase or sign-in
    QList<PlayedCard> bought_;       // for the next game to start
    QString boughtIn_;               // the game announced when they were bought
    // The last game written, while its end, prize or balance is still to come.
    qint64 gameId_ = 0;
    bool running_ = false;
    bool winnersDue_ = false;
    bool balanceDue_ = false;
    bool won_ = false;
    std::optional<Money> balanceBefore_;   // the balance after the game's last purchase
};
