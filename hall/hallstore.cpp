#include "hallstore.h"

#include "hallwire.h"

#include <sqlite3.h>

namespace {

constexpr int kBusyTimeoutMs = 2000;

const char* const kSchema = R"(
CREATE TABLE IF NOT EXISTS accounts(seat INTEGER PRIMARY KEY, user TEXT NOT NULL UNIQUE, password TEXT NOT NULL,
    alias TEXT NOT NULL, balance INTEGER NOT NULL, refusal TEXT NOT NULL, source TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS cards(game TEXT NOT NULL, serial INTEGER NOT NULL, card_id TEXT NOT NULL,
    user TEXT NOT NULL, alias TEXT NOT NULL, faces INTEGER NOT NULL, cells TEXT NOT NULL, price INTEGER NOT NULL,
    PRIMARY KEY(game, serial));
CREATE TABLE IF NOT EXISTS results(game TEXT PRIMARY KEY, winning_call INTEGER NOT NULL,
    final_call INTEGER NOT NULL, winners TEXT NOT NULL, payout TEXT NOT NULL, note TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS state(key TEXT PRIMARY KEY, value INTEGER NOT NULL);
)";

void Bind(sqlite3_stmt* statement, int index, const QByteArray& text)
{
    sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT);
}

QByteArray Column(sqlite3_stmt* statement, int index)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, index));
    return QByteArray(text, sqlite3_column_bytes(statement, index));
}

// Runs a prepared statement that returns no rows and makes it ready for the next use.
bool Step(sqlite3_stmt* statement)
{
    const int status = sqlite3_step(statement);
    sqlite3_reset(statement);
    sqlite3_clear_bindings(statement);
    return status == SQLITE_DONE;
}

// A statement used once; finalized when it goes out of scope.
struct Query {
    sqlite3_stmt* statement = nullptr;
    Query(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &statement, nullptr); }
    ~Query() { sqlite3_finalize(statement); }
    bool row() { return statement && sqlite3_step(statement) == SQLITE_ROW; }
};

QByteArray SourceLine(const HallAccount& account)
{
    return account.user + ':' + account.password + ':' + account.alias + ':'
        + hallwire::FormatMoney(account.balanceCents) + ':' + account.refusal;
}

}  // namespace

HallStore::~HallStore()
{
    for (sqlite3_stmt* statement : {begin_, commit_, rollback_, setBalance_, addCard_})
        sqlite3_finalize(statement);
    sqlite3_close(db_);
}

bool HallStore::open(const QString& path, QString* error)
{
    const bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                    nullptr) == SQLITE_OK
        && sqlite3_busy_timeout(db_, kBusyTimeoutMs) == SQLITE_OK && exec("PRAGMA journal_mode=WAL")
        && exec("PRAGMA synchronous=NORMAL") && exec(kSchema)
        && (begin_ = prepare("BEGIN")) && (commit_ = prepare("COMMIT")) && (rollback_ = prepare("ROLLBACK"))
        && (setBalance_ = prepare("UPDATE accounts SET balance = ?1 WHERE user = ?2"))
        && (addCard_ = prepare("INSERT INTO cards(game, serial, card_id, user, alias, faces, cells, price) "
                               "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"));
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(path, lastError());
    return ok;
}

bool HallStore::exec(const char* sql)
{
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite3_stmt* HallStore::prepare(const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr);
    return statement;
}

QString HallStore::lastError() const
{
    return db_ ? QString::fromUtf8(sqlite3_errmsg(db_)) : QStringLiteral("cannot open");
}

bool HallStore::importAccounts(const QList<HallAccount>& accounts, QString* error)
{
    sqlite3_stmt* upsert = prepare(
        "INSERT INTO accounts(user, password, alias, balance, refusal, source) VALUES(?1, ?2, ?3, ?4, ?5, ?6) "
        "ON CONFLICT(user) DO UPDATE SET password = excluded.password, alias = excluded.alias, "
        "balance = excluded.balance, refusal = excluded.refusal, source = excluded.source "
        "WHERE source IS NOT excluded.source");
    bool ok = upsert && Step(begin_);
    for (const HallAccount& account : accounts) {
        if (!ok)
            break;
        Bind(upsert, 1, account.user);
        Bind(upsert, 2, account.password);
        Bind(upsert, 3, account.alias);
        sqlite3_bind_int64(upsert, 4, account.balanceCents);
        Bind(upsert, 5, account.refusal);
        Bind(upsert, 6, SourceLine(account));
        ok = Step(upsert);
    }
    ok = ok && Step(commit_);
    if (!ok) {
        if (error)
            *error = QStringLiteral("cannot import the accounts: %1").arg(lastError());
        Step(rollback_);
    }
    sqlite3_finalize(upsert);
    return ok;
}

QList<HallAccount> HallStore::accounts()
{
    QList<HallAccount> accounts;
    Query query(db_, "SELECT user, password, alias, balance, refusal FROM accounts ORDER BY seat");
    while (query.row())
        accounts.append({Column(query.statement, 0), Column(query.statement, 1), Column(query.statement, 2),
                         sqlite3_column_int64(query.statement, 3), Column(query.statement, 4)});
    return accounts;
}

bool HallStore::recordPurchase(const QByteArray& user, qint64 balanceCents, const QByteArray& gameNumber, int serial,
                               const SoldCard& card, qint64 priceCents)
{
    if (!Step(begin_))
        return false;
    sqlite3_bind_int64(setBalance_, 1, balanceCents);
    Bind(setBalance_, 2, user);
    Bind(addCard_, 1, gameNumber);
    sqlite3_bind_int(addCard_, 2, serial);
    Bind(addCard_, 3, card.cardId);
    Bind(addCard_, 4, card.user);
    Bind(addCard_, 5, card.alias);
    sqlite3_bind_int(addCard_, 6, card.faces);
    Bind(addCard_, 7, card.cells);
    sqlite3_bind_int64(addCard_, 8, priceCents);
    if (Step(setBalance_) && sqlite3_changes(db_) == 1 && Step(addCard_) && Step(commit_))
        return true;
    Step(rollback_);
    return false;
}

QList<StoredCard> HallStore::cardsOf(const QByteArray& gameNumber)
{
    QList<StoredCard> cards;
    Query query(db_, "SELECT serial, price, user, alias, cells, faces, card_id FROM cards WHERE game = ?1 "
                     "ORDER BY serial");
    Bind(query.statement, 1, gameNumber);
    while (query.row())
        cards.append({sqlite3_column_int(query.statement, 0), sqlite3_column_int64(query.statement, 1),
                      SoldCard{Column(query.statement, 2), Column(query.statement, 3), Column(query.statement, 4),
                               sqlite3_column_int(query.statement, 5), Column(query.statement, 6)}});
    return cards;
}

bool HallStore::recordGame(const GameResult& result, int nextGameIndex)
{
    Query save(db_, "INSERT OR REPLACE INTO results(game, winning_call, final_call, winners, payout, note) "
                    "VALUES(?1, ?2, ?3, ?4, ?5, ?6)");
    Query next(db_, "INSERT OR REPLACE INTO state(key, value) VALUES('game_index', ?1)");
    Bind(save.statement, 1, result.gameNumber);
    sqlite3_bind_int(save.statement, 2, result.winningCall);
    sqlite3_bind_int(save.statement, 3, result.finalCall);
    Bind(save.statement, 4, result.winners.join('\n'));
    Bind(save.statement, 5, result.payout);
    Bind(save.statement, 6, result.note);
    sqlite3_bind_int(next.statement, 1, nextGameIndex);
    if (Step(begin_) && sqlite3_step(save.statement) == SQLITE_DONE && sqlite3_step(next.statement) == SQLITE_DONE
        && Step(commit_))
        return true;
    Step(rollback_);
    return false;
}

QList<GameResult> HallStore::results(int newest)
{
    QList<GameResult> results;
    Query query(db_, "SELECT game, winning_call, final_call, winners, payout, note FROM "
                     "(SELECT rowid, * FROM results ORDER BY rowid DESC LIMIT ?1) ORDER BY rowid");
    sqlite3_bind_int(query.statement, 1, newest);
    while (query.row()) {
        GameResult result;
        result.gameNumber = Column(query.statement, 0);
        result.winningCall = sqlite3_column_int(query.statement, 1);
        result.finalCall = sqlite3_column_int(query.statement, 2);
        const QByteArray winners = Column(query.statement, 3);
        if (!winners.isEmpty())
            result.winners = winners.split('\n');
        result.payout = Column(query.statement, 4);
        result.note = Column(query.statement, 5);
        results.append(result);
    }
    return results;
}

int HallStore::gameIndex()
{
    Query query(db_, "SELECT value FROM state WHERE key = 'game_index'");
    return query.row() ? sqlite3_column_int(query.statement, 0) : 0;
}
