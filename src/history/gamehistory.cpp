#include "history/gamehistory.h"

#include "views/views.h"

#include <QSaveFile>

GameHistory::GameHistory(const QString& path, StatusView* status, HistoryView* view, Now now)
    : path_(path), status_(status), view_(view),
      now_(now ? std::move(now) : Now([] { return QDateTime::currentDateTimeUtc(); }))
{
}

bool GameHistory::on()
{
    if (store_.isOpen())
        return true;
    if (tried_)
        return false;
    tried_ = true;
    if (store_.open(path_))
        return true;
    offReason_ = store_.error();
    status_->log(QStringLiteral("The history of games is off for this run: %1: %2").arg(path_, offReason_));
    return false;
}

void GameHistory::turnOff()
{
    offReason_ = store_.error();
    store_.close();
    running_ = winnersDue_ = balanceDue_ = false;
    status_->log(QStringLiteral("The history of games is off for this run: %1").arg(offReason_));
}

bool GameHistory::begin(const QString& game, PlayedGame::Outcome outcome)
{
    PlayedGame g;
    g.hall = hall_;
    g.game = game;
    g.time = now_().toUTC();
    g.cards = bought_;
    g.outcome = outcome;
    g.balance = balance_;
    bought_.clear();
    balanceBefore_ = balance_;
    winnersDue_ = balanceDue_ = won_ = false;
    if (!store_.addGame(&g)) {
        turnOff();
        return false;
    }
    gameId_ = g.id;
    return true;
}

void GameHistory::signedIn(const QString& hall, std::optional<Money> balance)
{
    if (!on())
        return;
    hall_ = hall;
    balance_ = balance;
    if (balanceDue_ && balance) {
        balanceDue_ = false;
        if (!store_.setBalance(gameId_, *balance))
            turnOff();
    }
}

void GameHistory::cardBought(const BoughtCard& card)
{
    if (!on())
        return;
    // The rack holds ten cards; a purchase beyond them is not a card of this game.
    if (bought_.size() < 10)
        bought_.append(PlayedCard{card.cardId, card.faces, card.price});
    boughtIn_ = card.game;
    if (card.balance)
        balance_ = card.balance;
    balanceDue_ = false;   // the last game's balance is no longer the balance now
}

void GameHistory::gameStarted(const QString& game, int /*cardsInPlay*/)
{
    if (!on() || bought_.isEmpty())
        return;   // a game the player watches without a card of their own is not theirs
    running_ = begin(game, PlayedGame::Outcome::Unfinished);
}

void GameHistory::gameEnded(const GameOutcome& outcome)
{
    if (!on() || !running_)
        return;
    running_ = false;
    won_ = !outcome.winningCards.isEmpty();
    if (!store_.setOutcome(gameId_, outcome.aborted ? PlayedGame::Outcome::Aborted : PlayedGame::Outcome::Played,
                           outcome.winningCall, int(outcome.winningCards.size()))) {
        turnOff();
        return;
    }
    winnersDue_ = won_;
    balanceDue_ = true;
}

void GameHistory::winnersHeard(const QString& payout, const QStringList& /*names*/)
{
    if (!on() || !winnersDue_)
        return;
    winnersDue_ = false;
    const std::optional<Money> prize = Money::parse(payout.toLatin1());
    if (!prize || prize->cents() <= 0)
        return;
    bool ok = store_.setPrize(gameId_, *prize);
    if (ok && balanceDue_ && balanceBefore_)
        ok = store_.setBalance(gameId_, Money::fromCents(balanceBefore_->cents() + prize->cents()));
    if (!ok)
        turnOff();
}

void GameHistory::leftGame()
{
    if (!on() || bought_.isEmpty())
        return;
    begin(boughtIn_, PlayedGame::Outcome::Left);
}

std::optional<HistoryTotals> GameHistory::totals()
{
    if (!on())
        return std::nullopt;
    // Periods are whole days of the player's own calendar, today included.
    const QDate today = now_().toLocalTime().date();
    const auto since = [today](int daysBefore) {
        return QDateTime(today.addDays(-daysBefore), QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch();
    };
    const auto day = store_.totals(since(0));
    const auto week = store_.totals(since(6));
    const auto month = store_.totals(since(29));
    const auto all = store_.totals(std::nullopt);
    if (!day || !week || !month || !all)
        return std::nullopt;
    return HistoryTotals{*day, *week, *month, *all};
}

void GameHistory::fill()
{
    if (on()) {
        const auto games = store_.games(kGamesShown);
        const auto count = store_.gameCount();
        const auto sums = totals();
        const auto balances = store_.balances(kGamesShown);
        const auto days = store_.days(kDaysShown);
        if (games && count && sums && balances && days) {
            view_->showGames(*games, *count);
            view_->showTotals(*sums);
            view_->showBalanceChart(*balances);
            view_->showDailyChart(*days);
            view_->showHistoryNote(QString());
            return;
        }
        turnOff();
    }
    view_->showGames({}, 0);
    view_->showTotals(HistoryTotals{});
    view_->showBalanceChart({});
    view_->showDailyChart({});
    view_->showHistoryNote(QStringLiteral("Your history of games is not kept in this run: %1.").arg(offReason_));
}

void GameHistory::ShowMyGames()
{
    fill();
    view_->showHistoryWindow();
}

bool GameHistory::ExportCsv(const QString& path)
{
    if (!on()) {
        view_->showHistoryNote(QStringLiteral("Your history of games is not kept in this run: %1.").arg(offReason_));
        return false;
    }
    QSaveFile file(path);
    bool ok = file.open(QIODevice::WriteOnly);
    QString reason = file.errorString();
    if (ok) {
        ok = store_.exportCsv(&file);
        reason = file.error() != QFileDevice::NoError ? file.errorString() : store_.error();
        ok = ok && file.commit();
        if (!ok && file.error() != QFileDevice::NoError)
            reason = file.errorString();
    }
    view_->showHistoryNote(ok ? QStringLiteral("Exported to %1.").arg(path)
                              : QStringLiteral("Could not export to %1: %2.").arg(path, reason));
    return ok;
}
