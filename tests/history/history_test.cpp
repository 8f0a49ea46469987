// The player's record of games, read back from history.db as another program would: the
// games the core plays are written with their cards, prices, result, prize and balance; a
// file that cannot be used turns the record off and play goes on; the totals of each period
// follow a clock the test sets; the CSV export reads back field for field.
#include "coretestbed.h"
#include "testhall.h"
#include "hall.h"
#include "history/gamehistory.h"
#include "scriptedpeer.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

// The rows of a query, fields joined by '|'; NULL reads "-".
QStringList Rows(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    QStringList rows;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK)
            while (sqlite3_step(s) == SQLITE_ROW) {
                QStringList fields;
                for (int k = 0; k < sqlite3_column_count(s); ++k) {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, k));
                    fields << (text ? QString::fromUtf8(text) : QStringLiteral("-"));
                }
                rows << fields.join('|');
            }
        else
            rows << QStringLiteral("error: %1").arg(QString::fromUtf8(sqlite3_errmsg(db)));
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    return rows;
}

const char kGames[] = "SELECT hall, game, started, outcome, winning_call, winning_cards, spent, prize, balance"
                      " FROM games ORDER BY id";
const char kCards[] = "SELECT game_id, card_id, faces, price FROM cards ORDER BY rowid";

// What My Games was last told.
struct HistoryRecord : HistoryView {
    bool shown = false;
    QList<PlayedGame> games;
    int total = -1;
    HistoryTotals totals;
    QList<BalancePoint> balances;
    QList<DayFigures> days;
    QString note;
    void showHistoryWindow() override { shown = true; }
    void showGames(const QList<PlayedGame>& g, int t) override { games = g, total = t; }
    void showTotals(const HistoryTotals& t) override { totals = t; }
    void showBalanceChart(const QList<BalancePoint>& p) override { balances = p; }
    void showDailyChart(const QList<DayFigures>& d) override { days = d; }
    void showHistoryNote(const QString& n) override { note = n; }
};

int HistoryLogLines(const StatusRecord& status)
{
    int n = 0;
    for (const QString& line : status.logLines)
        n += line.contains(QStringLiteral("history of games")) ? 1 : 0;
    return n;
}

// A testbed whose core tells a record in its program folder.
struct RecordedBed {
    CoreTestbed bed;
    HistoryRecord view;
    QDateTime now = QDateTime(QDate(2026, 12, 7), QTime(20, 0), Qt::LocalTime);
    std::unique_ptr<GameHistory> history;
    QString path() { return bed.filePath(QStringLiteral("history.db")); }
    void record()
    {
        bed.create();
        history = std::make_unique<GameHistory>(path(), &bed.screen.status, &view, [this] { return now; });
        bed.c().events().listen(history.get());
    }
    ~RecordedBed()
    {
        if (history)
            bed.c().events().forget(history.get());
    }
    // Buys card `card` with `faces` faces; the hall's balance after it is `balance`.
    void buy(int card, int faces, const QByteArray& balance, const QByteArray& game = "100001")
    {
        while (bed.c().rack().currentCard() < card)
            bed.c().table().RightCardClick();
        bed.c().shop().chooseFaces(faces);
        bed.line(Link::Request, "PQZ!CARDRG1$A" + QByteArray::number(card) + "%A$B" + CoreTestbed::numbers(faces) + "%B");
        bed.c().shop().Button3Click();
        bed.line(Link::Request, "PQZ!LOGINOK" + game + ".00001.0000" + QByteArray::number(card) + "$" + balance + "%0$B"
                                    + CoreTestbed::numbers(faces) + "%B$C" + QByteArray::number(card) + "%C");
    }
    // The sign-in after a game as the core tells it (the wire's way to it needs a web service:
    // the demo-hall test below takes it).
    void hallBalance(const QByteArray& balance)
    {
        const QString hall = bed.c().settings().values().WebHost;
        bed.c().events().tell([&](PlayListener& l) { l.signedIn(hall, Money::parse(balance)); });
    }
    // Another session: a new core on the same record, signed in with 5.00.
    void nextSession()
    {
        bed.c().events().forget(history.get());
        bed.remake();
        bed.create();
        bed.c().events().listen(history.get());
        bed.signIn();
    }
    // A game whose draw completes row 3 of face 1 of card 1 on the fifth call (4, 19, 34, 49, 64)
    // or, for a game the player loses, never; the hall ends it, and its winners follow.
    void play(bool win, const QByteArray& game = "100001")
    {
        bed.startGame(win ? CoreTestbed::codes({4, 19, 34, 49, 64, 70}) : CoreTestbed::codes({70, 71, 72, 73, 74, 75}),
                      5, 6, "A01000001", game);
        bed.step(6);
        bed.line(Link::GameFeed, "PQZ$0D%0");
        bed.line(Link::Request, "PQZ!LOGINOK$125.00%1$2Lucky,Ann%2$3Well done%3");
    }
};

TEST(History, EachGameIsWrittenWithItsCardsPricesResultPrizeAndTheBalanceAfter)
{
    RecordedBed r;
    r.record();
    const QString hall = r.bed.c().settings().values().WebHost;
    r.bed.signIn();                    // balance 5.00
    r.bed.openSales(100);
    r.bed.tick(10);
    r.buy(1, 1, "04.00");
    r.buy(2, 2, "02.00");   // its first face holds card 1's numbers: both cards win
    r.bed.tick(60);
    r.now = r.now.addSecs(60);
    const qint64 firstStart = r.now.toSecsSinceEpoch();
    r.play(true);
    // The prize is the end-of-game payout; until the next sign-in the balance is the last
    // purchase's plus the prize.
    EXPECT_EQ(Rows(r.path(), kGames).join('\n').toStdString(),
              QStringLiteral("%1|100001|%2|played|5|2|300|2500|2700").arg(hall).arg(firstStart).toStdString());
    // Winners asked for from the menu later are another game's: no prize moves.
    r.bed.c().ShowLastWinners(QStringLiteral("000000"));
    r.bed.line(Link::Request, "PQZ!LOGINOK$199.00%1$2Lucky%2$3%3");
    r.hallBalance("26.50");   // the hall's own balance after the game wins over the sum
    EXPECT_EQ(Rows(r.path(), "SELECT prize, balance FROM games").join('\n').toStdString(), "2500|2650");

    // A game lost: the others' winners pay the player nothing; the balance after it is the one
    // of the next sign-in (5.00 here).
    r.nextSession();
    r.bed.openSales(100, "100003");
    r.bed.tick(10);
    r.buy(1, 4, "01.00", "100003");
    r.bed.tick(60);
    r.play(false, "100003");
    // Sales that close without a card: nothing to record.
    r.nextSession();
    r.bed.openSales(100, "100004");
    r.bed.tick(120);
    // Cards bought, then the game that starts is another one: the player leaves it, and the
    // game left is recorded with what it cost.
    r.nextSession();
    r.bed.openSales(100, "100005");
    r.bed.tick(10);
    r.buy(1, 1, "04.00", "100005");
    r.bed.tick(60);
    r.play(false, "100006");

    const QStringList games = Rows(r.path(), "SELECT id, game, outcome, winning_cards, spent, prize, balance FROM games");
    EXPECT_EQ(games.join('\n').toStdString(),
              "1|100001|played|2|300|2500|2650\n2|100003|played|0|400|0|500\n3|100005|left|0|100|0|400");
    EXPECT_EQ(Rows(r.path(), kCards).join('\n').toStdString(),
              "1|100001.00001.00001|1|100\n1|100001.00001.00002|2|200\n2|100003.00001.00001|4|400\n"
              "3|100005.00001.00001|1|100");
    EXPECT_EQ(Rows(r.path(), "PRAGMA user_version").join('\n').toStdString(), "1");
    EXPECT_EQ(HistoryLogLines(r.bed.screen.status), 0);
}

TEST(History, AGameAgainstTheDemoHallIsRecordedAsTheHallPlayedIt)
{
    constexpr int kTickMs = 20;
    QTemporaryDir www;
    Hall hall(FastHallConfig(www, kTickMs, 70, 7));
    QString error;
    ASSERT_TRUE(hall.start(&error)) << error.toStdString();
    CoreTestbed bed(kTickMs, hall.requestPort(), hall.gamePort(), hall.salesPort());
    bed.clock.running = true;
    RememberDemoPlayer(bed, hall);
    bed.create();
    HistoryRecord view;
    const QString path = bed.filePath(QStringLiteral("history.db"));
    GameHistory history(path, &bed.screen.status, &view);
    GameCore& core = bed.c();
    core.events().listen(&history);
    const GameRound& round = core.round();
    core.ConnecttoGame1Click();
    ASSERT_TRUE(WaitFor([&] { return round.phase() == Phase::SalesOpen && round.announced() && !core.links().busy(); },
                        20000));
    const std::optional<Money> start = bed.screen.figures.balance;
    core.shop().chooseFaces(2);
    ASSERT_TRUE(WaitFor([&] { return !core.links().busy() && core.rack().card(1).FaceCount == 2; }));
    core.shop().Button3Click();
    ASSERT_TRUE(WaitFor([&] { return core.rack().card(1).Entered; }));
    const QString cardId = core.rack().card(1).CardId;
    const QString game = round.gameNumber();
    const std::optional<Money> afterPurchase = bed.screen.figures.balance;
    ASSERT_TRUE(start && afterPurchase);
    ASSERT_TRUE(WaitFor([&] { return round.running(); }, 20000));
    ASSERT_TRUE(WaitFor([&] { return round.callCount() == round.winningCall(); }, 30000));
    const int winningCall = round.winningCall();
    core.table().Button4Click();
    ASSERT_TRUE(WaitFor([&] { return round.phase() == Phase::Pause && bed.screen.winners.shown; }));
    const QString payout = bed.screen.winners.last.payout;
    ASSERT_TRUE(WaitFor([&] { return round.phase() != Phase::Pause && !core.links().busy(); }, 10000));
    ASSERT_TRUE(WaitFor([&] { return round.phase() == Phase::SalesOpen; }, 10000));
    const std::optional<Money> after = bed.screen.figures.balance;
    core.events().forget(&history);

    const qint64 spent = start->cents() - afterPurchase->cents();
    const std::optional<Money> prize = Money::parse(payout.toLatin1());
    ASSERT_TRUE(prize && after);
    EXPECT_EQ(Rows(path, "SELECT hall, game, outcome, winning_call, winning_cards, spent, prize, balance FROM games")
                  .join('\n').toStdString(),
              QStringLiteral("%1|%2|played|%3|1|%4|%5|%6")
                  .arg(hall.webHost(), game).arg(winningCall).arg(spent).arg(prize->cents()).arg(after->cents())
                  .toStdString());
    EXPECT_EQ(Rows(path, kCards).join('\n').toStdString(),
              QStringLiteral("1|%1|2|%2").arg(cardId).arg(spent).toStdString());
}

// How the record is off: what lies in history.db before the run, or what happens to it during it.
enum class Trouble { Garbage, LockedAtStart, LockedInPlay, LaterLayout };

TEST(History, AFileThatCannotBeUsedTurnsTheRecordOffWithOneLogLineAndPlayGoesOn)
{
    for (Trouble trouble : {Trouble::Garbage, Trouble::LockedAtStart, Trouble::LockedInPlay, Trouble::LaterLayout}) {
        SCOPED_TRACE(int(trouble));
        RecordedBed r;
        QByteArray garbage;
        for (int k = 0; k < 4096; ++k)
            garbage += char((k * 7919 + 13) & 0xff);
        if (trouble == Trouble::Garbage)
            r.bed.writeFile(QStringLiteral("history.db"), garbage);
        if (trouble == Trouble::LaterLayout) {
            HistoryStore earlier;   // a record in this layout, which a later program has changed
            ASSERT_TRUE(earlier.open(r.path()));
        }
        sqlite3* other = nullptr;
        const auto lock = [&] {
            ASSERT_EQ(sqlite3_open(QFile::encodeName(r.path()).constData(), &other), SQLITE_OK);
            ASSERT_EQ(sqlite3_exec(other, trouble == Trouble::LaterLayout
                                              ? "PRAGMA user_version = 7"
                                              : "PRAGMA locking_mode = EXCLUSIVE; BEGIN EXCLUSIVE;"
                                                " CREATE TABLE IF NOT EXISTS other(x);",
                                   nullptr, nullptr, nullptr),
                      SQLITE_OK);
        };
        if (trouble == Trouble::LockedAtStart || trouble == Trouble::LaterLayout)
            lock();
        r.record();
        if (trouble == Trouble::LockedInPlay) {
            EXPECT_TRUE(r.history->on());
            lock();
        }
        r.bed.signIn();
        r.bed.openSales(100);
        r.bed.tick(10);
        r.buy(1, 1, "04.00");
        r.bed.tick(60);
        r.play(true);
        r.history->ShowMyGames();
        // The card was bought, the game played to its end and its winners shown.
        EXPECT_EQ(r.bed.screen.figures.balance, Money::fromCents(400));
        EXPECT_EQ(r.bed.c().round().phase(), Phase::Pause);
        EXPECT_TRUE(r.bed.screen.winners.shown);
        EXPECT_FALSE(r.history->on());
        EXPECT_EQ(HistoryLogLines(r.bed.screen.status), 1) << r.bed.screen.status.logLines.join('\n').toStdString();
        EXPECT_TRUE(r.view.shown && r.view.games.isEmpty());
        EXPECT_TRUE(r.view.note.contains(QStringLiteral("not kept"))) << r.view.note.toStdString();
        if (other) {
            sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(other);
        }
        // Nothing was written over what was there.
        if (trouble == Trouble::Garbage) {
            EXPECT_EQ(r.bed.readFile(QStringLiteral("history.db")), garbage);
        } else if (trouble == Trouble::LaterLayout) {
            EXPECT_EQ(Rows(r.path(), "SELECT count(*) FROM games").join(',').toStdString(), "0");
            EXPECT_EQ(Rows(r.path(), "PRAGMA user_version").join(',').toStdString(), "7");
        } else {
            EXPECT_EQ(Rows(r.path(), "SELECT count(*) FROM games").join(',').toStdString(),
                      trouble == Trouble::LockedInPlay ? "0" : "error: no such table: games");
        }
    }
}

// The record fed directly, as the core would, at times the test chooses.
struct Clocked {
    QTemporaryDir dir;
    StatusRecord status;
    HistoryRecord view;
    QDateTime now;
    GameHistory history{dir.filePath(QStringLiteral("history.db")), &status, &view, [this] { return now; }};
    // A game started at `at` with one card a price, won with `prize` (0: lost), balance after it.
    void game(const QDateTime& at, std::initializer_list<int> prices, int prize, int balance, const QString& hall = "h")
    {
        now = at;
        history.signedIn(hall, Money::fromCents(balance + 1000));
        int k = 0;
        for (int price : prices)
            history.cardBought(BoughtCard{QStringLiteral("1"), QStringLiteral("G.%1").arg(++k), 1,
                                          Money::fromCents(price), std::nullopt});
        history.gameStarted(QStringLiteral("G"), k);
        history.gameEnded(GameOutcome{QStringLiteral("G"), false, 40, prize > 0 ? QList<int>{1} : QList<int>{}});
        history.winnersHeard(Money::fromCents(prize).text(), {QStringLiteral("Lucky")});
        history.signedIn(hall, Money::fromCents(balance));
    }
};

QString Totals(const PeriodTotals& t)
{
    return QStringLiteral("%1 %2 %3 %4").arg(t.games).arg(t.spent.text(), t.won.text(), t.net().text());
}

TEST(History, TotalsCountWholeDaysTodayIncludedAndTheChartsFollowTheGames)
{
    Clocked c;
    const QDate today(2026, 12, 7);
    const auto at = [today](int daysBefore, int h, int m, int s = 0) {
        return QDateTime(today.addDays(-daysBefore), QTime(h, m, s), Qt::LocalTime);
    };
    c.game(at(30, 23, 59, 59), {500}, 0, 1000);        // last second before the 30 days
    c.game(at(29, 0, 0), {100, 200}, 1000, 1700);      // first second of the 30 days
    c.game(at(7, 23, 59, 59), {100}, 0, 1600);         // last second before the 7 days
    c.game(at(6, 0, 0), {300}, 0, 1300);               // first second of the 7 days
    c.game(at(1, 23, 59, 59), {100}, 250, 1450);       // last second of yesterday
    c.game(at(0, 0, 0), {200}, 0, 1250);               // first second of today
    c.game(at(0, 19, 30), {100, 100}, 500, 1550);
    c.now = at(0, 20, 0);
    c.history.ShowMyGames();
    ASSERT_TRUE(c.view.shown);
    EXPECT_EQ(Totals(c.view.totals.today).toStdString(), "2 4.00 5.00 1.00");
    EXPECT_EQ(Totals(c.view.totals.week).toStdString(), "4 8.00 7.50 -0.50");
    EXPECT_EQ(Totals(c.view.totals.month).toStdString(), "6 12.00 17.50 5.50");
    EXPECT_EQ(Totals(c.view.totals.all).toStdString(), "7 17.00 17.50 0.50");
    // A day later, today is another day.
    c.now = at(-1, 0, 0);
    EXPECT_EQ(Totals(c.history.totals()->today).toStdString(), "0 0.00 0.00 0.00");

    // The table newest first; the balance line oldest first; spent and won per day, oldest first.
    ASSERT_EQ(c.view.games.size(), 7);
    EXPECT_EQ(c.view.total, 7);
    EXPECT_EQ(c.view.games.first().time, at(0, 19, 30).toUTC());
    EXPECT_EQ(c.view.games.first().cards.size(), 2);
    QStringList balances, days;
    for (const BalancePoint& p : c.view.balances)
        balances << p.balance.text();
    for (const DayFigures& d : c.view.days)
        days << QStringLiteral("%1 %2 %3").arg(today.daysTo(d.day)).arg(d.spent.text(), d.won.text());
    EXPECT_EQ(balances.join(',').toStdString(), "10.00,17.00,16.00,13.00,14.50,12.50,15.50");
    EXPECT_EQ(days.join(',').toStdString(),
              "-30 5.00 0.00,-29 3.00 10.00,-7 1.00 0.00,-6 3.00 0.00,-1 1.00 2.50,0 4.00 5.00");
}

TEST(History, NoMoreThanTheBoundIsReadIntoTheWindow)
{
    Clocked c;
    c.now = QDateTime(QDate(2026, 12, 7), QTime(12, 0), Qt::LocalTime);
    c.game(c.now, {100}, 0, 900);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(c.dir.filePath(QStringLiteral("history.db"))).constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 700)"
                           " INSERT INTO games(hall, game, started, outcome, spent, balance)"
                           " SELECT 'h', i, 1000 + i, 'played', 100, i FROM n",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    c.history.ShowMyGames();
    EXPECT_EQ(c.view.total, 701);
    EXPECT_EQ(c.view.games.size(), GameHistory::kGamesShown);
    EXPECT_EQ(c.view.balances.size(), GameHistory::kGamesShown);
    EXPECT_LE(c.view.days.size(), GameHistory::kDaysShown);
    EXPECT_EQ(c.view.totals.all.games, 701);
}

// Fields of RFC 4180 CSV: quoted fields may hold commas, doubled quotes and line breaks.
QList<QStringList> ParseCsv(const QString& text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == '"' && i + 1 < text.size() && text[i + 1] == '"')
                field += '"', ++i;
            else if (ch == '"')
                quoted = false;
            else
                field += ch;
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == ',') {
            row << field, field.clear();
        } else if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row << field, field.clear();
            rows << row, row.clear();
            ++i;
        } else {
            field += ch;
        }
    }
    if (!field.isEmpty() || !row.isEmpty())
        rows << (row << field);
    return rows;
}

TEST(History, TheExportReadsBackFieldForFieldWithTheHallsTextsQuoted)
{
    Clocked c;
    const QDateTime first(QDate(2026, 12, 6), QTime(21, 15), Qt::LocalTime);
    c.game(first, {125, 250}, 1250, 2075, QStringLiteral("Hall \"North\", room 2\nupstairs"));
    c.game(first.addSecs(600), {100}, 0, 1975, QStringLiteral("=SUM(A1)"));
    const QString out = c.dir.filePath(QStringLiteral("games.csv"));
    ASSERT_TRUE(c.history.ExportCsv(out));
    EXPECT_TRUE(c.view.note.startsWith(QStringLiteral("Exported"))) << c.view.note.toStdString();
    QFile f(out);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QList<QStringList> rows = ParseCsv(QString::fromUtf8(f.readAll()));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].join('|').toStdString(),
              "Time|Hall|Game|Cards|Card ids|Faces|Prices|Spent|Outcome|Winning call|Won|Prize|Net|Balance after");
    EXPECT_EQ(rows[1].join('|').toStdString(),
              (first.toString(Qt::ISODate)
               + "|Hall \"North\", room 2\nupstairs|G|2|G.1, G.2|1, 1|1.25, 2.50|3.75|played|40|yes|12.50|8.75|20.75")
                  .toStdString());
    EXPECT_TRUE(QDateTime::fromString(rows[1][0], Qt::ISODate) == first);
    // A hall's text that a spreadsheet would run as a formula stays text.
    EXPECT_EQ(rows[2].join('|').toStdString(),
              (first.addSecs(600).toString(Qt::ISODate) + "|'=SUM(A1)|G|1|G.1|1|1.00|1.00|played|40|no|0.00|-1.00|19.75")
                  .toStdString());

    // A file that cannot be written is said in the window; the record stays on.
    EXPECT_FALSE(c.history.ExportCsv(c.dir.filePath(QStringLiteral("no/such/folder/games.csv"))));
    EXPECT_TRUE(c.view.note.startsWith(QStringLiteral("Could not export"))) << c.view.note.toStdString();
    EXPECT_TRUE(c.history.on());
}

}   // namespace
