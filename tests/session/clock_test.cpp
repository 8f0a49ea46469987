// The one-second tick: the sales countdown, the call pacing, the game's endings and
// what the player sees of each call.
#include "coretestbed.h"
#include "scriptedpeer.h"

#include <gtest/gtest.h>

namespace {

// A started client with sound on and the countdown's two notices in its sounds folder.
struct Session : CoreTestbed {
    explicit Session(int msPerSecond = 5, quint16 salesPort = 1, quint16 gamePort = 1)
        : CoreTestbed(msPerSecond, 1, gamePort, salesPort)
    {
        writeFile(QStringLiteral("defaults.cfg"), "SO:TRUE#\r\n");
        for (const char* f : {"lastcall.wav", "nosales.wav"})
            writeFile(QStringLiteral("sounds/") + QLatin1String(f), "RIFF");
        create();
    }
    // Signed in, card 1 (face 1 of numbers()) bought and the draw given.
    void play(const QByteArray& draw, int winning, int final)
    {
        signIn();
        openSales();
        buyCard();
        startGame(draw, winning, final);
    }
};

const QByteArray kFourteenCalls = CoreTestbed::codes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14});
const QByteArray kWholeDraw = "3456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`abcdefghijklmnopqrstuvwxyz{|}";   // 1 to 75

TEST(Countdown, NoticesThenTheCloseOfChoosingAndOfBuyingThenTheStart)
{
    Session s;
    s.signIn();
    s.openSales(601);
    s.buyCard();
    // A second card is being chosen on card 2, so both its buttons are up.
    s.c().table().RightCardClick();
    s.c().shop().chooseFaces(1);
    s.line(Link::Request, "PQZ!CARDRG1$A7%A$B" + CoreTestbed::numbers(1) + "%B");
    const struct { int ticks; const char* sound; bool choosing, buying; int shown; } moments[] = {
        {1, "", true, true, 600}, {475, "", true, true, 125},  {80, "", true, true, 45},
        {1, "lastcall.wav", true, true, 44},   {9, "", true, true, 35},   {1, "", false, true, 34},
        {4, "nosales.wav", false, true, 30},   {5, "", false, true, 25},  {1, "", false, false, 24},
        {19, "", false, false, 5},
    };
    for (const auto& m : moments) {
        s.tick(m.ticks);
        EXPECT_EQ(s.heard(), QLatin1String(m.sound)) << m.shown;
        EXPECT_EQ(s.screen.shop.faceChoiceShown, m.choosing) << m.shown;
        EXPECT_EQ(s.screen.shop.buyShown, m.buying) << m.shown;
        EXPECT_EQ(s.screen.figures.countdown, m.shown);
    }
    s.tick();   // 4 seconds: the game is readied
    const CallsRecord& calls = s.screen.calls;
    EXPECT_TRUE(s.c().round().phase() == Phase::Starting && calls.machineShown && calls.drumShown
                && calls.ballWindowShown && s.screen.status.text == "T1306");
}

TEST(Countdown, WithoutACardThePlayerLeavesTheGame)
{
    ScriptedPeer sales;
    Session s(100, sales.port());
    s.signIn(6);
    ASSERT_TRUE(WaitFor([&] { return sales.clients.size() == 1; }));
    s.tick(2);
    EXPECT_TRUE(s.c().round().phase() == Phase::SignedOut && s.screen.status.text == "T1302");
    // The rest of leaving (the dialog, the tick, the game feed) is dispatcher_test's CardsFromAnotherGame.
    EXPECT_TRUE(WaitFor([&] { return sales.clients.isEmpty(); }));
}

// A call comes every nine ticks, the first after ten (9 down to 0), and every ten with sound off,
// the step already counting keeping its nine; each moves the strip, the board, the cards in use
// and a progressive prize.
TEST(Calls, EachComesInItsTicksAndMovesTheStripTheBoardTheCardsInUseAndAProgressivePrize)
{
    Session s;
    s.line(Link::Request, "PQZ!LOGINOK$05.00%0$BLucky%B$1A11000007%1$CSA:5.00]F:4]FA:2.50]V5:99.00]%C$5120%5");
    s.openSales();
    s.buyCard();
    s.startGame(CoreTestbed::codes({12, 40, 75, 4, 5}), 70, 75, "A11000007");
    QStringList prizes;
    QList<int> ticks;
    const auto call = [&] {
        ticks << s.step();
        prizes << s.screen.figures.jackpot;
    };
    call();
    call();
    s.c().sounds().TurnSoundOff();
    call();
    const CallsRecord& shown = s.screen.calls;
    EXPECT_EQ(shown.recent, (std::array<int, 5>{75, 40, 12, 0, 0}));
    EXPECT_TRUE(shown.ball == CallsRecord::Ball::Landed && shown.ballNumber == 75);
    EXPECT_EQ(s.screen.figures.calls, 3);
    EXPECT_TRUE(s.c().board().isCalled(2, 10) && !s.c().board().isCalled(0, 11));
    const CardRack& r = s.c().rack();   // only the cards in use are marked
    EXPECT_TRUE(r.card(1).IsCalled(0, 12) && r.card(1).IsCalled(4, 15) && !r.card(1).IsCalled(0, 11));
    EXPECT_TRUE(r.card(6).IsCalled(2, 10) && !r.card(7).IsCalled(0, 12));
    call();
    call();
    EXPECT_EQ(prizes, QStringList({"$ 5.00", "$ 5.00", "$ 5.00", "$ 2.50", "$ 99.00"}));
    EXPECT_EQ(ticks, QList<int>({10, 9, 9, 10, 10}));
}

TEST(Endings, EachDrawEndsWhereItsFiguresSayAndTheNextSignInFollowsThePause)
{
    const struct { const char* name; QByteArray draw; int winning, final, steps; Phase phase; int calls; const char* status; }
    cases[] = {
        {"bingo at the winning call", kFourteenCalls, 12, 20, 13, Phase::Bingo, 20, "T1316"},
        {"final call zero", CoreTestbed::codes({5, 6, 7}), 12, 0, 1, Phase::Pause, 0, "T1304"},
        {"equal figures", CoreTestbed::codes({5, 6, 7, 8}), 2, 2, 3, Phase::Pause, 2, "T1304"},
        {"repeated code", CoreTestbed::codes({5, 5, 6, 7}), 3, 75, 4, Phase::Bingo, 75, "T1316"},
        {"short draw", CoreTestbed::codes({5, 6, 7}), 40, 75, 4, Phase::Pause, 3, "T1304"},
        {"empty draw", "", 12, 20, 2, Phase::Pause, 1, "T1301"},
        // The draw starts with 100 seconds of the sales countdown left, which stops for it.
        {"whole draw", kWholeDraw, 70, 75, 71, Phase::Bingo, 75, "T1316"},
    };
    for (const auto& c : cases) {
        Session s;
        s.play(c.draw, c.winning, c.final);
        s.step(c.steps - 1);
        EXPECT_TRUE(s.c().round().running()) << c.name;
        s.step();
        EXPECT_EQ(s.c().round().phase(), c.phase) << c.name;
        EXPECT_EQ(s.c().round().callCount(), c.calls) << c.name;
        EXPECT_EQ(s.screen.status.text, QLatin1String(c.status)) << c.name;
        EXPECT_EQ(s.screen.status.history.contains("T1316"), c.phase == Phase::Bingo) << c.name;
        EXPECT_EQ(s.screen.calls.bannerShown, c.phase == Phase::Bingo) << c.name;
        const bool aborted = c.draw.isEmpty();
        const QString& told = s.screen.player.messages.last();
        EXPECT_EQ(told.startsWith("Call information for this game not received"), aborted) << c.name;
        // The winners are asked for after a game that ended, not after one that was aborted.
        EXPECT_EQ(s.c().links().pending() == Request::Winners, c.phase == Phase::Pause && !aborted) << c.name;
        // A bingo stands for thirty ticks; the pause after the end for thirty seconds.
        s.tick(c.phase == Phase::Bingo ? 29 : 0);
        EXPECT_EQ(s.c().round().phase(), c.phase) << c.name;
        s.tick();
        EXPECT_EQ(s.c().round().phase(), Phase::Pause) << c.name;
        EXPECT_TRUE(s.screen.menus.connectEnabled) << c.name;
        s.clock.advance(30000);
        s.tick();
        EXPECT_EQ(s.c().round().phase(), Phase::Pause) << c.name;
        s.clock.advance(1);
        s.tick();
        EXPECT_TRUE(s.c().round().phase() == Phase::SignedOut && s.screen.status.text == "T1307") << c.name;
    }
}

// A balance of nothing or less after the purchase, however the server writes it, leaves
// nothing to buy the next game with; one that is no amount at all ends nothing.
TEST(Endings, WhenTheCreditIsUsedUpTheSessionRestsAfterTheFeedsBingoAndEnd)
{
    const std::pair<QByteArray, bool> balances[] = {{"0.00", true}, {"00.00", true}, {"-0.50", true}, {"0.01", false},
                                                       {"O.OO", false}};
    for (const auto& [balance, usedUp] : balances) {
        Session s;
        s.signIn();
        s.openSales();
        s.c().shop().Button3Click();
        s.line(Link::Request, "PQZ!LOGINOK100001.00001.00001$0" + balance + "%0$B" + CoreTestbed::numbers(1) + "%B");
        s.startGame(CoreTestbed::codes({5, 6, 7, 8, 9}), 40, 75);
        s.step();
        s.line(Link::GameFeed, "PQZ$0E%0");
        EXPECT_TRUE(s.screen.status.text == "T1316" && s.c().round().callCount() == 75) << balance.constData();
        s.line(Link::GameFeed, "PQZ$0D%0");
        EXPECT_EQ(s.c().round().phase(), usedUp ? Phase::Finished : Phase::Pause) << balance.constData();
        EXPECT_EQ(s.screen.status.text, usedUp ? "T1302" : "T1304") << balance.constData();
        EXPECT_EQ(s.screen.dialogs.thanksShown, usedUp) << balance.constData();
        EXPECT_TRUE(!usedUp || !s.ticking()) << balance.constData();
        EXPECT_EQ(s.c().shop().balance().has_value(), balance != "O.OO");
    }
}

TEST(Watchdog, AFeedSilentForMoreThan35SecondsIsReopened)
{
    ScriptedPeer sales, game;
    Session s(1000000, sales.port(), game.port());   // the real tick never comes; the test ticks
    s.signIn(300);
    ASSERT_TRUE(WaitFor([&] { return sales.clients.size() == 1; }));
    s.tick(30);
    sales.sendLine("PQZACKWAT");   // any line counts as heard
    Spin(50);
    s.tick(36);
    Spin(50);
    EXPECT_EQ(sales.connections, 1);
    s.tick(9);   // the next step finds more than 35 seconds of silence
    ASSERT_TRUE(WaitFor([&] { return sales.connections == 2; }));
    EXPECT_EQ(s.c().round().phase(), Phase::WaitingForSales);
    // "Buy": the sales feed closes for good and the watchdog keeps the game feed.
    sales.sendLine("PQZACKBUY1");
    ASSERT_TRUE(WaitFor([&] { return game.clients.size() == 1 && sales.clients.isEmpty(); }));
    s.tick(46);
    ASSERT_TRUE(WaitFor([&] { return game.connections == 2; }));
    EXPECT_EQ(sales.connections, 2);
}

// Missing pictures are named in the diagnostic log, never over the game's status texts;
// a name from the server that is no plain file name is refused before any file is read.
TEST(Pictures, UnreadableOnesAreNamedAndTheGameGoesOn)
{
    Session s;
    s.screen.pictures.missing = {"bdblu.gif", "bdblua.gif", "bingo.gif"};
    s.play(CoreTestbed::codes({5, 6, 7}), 2, 75);
    s.step(3);   // two calls of the B column, then the bingo
    const QStringList& logged = s.screen.status.logLines;
    EXPECT_TRUE(logged.contains("Picture not available: bdblu.gif")
                && logged.contains("Picture not available: bingo.gif"));
    EXPECT_TRUE(s.screen.status.text == "T1316" && s.c().round().phase() == Phase::Bingo);
    // A missing skin file stops the change of look there and names the file.
    s.c().table().ChooseSkin(3);
    EXPECT_EQ(s.screen.shop.buttonColour, RGB(255, 0, 0));
    s.screen.pictures.missing = {"skins/planks.bmp"};
    s.c().table().ChooseSkin(1);
    EXPECT_TRUE(logged.contains("Picture not available: skins/planks.bmp"));
    EXPECT_EQ(s.screen.shop.buttonColour, RGB(255, 0, 0));

    Session outside;
    for (const char* name : {"../evil.gif", "..", ".hidden.gif", "c:evil.gif", "a\\evil.gif"}) {
        QStringList& refused = outside.screen.status.logLines;
        refused.clear();
        outside.line(Link::GameFeed, "PQZ$0B%0$8100001%8$A7%A$9" + QByteArray(name) + "%9$7A01000001%7$52%5$675%6");
        EXPECT_TRUE(refused.contains(QStringLiteral("Refused file name: ") + QLatin1String(name))) << name;
        EXPECT_FALSE(outside.screen.pictures.shown.value(Picture::BingoBanner).contains(QLatin1String("evil"))) << name;
    }
}

}   // namespace
