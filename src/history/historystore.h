#pragma once
// The player's record of games in one SQLite file (history.db in the player's folder).
// One row a game and one a card; money in whole cents; times in seconds since 1970 (UTC).
// The file carries its layout's version (user_version) so that a later program can
// change it and this one leaves a file it does not know alone. Every call answers false or
// nothing when the file cannot be used; the caller decides what that means for the run.
#include "views/historyview.h"

#include <QIODevice>
#include <QString>

#include <optional>

struct sqlite3;
struct sqlite3_stmt;

class HistoryStore {
public:
    // The layout this program reads and writes.
    static constexpr int kVersion = 1;
    // How long a statement waits for another program that holds the file.
    static constexpr int kBusyMs = 250;

    HistoryStore() = default;
    ~HistoryStore();
    HistoryStore(const HistoryStore&) = delete;
    HistoryStore& operator=(const HistoryStore&) = delete;

    // Opens the file, making it and its tables when it is new. False, with the reason, when it
    // is not a record of this layout or cannot be read and written now.
    bool open(const QString& path);
    bool isOpen() const { return db_ != nullptr; }
    void close();
    // What went wrong last, in words for the diagnostic log.
    const QString& error() const { return error_; }

    // The game and its cards in one transaction; sets game->id.
    bool addGame(PlayedGame* game);
    bool setOutcome(qint64 id, PlayedGame::Outcome outcome, int winningCall, int winningCards);
    bool setPrize(qint64 id, Money prize);
    bool setBalance(qint64 id, Money balance);

    // The newest `limit` games with their cards, newest first.
    std::optional<QList<PlayedGame>> games(int limit);
    std::optional<int> gameCount();
    // The games that started at or after `since` (seconds since 1970), or all.
    std::optional<PeriodTotals> totals(std::optional<qint64> since);
    // The balance after each of the newest `limit` games that know it, oldest first.
    std::optional<QList<BalancePoint>> balances(int limit);
    // Spent and won per local day for the newest `limit` days with games, oldest first.
    std::optional<QList<DayFigures>> days(int limit);
    // Every game, oldest first, as CSV into out, a row at a time; false when the file or out failed.
    bool exportCsv(QIODevice* out);

private:
    bool fail(const char* what);
    bool exec(const char* sql);
    sqlite3_stmt* prepare(const char* sql);
    bool makeTables();
    std::optional<QList<PlayedCard>> cardsOf(qint64 id);

    sqlite3* db_ = nullptr;
    QString error_;
};

// A field of a CSV row: as it is, or in double quotes with its quotes doubled when it holds a
// comma, a quote or a line break (or starts or ends with a space).
QByteArray CsvField(const QString& text);
