#include "history/historystore.h"

#include <QFile>

#include <sqlite3.h>

#include <algorithm>
#include <limits>

namespace {
const char* OutcomeName(PlayedGame::Outcome outcome)
{
    switch (outcome) {
    case PlayedGame::Outcome::Unfinished: return "unfinished";
    case PlayedGame::Outcome::Played: return "played";
    case PlayedGame::Outcome::Aborted: return "aborted";
    case PlayedGame::Outcome::Left: return "left";
    }
    return "unfinished";
}

PlayedGame::Outcome OutcomeNamed(const QByteArray& name)
{
    for (auto outcome : {PlayedGame::Outcome::Played, PlayedGame::Outcome::Aborted, PlayedGame::Outcome::Left})
        if (name == OutcomeName(outcome))
            return outcome;
    return PlayedGame::Outcome::Unfinished;
}

// A statement that is finalized however the function that prepared it ends.
struct Statement {
    sqlite3_stmt* s = nullptr;
    explicit Statement(sqlite3_stmt* statement) : s(statement) {}
    ~Statement() { sqlite3_finalize(s); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    explicit operator bool() const { return s != nullptr; }
    void bindText(int k, const QString& text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(s, k, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    }
    void bindMoney(int k, const std::optional<Money>& money)
    {
        if (money)
            sqlite3_bind_int64(s, k, money->cents());
        else
            sqlite3_bind_null(s, k);
    }
    QString text(int k) const
    {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(s, k));
        return bytes ? QString::fromUtf8(bytes, sqlite3_column_bytes(s, k)) : QString();
    }
    std::optional<Money> money(int k) const
    {
        if (sqlite3_column_type(s, k) == SQLITE_NULL)
            return std::nullopt;
        return Money::fromCents(sqlite3_column_int64(s, k));
    }
};

// Texts from a hall are kept to a sensible length in the record.
QString Bounded(const QString& text) { return text.left(80); }

// A text from a hall that a spreadsheet would take for a formula is kept as text.
QString CsvText(const QString& text)
{
    static const QString kFormulaStarts = QStringLiteral("=+-@\t\r");
    return !text.isEmpty() && kFormulaStarts.contains(text.front()) ? QLatin1Char('\'') + text : text;
}
}

QByteArray CsvField(const QString& text)
{
    const bool quoted = text.contains(QLatin1Char(',')) || text.contains(QLatin1Char('"'))
                        || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
                        || text.startsWith(QLatin1Char(' ')) || text.endsWith(QLatin1Char(' '));
    if (!quoted)
        return text.toUtf8();
    QString doubled = text;
    doubled.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return '"' + doubled.toUtf8() + '"';
}

HistoryStore::~HistoryStore() { close(); }

void HistoryStore::close()
{
    if (db_)
        sqlite3_close_v2(db_);
    db_ = nullptr;
}

bool HistoryStore::fail(const char* what)
{
    error_ = QString::fromLatin1(what);
    if (db_)
        error_ += QStringLiteral(": ") + QString::fromUtf8(sqlite3_errmsg(db_));
    return false;
}

bool HistoryStore::exec(const char* sql)
{
    return db_ && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

sqlite3_stmt* HistoryStore::prepare(const char* sql)
{
    sqlite3_stmt* statement = nullptr;
    if (!db_ || sqlite3_prepare_v2(db_, sql, -1, &statement, nullptr) != SQLITE_OK) {
        fail("cannot read the record");
        return nullptr;
    }
    return statement;
}

bool HistoryStore::open(const QString& path)
{
    close();
    error_.clear();
    const QByteArray name = QFile::encodeName(path);
    if (sqlite3_open_v2(name.constData(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        fail("cannot open the file");
        close();
        return false;
    }
    sqlite3_busy_timeout(db_, kBusyMs);
    // Reading the layout's version is the first read of the file: a file that is not a
    // database, or one another program holds, stops here.
    int version = -1;
    int tables = -1;
    {
        Statement v(prepare("PRAGMA user_version"));
        if (v && sqlite3_step(v.s) == SQLITE_ROW)
            version = sqlite3_column_int(v.s, 0);
        Statement t(version >= 0 ? prepare("SELECT count(*) FROM sqlite_master") : nullptr);
        if (t && sqlite3_step(t.s) == SQLITE_ROW)
            tables = sqlite3_column_int(t.s, 0);
    }
    bool usable = false;
    if (version < 0 || tables < 0)
        fail("cannot read the file");
    else if (version == 0 && tables == 0)
        usable = makeTables() || fail("cannot make the record's tables");
    else if (version == kVersion)
        usable = true;
    else if (version > kVersion)
        error_ = QStringLiteral("the file was made by a later version of the program (layout %1)").arg(version);
    else
        error_ = QStringLiteral("the file holds tables of another program");
    if (!usable)
        close();
    return usable;
}

bool HistoryStore::makeTables()
{
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    const bool made = exec("CREATE TABLE games("
                           " id INTEGER PRIMARY KEY,"
                           " hall TEXT NOT NULL,"
                           " game TEXT NOT NULL,"
                           " started INTEGER NOT NULL,"
                           " outcome TEXT NOT NULL,"
                           " winning_call INTEGER NOT NULL DEFAULT 0,"
                           " winning_cards INTEGER NOT NULL DEFAULT 0,"
                           " spent INTEGER NOT NULL DEFAULT 0,"
                           " prize INTEGER NOT NULL DEFAULT 0,"
                           " balance INTEGER)")
                      && exec("CREATE TABLE cards("
                              " game_id INTEGER NOT NULL REFERENCES games(id),"
                              " card_id TEXT NOT NULL,"
                              " faces INTEGER NOT NULL,"
                              " price INTEGER)")
                      && exec("CREATE INDEX games_started ON games(started)")
                      && exec("CREATE INDEX cards_game ON cards(game_id)")
                      && exec("PRAGMA user_version = 1");
    static_assert(kVersion == 1, "the layout made here is version 1");
    if (made && exec("COMMIT"))
        return true;
    exec("ROLLBACK");
    return false;
}

bool HistoryStore::addGame(PlayedGame* game)
{
    if (!exec("BEGIN IMMEDIATE"))
        return fail("cannot write the record");
    bool ok = false;
    {
        Statement g(prepare("INSERT INTO games(hall, game, started, outcome, winning_call, winning_cards, spent, prize,"
                            " balance) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        if (g) {
            g.bindText(1, Bounded(game->hall));
            g.bindText(2, Bounded(game->game));
            sqlite3_bind_int64(g.s, 3, game->time.toSecsSinceEpoch());
            sqlite3_bind_text(g.s, 4, OutcomeName(game->outcome), -1, SQLITE_STATIC);
            sqlite3_bind_int(g.s, 5, game->winningCall);
            sqlite3_bind_int(g.s, 6, game->winningCards);
            sqlite3_bind_int64(g.s, 7, game->spent().cents());
            sqlite3_bind_int64(g.s, 8, game->prize.cents());
            g.bindMoney(9, game->balance);
            ok = sqlite3_step(g.s) == SQLITE_DONE;
        }
        const qint64 id = sqlite3_last_insert_rowid(db_);
        Statement c(ok ? prepare("INSERT INTO cards(game_id, card_id, faces, price) VALUES(?, ?, ?, ?)") : nullptr);
        for (const PlayedCard& card : game->cards) {
            if (!c || !ok)
                break;
            sqlite3_reset(c.s);
            sqlite3_bind_int64(c.s, 1, id);
            c.bindText(2, Bounded(card.cardId));
            sqlite3_bind_int(c.s, 3, card.faces);
            c.bindMoney(4, card.price);
            ok = sqlite3_step(c.s) == SQLITE_DONE;
        }
        if (ok)
            game->id = id;
    }
    if (ok && exec("COMMIT"))
        return true;
    fail("cannot write the record");
    exec("ROLLBACK");
    return false;
}

bool HistoryStore::setOutcome(qint64 id, PlayedGame::Outcome outcome, int winningCall, int winningCards)
{
    Statement s(prepare("UPDATE games SET outcome = ?, winning_call = ?, winning_cards = ? WHERE id = ?"));
    if (!s)
        return false;
    sqlite3_bind_text(s.s, 1, OutcomeName(outcome), -1, SQLITE_STATIC);
    sqlite3_bind_int(s.s, 2, winningCall);
    sqlite3_bind_int(s.s, 3, winningCards);
    sqlite3_bind_int64(s.s, 4, id);
    return sqlite3_step(s.s) == SQLITE_DONE || fail("cannot write the record");
}

bool HistoryStore::setPrize(qint64 id, Money prize)
{
    Statement s(prepare("UPDATE games SET prize = ? WHERE id = ?"));
    if (!s)
        return false;
    sqlite3_bind_int64(s.s, 1, prize.cents());
    sqlite3_bind_int64(s.s, 2, id);
    return sqlite3_step(s.s) == SQLITE_DONE || fail("cannot write the record");
}

bool HistoryStore::setBalance(qint64 id, Money balance)
{
    Statement s(prepare("UPDATE games SET balance = ? WHERE id = ?"));
    if (!s)
        return false;
    sqlite3_bind_int64(s.s, 1, balance.cents());
    sqlite3_bind_int64(s.s, 2, id);
    return sqlite3_step(s.s) == SQLITE_DONE || fail("cannot write the record");
}

std::optional<QList<PlayedCard>> HistoryStore::cardsOf(qint64 id)
{
    Statement s(prepare("SELECT card_id, faces, price FROM cards WHERE game_id = ? ORDER BY rowid"));
    if (!s)
        return std::nullopt;
    sqlite3_bind_int64(s.s, 1, id);
    QList<PlayedCard> cards;
    int rc;
    // A game has at most the ten cards of the rack; a record that says more is read no further.
    while ((rc = sqlite3_step(s.s)) == SQLITE_ROW && cards.size() < 10)
        cards.append(PlayedCard{s.text(0), sqlite3_column_int(s.s, 1), s.money(2)});
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) {
        fail("cannot read the record");
        return std::nullopt;
    }
    return cards;
}

std::optional<QList<PlayedGame>> HistoryStore::games(int limit)
{
    Statement s(prepare("SELECT id, hall, game, started, outcome, winning_call, winning_cards, prize, balance"
                        " FROM games ORDER BY started DESC, id DESC LIMIT ?"));
    if (!s)
        return std::nullopt;
    sqlite3_bind_int(s.s, 1, limit);
    QList<PlayedGame> games;
    int rc;
    while ((rc = sqlite3_step(s.s)) == SQLITE_ROW) {
        PlayedGame g;
        g.id = sqlite3_column_int64(s.s, 0);
        g.hall = s.text(1);
        g.game = s.text(2);
        g.time = QDateTime::fromSecsSinceEpoch(sqlite3_column_int64(s.s, 3), Qt::UTC);
        g.outcome = OutcomeNamed(s.text(4).toLatin1());
        g.winningCall = sqlite3_column_int(s.s, 5);
        g.winningCards = sqlite3_column_int(s.s, 6);
        g.prize = Money::fromCents(sqlite3_column_int64(s.s, 7));
        g.balance = s.money(8);
        const auto cards = cardsOf(g.id);
        if (!cards)
            return std::nullopt;
        g.cards = *cards;
        games.append(g);
    }
    if (rc != SQLITE_DONE) {
        fail("cannot read the record");
        return std::nullopt;
    }
    return games;
}

std::optional<int> HistoryStore::gameCount()
{
    Statement s(prepare("SELECT count(*) FROM games"));
    if (s && sqlite3_step(s.s) == SQLITE_ROW)
        return sqlite3_column_int(s.s, 0);
    fail("cannot read the record");
    return std::nullopt;
}

std::optional<PeriodTotals> HistoryStore::totals(std::optional<qint64> since)
{
    Statement s(prepare("SELECT count(*), coalesce(sum(spent), 0), coalesce(sum(prize), 0) FROM games"
                        " WHERE started >= ?"));
    if (!s)
        return std::nullopt;
    sqlite3_bind_int64(s.s, 1, since ? *since : std::numeric_limits<qint64>::min());
    if (sqlite3_step(s.s) != SQLITE_ROW) {
        fail("cannot read the record");
        return std::nullopt;
    }
    PeriodTotals t;
    t.games = sqlite3_column_int(s.s, 0);
    t.spent = Money::fromCents(sqlite3_column_int64(s.s, 1));
    t.won = Money::fromCents(sqlite3_column_int64(s.s, 2));
    return t;
}

std::optional<QList<BalancePoint>> HistoryStore::balances(int limit)
{
    Statement s(prepare("SELECT started, balance FROM games WHERE balance IS NOT NULL"
                        " ORDER BY started DESC, id DESC LIMIT ?"));
    if (!s)
        return std::nullopt;
    sqlite3_bind_int(s.s, 1, limit);
    QList<BalancePoint> points;
    int rc;
    while ((rc = sqlite3_step(s.s)) == SQLITE_ROW)
        points.append(BalancePoint{QDateTime::fromSecsSinceEpoch(sqlite3_column_int64(s.s, 0), Qt::UTC),
                                   Money::fromCents(sqlite3_column_int64(s.s, 1))});
    if (rc != SQLITE_DONE) {
        fail("cannot read the record");
        return std::nullopt;
    }
    std::reverse(points.begin(), points.end());
    return points;
}

std::optional<QList<DayFigures>> HistoryStore::days(int limit)
{
    Statement s(prepare("SELECT date(started, 'unixepoch', 'localtime') AS day, sum(spent), sum(prize) FROM games"
                        " GROUP BY day ORDER BY day DESC LIMIT ?"));
    if (!s)
        return std::nullopt;
    sqlite3_bind_int(s.s, 1, limit);
    QList<DayFigures> days;
    int rc;
    while ((rc = sqlite3_step(s.s)) == SQLITE_ROW)
        days.append(DayFigures{QDate::fromString(s.text(0), Qt::ISODate),
                               Money::fromCents(sqlite3_column_int64(s.s, 1)),
                               Money::fromCents(sqlite3_column_int64(s.s, 2))});
    if (rc != SQLITE_DONE) {
        fail("cannot read the record");
        return std::nullopt;
    }
    std::reverse(days.begin(), days.end());
    return days;
}

bool HistoryStore::exportCsv(QIODevice* out)
{
    Statement s(prepare("SELECT id, hall, game, started, outcome, winning_call, winning_cards, spent, prize, balance"
                        " FROM games ORDER BY started, id"));
    if (!s)
        return false;
    const auto row = [out](const QList<QString>& fields) {
        QByteArray line;
        for (const QString& field : fields)
            line += (line.isEmpty() ? "" : ",") + CsvField(field);
        return out->write(line + "\r\n") == line.size() + 2;
    };
    if (!row({QStringLiteral("Time"), QStringLiteral("Hall"), QStringLiteral("Game"), QStringLiteral("Cards"),
              QStringLiteral("Card ids"), QStringLiteral("Faces"), QStringLiteral("Prices"), QStringLiteral("Spent"),
              QStringLiteral("Outcome"), QStringLiteral("Winning call"), QStringLiteral("Won"),
              QStringLiteral("Prize"), QStringLiteral("Net"), QStringLiteral("Balance after")}))
        return fail("cannot write the file");
    int rc;
    while ((rc = sqlite3_step(s.s)) == SQLITE_ROW) {
        const auto cards = cardsOf(sqlite3_column_int64(s.s, 0));
        if (!cards)
            return false;
        QStringList ids, faces, prices;
        for (const PlayedCard& card : *cards) {
            ids << CsvText(card.cardId);
            faces << QString::number(card.faces);
            prices << (card.price ? card.price->text() : QString());
        }
        const qint64 spent = sqlite3_column_int64(s.s, 7);
        const qint64 prize = sqlite3_column_int64(s.s, 8);
        const std::optional<Money> balance = s.money(9);
        const QDateTime time = QDateTime::fromSecsSinceEpoch(sqlite3_column_int64(s.s, 3), Qt::UTC);
        if (!row({time.toLocalTime().toString(Qt::ISODate), CsvText(s.text(1)), CsvText(s.text(2)),
                  QString::number(cards->size()), ids.join(QStringLiteral(", ")), faces.join(QStringLiteral(", ")),
                  prices.join(QStringLiteral(", ")), Money::fromCents(spent).text(), s.text(4),
                  QString::number(sqlite3_column_int(s.s, 5)),
                  sqlite3_column_int(s.s, 6) > 0 ? QStringLiteral("yes") : QStringLiteral("no"),
                  Money::fromCents(prize).text(), Money::fromCents(prize - spent).text(),
                  balance ? balance->text() : QString()}))
            return fail("cannot write the file");
    }
    return rc == SQLITE_DONE || fail("cannot read the record");
}
