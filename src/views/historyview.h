#pragma once
// What the player's own record of games shows: the games bought into, the totals of a few
// periods, the balance over time and spent against won per day. The record (src/history)
// tells it; the "My Games" window shows it. Every text in it that came from a hall (the
// hall's name, the game number, the card ids) is shown as plain text.
#include "rules/money.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

struct PlayedCard {
    QString cardId;
    int faces = 0;
    std::optional<Money> price;   // unknown when the balance around the purchase was unreadable
};

struct PlayedGame {
    // How far the game went for the player.
    enum class Outcome {
        Unfinished,   // started; its end was never seen (the program ended or the link was lost)
        Played,       // played to its end
        Aborted,      // stopped by the hall
        Left,         // cards bought, then the player left before the game started
    };
    qint64 id = 0;
    QString hall;               // the web host signed in through
    QString game;               // the hall's game number
    QDateTime time;             // when the game started (for a game left: when it was left), UTC
    QList<PlayedCard> cards;
    Outcome outcome = Outcome::Unfinished;
    int winningCall = 0;        // the call on which the game was won; 0 when unknown or aborted
    int winningCards = 0;       // how many of the player's cards won
    Money prize;                // what the hall paid the player for the game
    std::optional<Money> balance;   // the balance after the game

    Money spent() const
    {
        qint64 cents = 0;
        for (const PlayedCard& card : cards)
            cents += card.price ? card.price->cents() : 0;
        return Money::fromCents(cents);
    }
    bool won() const { return winningCards > 0; }
};

// Games, spent, won and net over one period.
struct PeriodTotals {
    int games = 0;
    Money spent;
    Money won;
    Money net() const { return Money::fromCents(won.cents() - spent.cents()); }
};

struct HistoryTotals {
    PeriodTotals today;   // since midnight
    PeriodTotals week;    // today and the six days before
    PeriodTotals month;   // today and the 29 days before
    PeriodTotals all;
};

struct BalancePoint {
    QDateTime time;
    Money balance;
};

struct DayFigures {
    QDate day;
    Money spent;
    Money won;
};

class HistoryView {
public:
    virtual ~HistoryView() = default;
    // The window comes up (or to the front) with what it was last told.
    virtual void showHistoryWindow() = 0;
    // The newest games, newest first; total: how many the record holds in all.
    virtual void showGames(const QList<PlayedGame>& games, int total) = 0;
    virtual void showTotals(const HistoryTotals& totals) = 0;
    // Oldest first.
    virtual void showBalanceChart(const QList<BalancePoint>& points) = 0;
    // Oldest first, only days with games.
    virtual void showDailyChart(const QList<DayFigures>& days) = 0;
    // A line above the table: the record is off, an export went well or failed; empty: none.
    virtual void showHistoryNote(const QString& note) = 0;
};
