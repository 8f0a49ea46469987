// The one-second tick: the sales countdown, the call pacing and the game's phases.
#include "coretestbed.h"

#include <gtest/gtest.h>

namespace {

struct ClockTest : ::testing::Test {
    CoreTestbed bed;
    GameCore& core = bed.c();
    RecordingView& view = bed.view;

    void SetUp() override
    {
        for (const char* f : {"sounds/lastcall.wav", "sounds/nosales.wav", "sounds/starting.wav", "sounds/saleson.wav"})
            bed.writeFile(f, "RIFF");
        bed.create();
    }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            core.Timer1Timer();
    }
    // A running game with the given draw and figures, card 1 entered with face 1 of
    // CoreTestbed::numbers (column c row r holds 15c + r + 1).
    void startGame(const QByteArray& draw, int winning, int final, const QByteArray& pattern = "A01000001")
    {
        core.Cards[1].FaceCount = 1;
        core.Cards[1].LoadNumbers(CoreTestbed::numbers(1), "1");
        core.Cards[1].Entered = true;
        core.Cards[1].CardId = "100001.00001.00001";
        core.CardsBought = 1;
        core.CardsEntered = 1;
        core.WaitingForSales = 0;
        core.GameFeedLine("PQZ$0B%0$8100001%8$A" + draw + "%A$9bingo.gif%9$7" + pattern + "%7$5" + QByteArray::number(winning)
                          + "%5$6" + QByteArray::number(final) + "%6");
    }
    // Runs one session step and finishes the ball animation it started.
    void step()
    {
        core.StepCountdown = 0;
        tick();
        if (core.balltimer.isActive())
            core.FinishBallAnimation();
    }
    static QByteArray codes(std::initializer_list<int> numbers)
    {
        QByteArray s;
        for (int n : numbers)
            s += char(n + 50);
        return s;
    }
};

TEST_F(ClockTest, CountdownFromFiftyClosesSalesAtTheRightMoments)
{
    core.Settings.SoundOn = "TRUE";
    core.GameInfoReady = 1;
    core.SalesOpen = 1;
    core.SecondsToStart = 50;
    core.BuyingOpen = core.SelectionOpen = 1;
    view.setVisible("s1image", true);
    view.setVisible("tbimage", true);
    core.Timer1.start();

    tick(5);
    EXPECT_TRUE(bed.player.played.isEmpty());
    tick(1);   // 6 ticks: 44
    ASSERT_EQ(bed.player.played.size(), 1);
    EXPECT_TRUE(bed.player.played[0].endsWith("sounds/lastcall.wav"));
    bed.player.finish();
    tick(14);  // 20 ticks: 30
    ASSERT_EQ(bed.player.played.size(), 2);
    EXPECT_TRUE(bed.player.played[1].endsWith("sounds/nosales.wav"));

    CoreTestbed fresh;   // the button moments, counted from a new countdown
    fresh.create();
    GameCore& c = fresh.c();
    c.GameInfoReady = c.SalesOpen = 1;
    c.SecondsToStart = 50;
    c.BuyingOpen = c.SelectionOpen = 1;
    c.CardsBought = 1;
    fresh.view.setVisible("s1image", true);
    fresh.view.setVisible("tbimage", true);
    for (int i = 0; i < 15; ++i)
        c.Timer1Timer();
    EXPECT_TRUE(fresh.view.visible("s1image"));
    c.Timer1Timer();   // 16
    EXPECT_FALSE(fresh.view.visible("s1image"));
    EXPECT_EQ(c.SelectionOpen, 0);
    EXPECT_TRUE(fresh.view.visible("tbimage"));
    for (int i = 0; i < 10; ++i)
        c.Timer1Timer();   // 26
    EXPECT_FALSE(fresh.view.visible("tbimage"));
    EXPECT_EQ(c.BuyingOpen, 0);
    EXPECT_EQ(fresh.view.text("CallField"), QStringLiteral("0:24"));
    for (int i = 0; i < 19; ++i)
        c.Timer1Timer();   // 45
    EXPECT_EQ(c.GameInfoReady, 1);
    c.Timer1Timer();   // 46: readied
    EXPECT_EQ(c.GameInfoReady, 0);
    EXPECT_TRUE(fresh.view.visible("Panel7"));
    EXPECT_EQ(fresh.view.status(), QStringLiteral("T1306"));
}

TEST_F(ClockTest, CountdownWithoutCardLeavesTheGame)
{
    core.GameInfoReady = core.SalesOpen = 1;
    core.SecondsToStart = 6;
    core.Timer1.start();
    tick(2);
    EXPECT_EQ(core.SalesOpen, 0);
    EXPECT_FALSE(core.Timer1.isActive());
    EXPECT_EQ(view.status(), QStringLiteral("T1302"));
    EXPECT_TRUE(view.visible("Tlogindialog"));
}

TEST_F(ClockTest, TimeToStartIsShownAsMinutesAndSeconds)
{
    core.GameInfoReady = core.SalesOpen = 1;
    core.SecondsToStart = 126;
    tick();
    EXPECT_EQ(view.text("CallField"), QStringLiteral("2:05"));
    core.SecondsToStart = 601;
    tick();
    EXPECT_EQ(view.text("CallField"), QStringLiteral("10:00"));
}

TEST_F(ClockTest, StepsComeEveryNineTicksAndTenWithSoundOff)
{
    startGame(codes({5, 6, 7, 8, 9, 10, 11, 12}), 70, 75);
    EXPECT_EQ(core.StepCountdown, 9);
    int shown = 0;
    int ticks = 0;
    while (shown < 2) {
        tick();
        ++ticks;
        if (core.balltimer.isActive()) {
            core.FinishBallAnimation();
            ++shown;
        }
    }
    EXPECT_EQ(ticks, 10 + 9);   // the first step after 10 ticks (9 then 0), then every 9
    core.TurnSoundOff();
    EXPECT_EQ(core.CallSpacing, 10);
    ticks = 0;
    while (shown < 4) {
        tick();
        ++ticks;
        if (core.balltimer.isActive()) {
            core.FinishBallAnimation();
            ++shown;
        }
    }
    EXPECT_EQ(ticks, 9 + 10);   // the step already counting keeps its 9, then 10
}

TEST_F(ClockTest, BingoAtTheWinningCallAndTheEndThirtyTicksLater)
{
    QByteArray draw;
    for (int n = 1; n <= 75; ++n)
        draw += char(n + 50);
    startGame(draw, 12, 20);
    for (int i = 0; i < 12; ++i)
        step();
    EXPECT_EQ(core.CallCount, 12);
    EXPECT_EQ(view.text("rec1"), QStringLiteral("B12"));
    EXPECT_EQ(core.GameRunning, 1);
    step();   // the step after the twelfth call announces
    EXPECT_EQ(view.status(), QStringLiteral("T1316"));
    EXPECT_EQ(core.CallCount, 20);
    EXPECT_EQ(core.StepCountdown, 29);
    EXPECT_TRUE(view.visible("BingoGIF"));
    tick(29);
    EXPECT_EQ(core.GameRunning, 1);
    tick(1);
    EXPECT_EQ(core.GameRunning, 0);
    EXPECT_EQ(core.ResumePending, 1);
    EXPECT_EQ(core.PendingRequest, 15);   // the winners were asked for
    EXPECT_EQ(core.GameNumber, QStringLiteral("000000"));
    EXPECT_EQ(view.c("rec1").text, QStringLiteral("B12"));
    EXPECT_FALSE(core.Cards[1].Entered);
    // Thirty seconds later the next game is prepared and the sign-in runs.
    tick();
    EXPECT_EQ(core.ResumePending, 1);
    bed.clock.advance(30001);
    tick();
    EXPECT_EQ(core.ResumePending, 0);
    EXPECT_EQ(view.status(), QStringLiteral("T1307"));
}

TEST_F(ClockTest, FinalCallZeroEndsBeforeAnyCall)
{
    startGame(codes({5, 6, 7}), 12, 0);
    step();
    EXPECT_EQ(core.GameRunning, 0);
    EXPECT_EQ(core.CallCount, 0);
}

TEST_F(ClockTest, EqualFiguresEndWithoutTheBingo)
{
    startGame(codes({5, 6, 7, 8}), 2, 2);
    step();
    step();
    step();
    EXPECT_EQ(core.GameRunning, 0);
    EXPECT_FALSE(view.statusHistory.contains("T1316"));
}

TEST_F(ClockTest, EmptyDrawAbortsAtTheSecondStep)
{
    startGame("", 12, 20);
    step();
    EXPECT_EQ(core.GameRunning, 1);
    EXPECT_EQ(view.text("rec1"), QStringLiteral("."));
    step();
    EXPECT_EQ(core.GameRunning, 0);
    EXPECT_TRUE(view.messages.contains("Call information for this game not received successfully - Press Ok to Terminate Game"));
    EXPECT_EQ(view.status(), QStringLiteral("T1301"));
    EXPECT_NE(core.PendingRequest, 15);   // no winners after an abort
    EXPECT_EQ(core.ResumePending, 1);
}

TEST_F(ClockTest, RepeatedCodeIsSteppedPastAndTheDrawGoesOn)
{
    startGame(codes({5, 5, 6, 7}), 3, 75);
    step();
    EXPECT_EQ(core.CallCount, 1);
    step();   // the repeated 5: skipped, the clock moves on
    EXPECT_EQ(core.CallCount, 2);
    step();
    EXPECT_EQ(core.CallCount, 3);
    EXPECT_EQ(view.text("rec1"), QStringLiteral("B6"));
    step();   // winning call 3 reached
    EXPECT_EQ(view.status(), QStringLiteral("T1316"));
}

TEST_F(ClockTest, ShortDrawEndsAtTheLastCodeReceived)
{
    startGame(codes({5, 6, 7}), 40, 75);
    for (int i = 0; i < 3; ++i)
        step();
    EXPECT_EQ(core.CallCount, 3);
    step();
    EXPECT_EQ(core.GameRunning, 0);
}

TEST_F(ClockTest, EndEventAndBingoEventFromTheFeed)
{
    startGame(codes({5, 6, 7, 8, 9}), 40, 75);
    step();
    core.DispatchServerLine(5, "PQZ$0E%0");
    EXPECT_EQ(view.status(), QStringLiteral("T1316"));
    EXPECT_EQ(core.CallCount, 75);
    core.DispatchServerLine(4, "PQZ$0D%0");
    EXPECT_EQ(core.GameRunning, 0);
    EXPECT_EQ(view.status(), QStringLiteral("T1304"));
}

TEST_F(ClockTest, UsedUpCreditsEndTheSessionWithThanks)
{
    startGame(codes({5, 6}), 1, 75);
    core.Balance = "0.00";
    core.Timer1.start();
    core.FinishGame();
    EXPECT_FALSE(core.Timer1.isActive());
    EXPECT_TRUE(view.shownWindows.contains("Tmarketdialog"));
    EXPECT_EQ(view.status(), QStringLiteral("T1302"));
}

TEST_F(ClockTest, SilentFeedIsReopenedByTheWatchdog)
{
    core.WaitingForSales = 1;
    core.SalesFeedReopen = 0;
    core.SecondsToStart = 100;
    core.StepCountdown = 0;
    tick();
    EXPECT_EQ(core.SalesFeedReopen, 100);   // armed at the first step
    core.FeedSilence = 36;
    core.StepCountdown = 0;
    tick();
    EXPECT_EQ(core.SalesFeedReopen, 0);     // reopened and cleared
    EXPECT_EQ(core.FeedSilence, 1);
    EXPECT_TRUE(core.SalesFeed->isOpen());
}

TEST_F(ClockTest, BoardStripAndMarksFollowTheCalls)
{
    core.Settings.CallerSet = "cs3";
    startGame(codes({12, 40, 75, 61}), 70, 75);
    step();
    EXPECT_EQ(core.BallSoundName, QStringLiteral("cs3B12"));
    step();
    step();
    EXPECT_EQ(view.text("rec1"), QStringLiteral("O75"));
    EXPECT_EQ(view.text("rec2"), QStringLiteral("N40"));
    EXPECT_EQ(view.text("rec3"), QStringLiteral("B12"));
    EXPECT_EQ(view.text("rec4"), QStringLiteral("."));
    EXPECT_EQ(view.text("CallField"), QStringLiteral("3"));
    EXPECT_EQ(core.Cards[1].IsCalled(0, 12), 1);
    EXPECT_EQ(core.Cards[6].IsCalled(2, 10), 1);
    EXPECT_EQ(core.Cards[1].IsCalled(4, 15), 1);
    EXPECT_EQ(core.Cards[1].IsCalled(0, 11), 0);
    EXPECT_EQ(core.Cards[7].IsCalled(0, 12), 0);   // only the cards in use
    step();
    EXPECT_EQ(core.BallSoundName, QStringLiteral("cs3O61"));
}

TEST_F(ClockTest, ProgressiveJackpotFollowsTheCallCount)
{
    core.FillJackpotTable("SA:5.00]F:4]FA:2.50]V5:99.00]");
    startGame(codes({1, 2, 3, 4, 5, 6}), 70, 75, "A11000007");
    for (int i = 0; i < 5; ++i)
        step();
    EXPECT_EQ(view.text("Jackpot"), QStringLiteral("$ 99.00"));
}

TEST_F(ClockTest, ClaimsCountWinningFacesAndNeverReachTheServer)
{
    bed.writeFile("sounds/yesbingo.wav", "RIFF");
    bed.writeFile("sounds/nobingo.wav", "RIFF");
    core.Settings.SoundOn = "TRUE";
    // Card 1 face 1: the top row holds 1, 16, 31, 46, 61.
    startGame(codes({1, 16, 31, 46, 61, 70}), 70, 75, "A01000001");
    bed.player.finish();   // "starting.wav"
    core.Button4Click();
    EXPECT_EQ(core.WinningFaces, 0);
    EXPECT_TRUE(view.c("button4").enabled);
    EXPECT_TRUE(bed.player.played.last().endsWith("nobingo.wav"));
    core.Button4MouseUp();
    EXPECT_EQ(view.text("button4"), QStringLiteral("Bingo!"));
    bed.player.finish();
    for (int i = 0; i < 5; ++i)
        step();
    bed.player.playing = false;
    core.Button4Click();
    EXPECT_EQ(core.WinningFaces, 1);
    EXPECT_FALSE(view.c("button4").enabled);
    EXPECT_EQ(view.text("button4"), QStringLiteral("Winner!"));
    EXPECT_EQ(view.status(), QStringLiteral("T1305"));
    EXPECT_EQ(core.Cards[1].CellColour[1][0][0], kRed);
    EXPECT_FALSE(core.RequestLink->isOpen());
}

TEST_F(ClockTest, UnreadablePicturesAreNamedAndTheGameGoesOn)
{
    view.missingPictures = {"bdblu.gif", "bdblua.gif", "bingo.gif"};
    startGame(codes({5, 6, 7}), 2, 75);
    step();
    EXPECT_TRUE(view.statusHistory.contains("Picture not available: bdblu.gif"));
    step();
    EXPECT_EQ(core.CallCount, 2);
    step();   // the bingo picture cannot be read either: the bingo is still announced
    EXPECT_TRUE(view.statusHistory.contains("Picture not available: bingo.gif"));
    EXPECT_EQ(core.CallCount, 75);
    // A missing skin file stops the change of look there and names the file.
    core.ChooseSkin(3);
    EXPECT_EQ(core.ButtonColour, RGB(255, 0, 0));
    view.missingPictures = {"skins/planks.bmp"};
    core.ChooseSkin(1);
    EXPECT_EQ(view.status(), QStringLiteral("Picture not available: skins/planks.bmp"));
    EXPECT_EQ(core.ButtonColour, RGB(255, 0, 0));
}

TEST_F(ClockTest, ShowCardControlsFollowsTheCardAndTheSales)
{
    core.BuyingOpen = core.SelectionOpen = 1;
    core.ShowCardControls();
    EXPECT_TRUE(view.visible("s1image"));
    EXPECT_FALSE(view.visible("tbimage"));
    core.Cards[1].Loaded = true;
    core.ShowCardControls();
    EXPECT_TRUE(view.visible("tbimage"));
    core.Cards[1].Entered = true;
    core.Cards[1].CardId = "123456.00042.00017";
    core.ShowCardControls();
    EXPECT_FALSE(view.visible("tbimage"));
    EXPECT_FALSE(view.visible("s1image"));
    EXPECT_EQ(view.text("cardid1"), QStringLiteral("123456.00017"));
}

TEST_F(ClockTest, PagingBeepsAtTheEndsAndWhileBusy)
{
    core.LeftCardClick();
    EXPECT_EQ(core.CurrentCard, 1);
    EXPECT_EQ(view.beeps, 1);
    for (int i = 0; i < 6; ++i)
        core.RightCardClick();
    EXPECT_EQ(core.CurrentCard, 6);
    EXPECT_EQ(view.beeps, 2);
    EXPECT_FALSE(view.visible("RightCard"));
    core.RequestBusy = 1;
    core.LeftCardClick();
    EXPECT_EQ(core.CurrentCard, 6);
    EXPECT_EQ(view.beeps, 3);
}

}   // namespace
