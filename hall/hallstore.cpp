#include "hallstore.h"

#include "hallwire.h"
#include "passwords.h"

#include <QHash>

#include <atomic>

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
CREATE TABLE IF NOT EXISTS imports(key TEXT PRIMARY KEY, value TEXT NOT NULL);
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

// An account's line as imported, without its password: what tells the next import whether the
// operator changed the account.
QByteArray SourceLine(const HallAccount& account)
{
    return account.user + ':' + account.alias + ':' + hallwire::FormatMoney(account.balanceCents) + ':'
        + account.refusal;
}

// The source of a file from before the passwords were hashed held the password as its second
// field (neither a user nor a password holds a colon).
QByteArray SourceWithoutPassword(const QByteArray& source)
{
    QList<QByteArray> fields = source.split(':');
    if (fields.size() > 1)
        fields.removeAt(1);
    return fields.join(':');
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
        // What a change replaces is overwritten, not left in free space for anyone to read.
        && exec("PRAGMA synchronous=NORMAL") && exec("PRAGMA secure_delete=ON") && exec(kSchema)
        && (begin_ = prepare("BEGIN")) && (commit_ = prepare("COMMIT")) && (rollback_ = prepare("ROLLBACK"))
        && (setBalance_ = prepare("UPDATE accounts SET balance = ?1 WHERE user = ?2"))
        && (addCard_ = prepare("INSERT INTO cards(game, serial, card_id, user, alias, faces, cells, price) "
                               "VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"))
        && hashPlainPasswords();
    if (!ok && error)
        *error = QStringLiteral("%1: %2").arg(path, lastError());
    return ok;
}

// A file written before the passwords were hashed: each password, and the imported line that
// held it too, are replaced in one transaction, and the log is folded into the file and
// emptied, so that no copy of a password is left in either.
bool HallStore::hashPlainPasswords()
{
    struct Row {
        qint64 seat;
        QByteArray password;
        QByteArray source;
        QByteArray hash;
    };
    QList<Row> rows;
    {
        Query query(db_, "SELECT seat, password, source FROM accounts");
        while (query.row())
            if (const QByteArray password = Column(query.statement, 1); !passwords::IsHashed(password))
                rows.append({sqlite3_column_int64(query.statement, 0), password, Column(query.statement, 2), {}});
    }
    if (rows.isEmpty())
        return true;
    std::atomic<bool> failed{false};
    passwords::ForEach(int(rows.size()), [&rows, &failed](int i) {
        const auto hash = passwords::Hash(rows[i].password);
        if (hash)
            rows[i].hash = *hash;
        else
            failed = true;
    });
    if (failed)
        return false;
    Query update(db_, "UPDATE accounts SET password = ?1, source = ?2 WHERE seat = ?3");
    bool ok = update.statement && Step(begin_);
    for (const Row& row : rows) {
        if (!ok)
            break;
        Bind(update.statement, 1, row.hash);
        Bind(update.statement, 2, SourceWithoutPassword(row.source));
        sqlite3_bind_int64(update.statement, 3, row.seat);
        ok = Step(update.statement);
    }
    ok = ok && exec("DELETE FROM imports WHERE key = 'accounts'") && Step(commit_);
    if (!ok) {
        Step(rollback_);
        return false;
    }
    return exec("PRAGMA wal_checkpoint(TRUNCATE)");
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
    const auto fail = [error](const QString& why) {
        if (error)
            *error = QStringLiteral("cannot import the accounts: %1").arg(why);
        return false;
    };
    // The whole list, passwords and all, is kept as one Argon2id digest: the same list again
    // costs one check at the start, and the digest tells no more of one password than the
    // account's own hash does.
    QByteArray list;
    for (const HallAccount& account : accounts)
        list += account.user + ':' + account.password + ':' + SourceLine(account) + '\n';
    {
        Query last(db_, "SELECT value FROM imports WHERE key = 'accounts'");
        if (last.row() && passwords::Verify(Column(last.statement, 0), list))
            return true;
    }

    struct Known {
        QByteArray hash;
        QByteArray source;
    };
    QHash<QByteArray, Known> known;
    {
        Query query(db_, "SELECT user, password, source FROM accounts");
        while (query.row())
            known.insert(Column(query.statement, 0), {Column(query.statement, 1), Column(query.statement, 2)});
    }
    // An account is kept when its line and its password are those imported last; the
    // others are replaced. The Argon2id work runs on every core.
    QList<QByteArray> hashes(accounts.size());
    std::atomic<bool> failed{false};
    const QHash<QByteArray, Known>& rows = known;
    passwords::ForEach(int(accounts.size()), [&](int i) {
        const HallAccount& account = accounts[i];
        const auto row = rows.constFind(account.user);
        if (row != rows.constEnd() && row->source == SourceLine(account)
            && passwords::Verify(row->hash, account.password))
            return;
        if (const auto hash = passwords::Hash(account.password))
            hashes[i] = *hash;
        else
            failed = true;
    });
    const auto digest = passwords::Hash(list);
    if (failed || !digest)
        return fail(QStringLiteral("out of memory for the password hashes"));

    Query upsert(db_, "INSERT INTO accounts(user, password, alias, balance, refusal, source) "
                      "VALUES(?1, ?2, ?3, ?4, ?5, ?6) ON CONFLICT(user) DO UPDATE SET password = excluded.password, "
                      "alias = excluded.alias, balance = excluded.balance, refusal = excluded.refusal, "
                      "source = excluded.source");
    Query remember(db_, "INSERT OR REPLACE INTO imports(key, value) VALUES('accounts', ?1)");
    bool ok = upsert.statement && remember.statement && Step(begin_);
    for (int i = 0; ok && i < accounts.size(); ++i) {
        if (hashes[i].isEmpty())
            continue;
        const HallAccount& account = accounts[i];
        Bind(upsert.statement, 1, account.user);
        Bind(upsert.statement, 2, hashes[i]);
        Bind(upsert.statement, 3, account.alias);
        sqlite3_bind_int64(upsert.statement, 4, account.balanceCents);
        Bind(upsert.statement, 5, account.refusal);
        Bind(upsert.statement, 6, SourceLine(account));
        ok = Step(upsert.statement);
    }
    Bind(remember.statement, 1, *digest);
    ok = ok && Step(remember.statement) && Step(commit_);
    if (!ok) {
        const QString why = lastError();
        Step(rollback_);
        return fail(why);
    }
    return true;
}

QList<HallAccount> HallStore::accounts()
{
    QList<HallAccount> accounts;
    Query query(db_, "SELECT user, alias, balance, refusal, password FROM accounts ORDER BY seat");
    while (query.row())
        accounts.append({Column(query.statement, 0), {}, Column(query.statement, 1),
                         sqlite3_column_int64(query.statement, 2), Column(query.statement, 3),
                         Column(query.statement, 4)});
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
