// Whole games against the demo hall over real sockets at a fast clock: what the client and
// the hall must agree on, from the sign-in to the automatic sign-in for the next game. Each
// step on its own, and the endings the hall never sends, are tested in clock_test,
// dispatcher_test and cards_test.
#include "coretestbed.h"
#include "testhall.h"
#include "hall.h"
#include "scriptedpeer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

constexpr int kTickMs = 20;   // real milliseconds per game second, on both sides

TEST(HallGame, TwoGamesPlayFromLoginToTheNextSignIn)
{
    QTemporaryDir www;
    Hall hall(FastHallConfig(www, kTickMs, 70, 7));
    QString error;
    ASSERT_TRUE(hall.start(&error)) << error.toStdString();
    CoreTestbed bed(kTickMs, hall.requestPort(), hall.gamePort(), hall.salesPort());
    bed.clock.running = true;
    // The player is remembered, with the hall's web host: the next sign-in needs no dialog.
    RememberDemoPlayer(bed, hall);
    bed.create();
    GameCore& core = bed.c();
    const GameRound& round = core.round();
    const BingoCard& card = core.rack().card(1);
    core.ConnecttoGame1Click();
    for (int game = 1; game <= 2; ++game) {
        SCOPED_TRACE(game);
        ASSERT_TRUE(WaitFor([&] { return round.phase() == Phase::SalesOpen && round.announced() && !core.links().busy(); },
                            20000));
        core.shop().chooseFaces(2);
        ASSERT_TRUE(WaitFor([&] { return !core.links().busy() && card.FaceCount == 2; }));
        const std::optional<Money> balance = bed.screen.figures.balance;
        core.shop().Button3Click();
        ASSERT_TRUE(WaitFor([&] { return card.Entered; }));
        EXPECT_EQ(card.CardId.left(6), round.gameNumber());
        EXPECT_TRUE(bed.screen.figures.balance && bed.screen.figures.balance != balance);

        // The hall judged our card alone: it completes the pattern at the winning call.
        ASSERT_TRUE(WaitFor([&] { return round.running(); }, 20000));
        ASSERT_TRUE(WaitFor([&] { return round.callCount() == round.winningCall(); }, 30000));
        core.table().Button4Click();
        EXPECT_TRUE(bed.screen.shop.claimWon);
        ASSERT_TRUE(WaitFor([&] { return round.phase() == Phase::Pause && bed.screen.winners.shown; }));
        EXPECT_EQ(bed.screen.winners.last.names.value(0), QStringLiteral("Lucky Star"));
        EXPECT_TRUE(!card.Entered && round.gameNumber() == "000000");   // CLEARALL
        bed.screen.winners.shown = false;
        ASSERT_TRUE(WaitFor([&] { return round.phase() != Phase::Pause; }));   // the next sign-in
    }
}

}   // namespace
