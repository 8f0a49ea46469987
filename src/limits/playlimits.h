#pragma once
// The player's own bounds on play: a spending limit per day and per session, a loss limit
// per day (spent less won), and a reality check every 15, 30 or 60 minutes of a session.
//
// A purchase that would pass a limit is refused before anything is sent. Lowering a limit
// (or setting one where there was none) holds at once; raising or removing one holds only
// after 24 hours, so a decision taken in a calm moment binds the heated one. The limits and
// the day's figures live in "playlimits.cfg" in the player's folder, private to the player,
// written whole and then renamed into place, so a crash never leaves half a file and a
// restart never clears the day's spending.
#include "session/playevents.h"
#include "views/views.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class GameClock;

class PlayLimits : public PlayListener {
public:
    static constexpr const char* kFile = "playlimits.cfg";
    static constexpr qint64 kWaitSeconds = 24 * 60 * 60;   // before a raised or removed limit holds
    static constexpr qint64 kMaxCents = 100'000'000'000;   // a billion: anything larger is no amount
    using WallClock = std::function<QDateTime()>;

    // folder: the player's folder. wall: the date and time (days and the 24-hour wait);
    // clock: the game clock (the session's time for the reality check).
    PlayLimits(const QString& folder, WallClock wall, const GameClock* clock, PlayLimitsView* view,
               StatusView* status);

    LimitState limit(LimitKind kind) const;
    // Sets a limit (none: no limit); returns when the new amount holds.
    QDateTime setLimit(LimitKind kind, std::optional<Money> amount);
    int realityMinutes() const { return realityMinutes_; }
    // 0 (off), 15, 30 or 60; any other value is refused. Holds at once.
    bool setRealityMinutes(int minutes);
    // The Play Limits window, filled with the limits as they stand.
    void ShowLimits();

    // Why a purchase of a card of `faces` faces would pass a limit; empty when it passes none.
    // The price is the one last paid for that many faces (or, before any, the highest price
    // a face has cost, times the faces); before any purchase a card counts as free and only a
    // limit already reached refuses.
    QString refusal(int faces) const;
    std::optional<Money> expectedPrice(int faces) const;

    Money spentToday() const;
    Money wonToday() const;
    RealityFigures session() const;

    // Once a game second: shows the reality check when its interval has passed.
    void secondPassed();
    // The reality check's "Leave the game" waits for the game under way to end.
    void leaveAfterGame() { leaving_ = true; }
    bool leavingAfterGame() const { return leaving_; }

    void signedIn(const QString& hall, std::optional<Money> balance) override;
    void cardBought(const BoughtCard& card) override;
    void gameEnded(const GameOutcome& outcome) override;
    void winnersHeard(const QString& payout, const QStringList& names) override;

    // The file's text, and reading it back (unknown or malformed lines are passed over).
    QByteArray serialize() const;
    void parse(const QByteArray& text);

private:
    struct Limit {
        std::optional<qint64> cents;
        bool changing = false;
        std::optional<qint64> next;
        QDateTime from;
    };
    // Applies the waiting changes whose time has come, and starts a new day's figures.
    void catchUp() const;
    void load();
    void save() const;
    QString path() const;

    QString folder_;
    WallClock wall_;
    const GameClock* clock_;
    PlayLimitsView* view_;
    StatusView* status_;
    mutable std::array<Limit, kLimitKinds> limits_{};
    int realityMinutes_ = 0;
    mutable QDate day_;
    mutable qint64 spentToday_ = 0;
    mutable qint64 wonToday_ = 0;
    std::array<std::optional<qint64>, 5> prices_{};   // by faces 1..4
    // The session: from the run's first sign-in.
    std::optional<qint64> sessionStart_;             // game milliseconds
    qint64 lastCheck_ = 0;                           // game milliseconds of the last reality check
    qint64 spentSession_ = 0;
    qint64 wonSession_ = 0;
    bool wonLastGame_ = false;                        // a card of the player's won the game just ended
    bool leaving_ = false;
};
