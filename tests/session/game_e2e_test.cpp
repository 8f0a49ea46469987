// Whole games over real sockets at a fast clock: against the demo hall, and against
// scripted feeds for the endings the hall never sends.
#include "coretestbed.h"
#include "hall.h"
#include "minihttp.h"
#include "scriptedpeer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kTickMs = 20;   // real milliseconds per game second, on both sides

struct HallGame : ::testing::Test {
    QTemporaryDir www;
    std::unique_ptr<Hall> hall;
    std::unique_ptr<CoreTestbed> bed;

    void SetUp() override
    {
        HallConfig config;
        config.webPort = config.requestPort = config.salesPort = config.gamePort = 0;
        config.chatPorts = {0, 0};
        config.wwwDir = www.path();
        config.game.tickMs = kTickMs;
        config.game.salesSeconds = 70;
        config.game.waitSeconds = 1;
        config.game.seed = 7;
        hall = std::make_unique<Hall>(config);
        QString error;
        ASSERT_TRUE(hall->start(&error)) << error.toStdString();
        bed = std::make_unique<CoreTestbed>(kTickMs, hall->requestPort(), hall->gamePort(), hall->salesPort());
        bed->clock.running = true;
        // The player is remembered, with the hall's web host: the next sign-in needs no dialog.
        bed->writeFile("defaults.cfg", "UN:demo#WS:" + hall->webHost().toLatin1() + "#V6:FALSE#V7:bingo#\r\n");
        bed->create();
    }
    GameCore& core() { return bed->c(); }
    RecordingView& view() { return bed->view; }

    // Signs in (or waits for the automatic sign-in), chooses a 2-face card and buys it.
    void buyTwoFaceCard()
    {
        ASSERT_TRUE(WaitFor([&] { return core().round().phase() == Phase::SalesOpen && core().round().announced(); }, 20000));
        ASSERT_TRUE(WaitFor([&] { return !core().links().busy(); }, 5000));
        EXPECT_TRUE(view().visible("s2image"));
        core().shop().chooseFaces(2);
        ASSERT_TRUE(WaitFor([&] { return !core().links().busy() && core().rack().card(1).FaceCount == 2; }, 5000));
        EXPECT_TRUE(view().visible("tbimage"));
        const QString balance = view().text("f_credits");
        core().shop().Button3Click();
        ASSERT_TRUE(WaitFor([&] { return core().rack().card(1).Entered; }, 5000));
        EXPECT_EQ(core().rack().card(1).CardId.left(6), core().round().gameNumber());
        EXPECT_NE(view().text("f_credits"), balance);
        EXPECT_FALSE(core().rack().card(2).Entered);
    }

    // Follows one game from its start to its end; claims once too early and once at the bingo.
    void playToTheEnd()
    {
        view().statusHistory.clear();
        const GameRound& round = core().round();
        ASSERT_TRUE(WaitFor([&] { return round.running(); }, 20000));
        const int winning = round.winningCall();
        ASSERT_GT(winning, 0);
        ASSERT_LE(winning, 75);
        // Every revealed call is marked on the card and counted.
        ASSERT_TRUE(WaitFor([&] { return round.callCount() >= 1; }, 5000));
        const int first = static_cast<unsigned char>(round.callCode(0)) - 50;
        EXPECT_EQ(core().rack().card(1).IsCalled((first - 1) / 15, first - 15 * ((first - 1) / 15)), 1);
        EXPECT_EQ(view().text("CallField"), QString::number(round.callCount()));
        if (winning > 1) {
            ASSERT_TRUE(WaitFor([&] { return round.callCount() == winning - 1; }, 30000));
            core().table().Button4Click();
            EXPECT_EQ(core().rack().winningFaces(), 0);
            EXPECT_TRUE(view().c("button4").enabled);
            core().table().Button4MouseUp();
        }
        ASSERT_TRUE(WaitFor([&] { return round.callCount() == winning; }, 30000));
        // The hall judged our card alone: it completes the pattern at the winning call.
        core().table().Button4Click();
        EXPECT_GE(core().rack().winningFaces(), 1);
        EXPECT_EQ(view().text("button4"), QStringLiteral("Winner!"));
        ASSERT_TRUE(WaitFor([&] { return view().statusHistory.contains("T1316"); }, 5000));
        EXPECT_EQ(round.callCount(), round.finalCall());
        EXPECT_TRUE(view().visible("BingoGIF"));
        ASSERT_TRUE(WaitFor([&] { return round.phase() == Phase::Pause; }, 5000));
        ASSERT_TRUE(WaitFor([&] { return view().visible("Twinners"); }, 5000));
        EXPECT_EQ(view().text("Twinners.wc1"), QStringLiteral("Lucky Star"));
        EXPECT_FALSE(core().rack().card(1).Entered);   // CLEARALL
        EXPECT_EQ(round.gameNumber(), QStringLiteral("000000"));
    }
};

TEST_F(HallGame, TwoGamesPlayFromLoginToTheNextSignIn)
{
    core().ConnecttoGame1Click();
    ASSERT_TRUE(WaitFor([&] { return core().round().counting(); }, 5000));
    EXPECT_EQ(view().text("Label9"), QStringLiteral("Lucky Star"));
    buyTwoFaceCard();
    playToTheEnd();
    view().c("Twinners").visible = false;
    // The pause, the automatic sign-in, and the next game.
    ASSERT_TRUE(WaitFor([&] { return core().round().phase() != Phase::Pause; }, 5000));
    buyTwoFaceCard();
    playToTheEnd();
}

TEST_F(HallGame, PlayerWithoutACardLeavesAtTheStart)
{
    core().ConnecttoGame1Click();
    ASSERT_TRUE(WaitFor([&] { return core().round().announced(); }, 20000));
    ASSERT_TRUE(WaitFor([&] { return core().round().phase() == Phase::SignedOut; }, 20000));
    EXPECT_EQ(view().status(), QStringLiteral("T1302"));
    EXPECT_TRUE(view().visible("Tlogindialog"));
    EXPECT_FALSE(core().links().isOpen(Link::GameFeed));
    EXPECT_FALSE(core().links().isOpen(Link::SalesFeed));
}

// Scripted feeds: the endings that need lines the hall does not send.
struct ScriptedGame : ::testing::Test {
    MiniHttp web;
    ScriptedPeer request, game, sales;
    std::unique_ptr<CoreTestbed> bed;
    void SetUp() override
    {
        web.body = "instruct:OK%URL&http://127.0.0.1/%";
        request.reply = [](const QByteArray& line) -> QByteArray {
            if (line.startsWith("PQZ!G6"))
                return "PQZ!LOGINOK$BAl%B$0100.00%0$1A01000001%1$5200%5";
            if (line == "PQZ!S6") {
                QByteArray l = "PQZ!CARDRG1$A1%A";
                for (char f = 'B'; f <= 'K'; ++f)
                    l += QByteArray("$") + f + CoreTestbed::numbers(4) + "%" + f;
                return l;
            }
            if (line.startsWith("PQZ!B7"))
                return "PQZ!LOGINOK100001.00001.00001$090.00%0$C1%C$B" + CoreTestbed::numbers(4) + "%B";
            return "PQZ!LOGINOK$1%1$2Al%2$3%3";
        };
        bed = std::make_unique<CoreTestbed>(kTickMs, request.port(), game.port(), sales.port());
        bed->clock.running = true;
        bed->create();
        bed->c().signIn().LoginButton1Click("u", "", web.host(), true);
        ASSERT_TRUE(WaitFor([&] { return sales.connections == 1 && !sales.clients.isEmpty(); }));
        sales.sendLine("PQZACKBUY1");
        ASSERT_TRUE(WaitFor([&] { return !game.clients.isEmpty(); }));
        game.sendLine("PQZ$0A%0$8100001%8$7A01000001%7$2100%2$33%3$4100%4");
        ASSERT_TRUE(WaitFor([&] { return bed->c().round().announced() && !bed->c().links().busy(); }));
        bed->c().shop().Button3Click();   // card 1 holds the ready-made card
        ASSERT_TRUE(WaitFor([&] { return bed->c().rack().card(1).Entered; }));
    }
};

TEST_F(ScriptedGame, MissingCallInformationAbortsTheGame)
{
    game.sendLine("PQZ$0B%0$8100001%8$A%A$512%5$620%6");
    ASSERT_TRUE(WaitFor([&] { return bed->c().round().running(); }));
    ASSERT_TRUE(WaitFor([&] { return bed->c().round().phase() == Phase::Pause; }, 5000));
    EXPECT_TRUE(bed->view.messages.contains("Call information for this game not received successfully - Press Ok to Terminate Game"));
    EXPECT_EQ(bed->view.status(), QStringLiteral("T1301"));
}

TEST_F(ScriptedGame, BingoOnEAndEndOnD)
{
    game.sendLine("PQZ$0E%0");
    ASSERT_TRUE(WaitFor([&] { return bed->view.statusHistory.contains("T1316"); }));
    game.sendLine("PQZ$0D%0");
    ASSERT_TRUE(WaitFor([&] { return bed->view.statusHistory.contains("T1304"); }));
    EXPECT_EQ(bed->c().round().phase(), Phase::Pause);
    EXPECT_FALSE(bed->c().rack().bought());
    // The end asks for the winners of the game.
    ASSERT_TRUE(WaitFor([&] { return request.received.last().startsWith("PQZ!GS"); }));
    EXPECT_EQ(request.received.last(), QByteArray("PQZ!GS100001##"));
}

}   // namespace
