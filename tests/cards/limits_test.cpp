// The player's limits, the reality check and auto-buy, through the wire and the views: what is
// sent and what is refused before anything is sent, the 24-hour wait of a looser limit, the
// private file that keeps them, and auto-buy's card at each sales until it stops.
#include "coretestbed.h"
#include "limits/playlimits.h"
#include "scriptedpeer.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

struct Limits : ::testing::Test {
    ScriptedPeer server;   // the game server's request port: it answers and records what the client sends
    CoreTestbed bed{1000, server.port()};
    QDateTime wall = QDateTime(QDate(2026, 12, 7), QTime(10, 0));
    LimitsRecord& view = bed.screen.limits;
    qint64 balance = 500;   // the player's balance at the server, in cents
    qint64 price = 100;     // what the server charges for a card
    int served = 0;

    void SetUp() override
    {
        // The server answers each request as the hall does and closes the link.
        server.reply = [this](const QByteArray& line) -> QByteArray {
            const QByteArray cells = CoreTestbed::numbers(1);
            if (line.startsWith("PQZ!S6"))
                return "PQZ!CARDRG1";
            if (line.startsWith("PQZ!S1"))
                return "PQZ!CARDRG1$AS" + QByteArray::number(++served) + "%A$B" + cells + "%B";
            if (line.startsWith("PQZ!B7")) {
                if (balance < price)
                    return "PQZ!LOGINNO" + QByteArray("Sorry your Accou").rightJustified(16, ' ');
                balance -= price;
                const QByteArray card = QByteArray::number(bed.c().rack().currentCard());
                return "PQZ!LOGINOK" + bed.c().round().gameNumber().toLatin1() + ".00001.0000" + card + "$0"
                       + Money::fromCents(balance).wire() + "%0$B" + cells + "%B$C" + card + "%C";
            }
            if (line.startsWith("PQZ!GS"))
                return "PQZ!LOGINOK$125.00%1$2Lucky%2$3%3";
            return {};
        };
        bed.config.wallClock = [this] { return wall; };
        bed.remake();
        bed.create();
    }
    PlayLimits& limits() { return bed.c().limits(); }
    int sent(const char* prefix)
    {
        return int(std::count_if(server.received.begin(), server.received.end(),
                                 [prefix](const QByteArray& l) { return l.startsWith(prefix); }));
    }
    int purchases() { return sent("PQZ!B7"); }
    int cardRequests() { return sent("PQZ!S1"); }
    // Lets the requests under way be answered.
    void settle()
    {
        WaitFor([&] { return !bed.c().links().busy(); }, 2000);
        Spin(20);
    }
    // Signs in (the server's balance is the one the sign-in tells) and opens the sales of `game`.
    void sales(const QByteArray& game = "100001")
    {
        bed.signIn();
        balance = 500;
        bed.openSales(100, game);
        settle();
    }
    // Asks for a card and presses Buy: true when the purchase was sent.
    bool buy()
    {
        const int before = purchases();
        bed.c().shop().chooseFaces(1);
        settle();
        bed.c().shop().Button3Click();
        settle();
        return purchases() > before;
    }
    // The game with the player's card is won on its fifth call; the winners' payout is 25.00.
    void winGame(const QByteArray& game = "100001")
    {
        bed.startGame(CoreTestbed::codes({4, 19, 34, 49, 64, 70}), 5, 6, "A01000001", game);
        bed.step(6);
        bed.line(Link::GameFeed, "PQZ$0D%0");
        settle();
    }
    void endGame(const QByteArray& game)
    {
        bed.startGame(CoreTestbed::codes({70}), 75, 75, "A01000001", game);
        bed.line(Link::GameFeed, "PQZ$0D%0");
        settle();
    }
    // After the pause, the client signs in for the next game and its sales open.
    void nextSales(const QByteArray& game)
    {
        bed.clock.advance(30001);
        bed.tick();
        sales(game);
    }
};

}   // namespace

TEST_F(Limits, ASpendingLimitRefusesThePurchaseThatWouldPassItBeforeAnythingIsSent)
{
    sales();
    ASSERT_TRUE(buy());
    EXPECT_EQ(limits().spentToday(), Money::fromCents(100));   // the balance fell from 5.00 to 4.00

    // A card that brings the day's spending to the limit exactly passes it; 1.50 a day, a second
    // card of 1.00 would pass it.
    limits().setLimit(LimitKind::DailySpend, Money::fromCents(200));
    EXPECT_TRUE(limits().refusal(1).isEmpty());
    limits().setLimit(LimitKind::DailySpend, Money::fromCents(150));
    EXPECT_FALSE(buy());
    EXPECT_EQ(bed.screen.player.messages.last().toStdString(),
              "This card would pass your daily spending limit of 1.50 (spent today: 1.00).");
    EXPECT_EQ(purchases(), 1);

    // Raised to 5.00: the raise waits 24 hours.
    const QDateTime from = limits().setLimit(LimitKind::DailySpend, Money::fromCents(500));
    EXPECT_EQ(from, wall.addSecs(24 * 3600));
    const LimitState state = limits().limit(LimitKind::DailySpend);
    EXPECT_TRUE(state.amount == Money::fromCents(150) && state.changing && state.next == Money::fromCents(500));
    EXPECT_FALSE(buy());

    // A session's limit waits the same way when raised; the session's spending never resets with the day.
    limits().setLimit(LimitKind::SessionSpend, Money::fromCents(100));
    limits().setLimit(LimitKind::SessionSpend, Money::fromCents(300));
    wall = wall.addSecs(24 * 3600 - 60);
    EXPECT_FALSE(buy());
    EXPECT_EQ(bed.screen.player.messages.last().toStdString(),
              "This card would pass your spending limit for this session of 1.00 (spent this session: 1.00).");
    EXPECT_EQ(limits().spentToday(), Money());   // a new day, but the session's limit still binds
    EXPECT_EQ(purchases(), 1);
    wall = wall.addSecs(61);
    EXPECT_EQ(limits().limit(LimitKind::SessionSpend).amount, Money::fromCents(300));
    EXPECT_TRUE(buy());
    EXPECT_EQ(purchases(), 2);

    // Lowering holds at once and drops the raise that waited; removing waits.
    limits().setLimit(LimitKind::DailySpend, Money::fromCents(50));
    const LimitState lowered = limits().limit(LimitKind::DailySpend);
    EXPECT_TRUE(lowered.amount == Money::fromCents(50) && !lowered.changing);
    limits().setLimit(LimitKind::DailySpend, std::nullopt);
    const LimitState removing = limits().limit(LimitKind::DailySpend);
    EXPECT_TRUE(removing.amount == Money::fromCents(50) && removing.changing && !removing.next);
}

TEST_F(Limits, TheLossLimitCountsWhatWasWonAndTheRealityCheckComesAtItsIntervalWithTheSessionsFigures)
{
    ASSERT_TRUE(limits().setRealityMinutes(15));
    EXPECT_FALSE(limits().setRealityMinutes(20));
    sales();   // the session starts
    limits().setLimit(LimitKind::DailyLoss, Money::fromCents(150));
    ASSERT_TRUE(buy());
    EXPECT_FALSE(buy());   // lost 1.00 so far: another 1.00 would pass 1.50
    EXPECT_TRUE(bed.screen.player.messages.last().contains("daily loss limit of 1.50 (lost today: 1.00)"));
    winGame();
    EXPECT_EQ(limits().wonToday(), Money::fromCents(2500));
    EXPECT_TRUE(view.checks.isEmpty());

    // A quarter of an hour after the sign-in, at a tick, the check shows the session so far.
    bed.clock.advance(15 * 60 * 1000 - bed.clock.now() - 1000);
    bed.tick();
    EXPECT_TRUE(view.checks.isEmpty());
    bed.clock.advance(1000);
    bed.tick();
    ASSERT_EQ(view.checks.size(), 1);
    EXPECT_EQ(view.checks[0].playedSeconds, 15 * 60);
    EXPECT_TRUE(view.checks[0].spent == Money::fromCents(100) && view.checks[0].won == Money::fromCents(2500));
    bed.tick();
    EXPECT_EQ(view.checks.size(), 1);   // the next one a quarter of an hour later
    bed.clock.advance(15 * 60 * 1000);
    bed.tick();
    EXPECT_EQ(view.checks.size(), 2);

    // With the prize, the loss limit lets the player buy again.
    nextSales("100002");
    EXPECT_TRUE(buy());
}

TEST_F(Limits, TheLimitsAreKeptPrivateInAFileOfTheirOwnAndSurviveARestartButNotADay)
{
    sales();
    limits().setLimit(LimitKind::DailySpend, Money::fromCents(1000));
    limits().setLimit(LimitKind::DailySpend, Money::fromCents(2000));   // waits
    limits().setRealityMinutes(30);
    ASSERT_TRUE(buy());
    const QString path = bed.filePath(QLatin1String(PlayLimits::kFile));
    EXPECT_EQ(QFile::permissions(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                                            | QFileDevice::WriteUser);
    const QByteArray settings = bed.readFile(QStringLiteral("defaults.cfg"));
    EXPECT_FALSE(settings.contains("limit") || settings.contains("1000"));

    // A restart: the limits, the waiting raise and the day's spending are there; the session's is not.
    bed.remake();
    bed.create();
    const LimitState daily = limits().limit(LimitKind::DailySpend);
    EXPECT_TRUE(daily.amount == Money::fromCents(1000) && daily.changing && daily.next == Money::fromCents(2000)
                && daily.from == wall.addSecs(24 * 3600));
    EXPECT_EQ(limits().realityMinutes(), 30);
    EXPECT_EQ(limits().spentToday(), Money::fromCents(100));
    EXPECT_EQ(limits().session().spent, Money());
    wall = QDateTime(wall.date().addDays(1), QTime(0, 0, 1));
    EXPECT_EQ(limits().spentToday(), Money());

    // A damaged file is read as far as it makes sense and never holds an amount it cannot read.
    bed.writeFile(QLatin1String(PlayLimits::kFile), "daily-spend=-5\nsession-spend=12x\ndaily-loss=300\n"
                                                     "daily-loss.next=none\nreality-minutes=7\nprice-9=1\n\xff=\n");
    bed.remake();
    EXPECT_FALSE(limits().limit(LimitKind::DailySpend).amount || limits().limit(LimitKind::SessionSpend).amount);
    const LimitState loss = limits().limit(LimitKind::DailyLoss);
    EXPECT_TRUE(loss.amount == Money::fromCents(300) && !loss.changing);   // a change without its time is none
    EXPECT_EQ(limits().realityMinutes(), 0);
}

TEST_F(Limits, AutoBuyBuysALikeCardEarlyInEachSalesUntilItsGamesAreBoughtOrSomethingStopsIt)
{
    bed.c().shop().setRandom([](int, int hi) { return hi; });   // the latest moment it may choose
    sales();
    EXPECT_FALSE(bed.c().shop().StartAutoBuy(3));   // no card shown to buy yet
    bed.c().shop().chooseFaces(1);
    settle();
    EXPECT_FALSE(bed.c().shop().StartAutoBuy(51));
    ASSERT_TRUE(bed.c().shop().StartAutoBuy(3));   // this card, now
    settle();
    EXPECT_EQ(purchases(), 1);
    EXPECT_EQ(view.autoBuy.join(' ').toStdString(), "1/3 1/3");
    endGame("100001");

    // The next sales: signed in with 120 seconds to go, the card is asked for 28 seconds in
    // (the last moment of the first third of the 85 seconds of choosing) and bought when it comes.
    nextSales("100002");
    EXPECT_EQ(cardRequests(), 1);
    bed.tick(7);   // the announcement said 100 seconds: 93 now
    settle();
    EXPECT_EQ(cardRequests(), 1);
    bed.tick(1);
    settle();
    EXPECT_EQ(cardRequests(), 2);
    EXPECT_EQ(purchases(), 2);
    EXPECT_EQ(view.autoBuy.last().toStdString(), "2/3");
    endGame("100002");

    // Cancel: the next sales pass without a request.
    bed.c().shop().CancelAutoBuy();
    EXPECT_EQ(view.autoBuy.last().toStdString(), "-");
    EXPECT_TRUE(bed.screen.status.history.contains("Auto-buy cancelled."));
    nextSales("100003");
    bed.tick(40);
    settle();
    EXPECT_EQ(cardRequests(), 2);

    // Started again, it stops before a card the balance cannot pay, asking for nothing.
    bed.c().shop().chooseFaces(1);
    settle();
    price = 450;
    ASSERT_TRUE(bed.c().shop().StartAutoBuy(4));
    settle();
    EXPECT_EQ(purchases(), 3);
    endGame("100003");
    nextSales("100004");
    bed.c().shop().setBalance("0.50");
    bed.tick(40);
    settle();
    EXPECT_EQ(cardRequests(), 3);
    EXPECT_TRUE(bed.screen.status.history.contains("Auto-buy stopped: the balance is too low for another card."));
    EXPECT_FALSE(bed.c().shop().autoBuying());
    EXPECT_EQ(purchases(), 3);
}

TEST_F(Limits, AutoBuyStopsAtALimitAndAtARefusedPurchase)
{
    bed.c().shop().setRandom([](int lo, int) { return lo; });
    sales();
    bed.c().shop().chooseFaces(1);
    settle();
    ASSERT_TRUE(bed.c().shop().StartAutoBuy(5));
    settle();
    limits().setLimit(LimitKind::DailySpend, Money::fromCents(150));
    endGame("100001");
    nextSales("100002");
    bed.tick(40);
    settle();
    EXPECT_EQ(cardRequests(), 1);   // refused before anything was sent
    EXPECT_TRUE(bed.screen.player.messages.last().contains("daily spending limit of 1.50"));
    EXPECT_FALSE(bed.c().shop().autoBuying());
    EXPECT_EQ(view.autoBuy.last().toStdString(), "-");

    // The server refuses a purchase: auto-buy ends there.
    wall = wall.addDays(2);
    bed.c().shop().chooseFaces(1);
    settle();
    price = 10000;
    bed.c().shop().StartAutoBuy(3);
    settle();
    EXPECT_FALSE(bed.c().shop().autoBuying());
    EXPECT_TRUE(bed.screen.status.history.contains("Auto-buy stopped: the purchase was refused."));
}

// The reality check's "Leave the game" quits once the game bought into has ended, and at once
// when there is none.
TEST_F(Limits, LeavingFromTheRealityCheckWaitsForTheGameUnderWay)
{
    sales();
    ASSERT_TRUE(buy());
    bed.c().LeaveAfterGame();
    EXPECT_EQ(bed.screen.system.quits, 0);
    bed.startGame(CoreTestbed::codes({70}), 75, 75);
    bed.step();
    EXPECT_EQ(bed.screen.system.quits, 0);
    bed.line(Link::GameFeed, "PQZ$0D%0");
    EXPECT_EQ(bed.screen.system.quits, 1);

    CoreTestbed idle;
    idle.create();
    idle.c().LeaveAfterGame();
    EXPECT_EQ(idle.screen.system.quits, 1);
}

// A sales joined with its face choice already closed is passed by auto-buy; and a card of a face
// count not yet bought is priced at the dearest face paid so far.
TEST_F(Limits, AutoBuyAsksNothingOnceTheChoiceHasClosedAndAnUnboughtFaceCountIsPricedByTheFace)
{
    bed.c().shop().setRandom([](int lo, int) { return lo; });
    sales();
    bed.c().shop().chooseFaces(1);
    settle();
    ASSERT_TRUE(bed.c().shop().StartAutoBuy(3));
    settle();
    EXPECT_EQ(limits().expectedPrice(1), Money::fromCents(100));
    EXPECT_EQ(limits().expectedPrice(3), Money::fromCents(300));
    endGame("100001");
    bed.clock.advance(30001);
    bed.tick();
    bed.signIn();
    bed.openSales(30, "100002");   // 30 seconds to go: the face choice closed at 35
    settle();
    bed.tick(3);
    settle();
    EXPECT_EQ(cardRequests(), 1);
}
