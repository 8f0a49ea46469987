// The dispatcher's rules, driven line by line.
#include "coretestbed.h"
#include "rules/wire.h"

#include <gtest/gtest.h>

namespace {

TEST(Wire, FieldValueTakesFirstTagsInAnyOrder)
{
    EXPECT_EQ(FieldValue('8', "PQZ$0A%0$8123456%8"), QByteArray("123456"));
    EXPECT_EQ(FieldValue('8', "PQZ$8abc%8$0A%0"), QByteArray("abc"));
    EXPECT_EQ(FieldValue('2', "PQZ%2x$2"), QByteArray());          // reversed tags
    EXPECT_EQ(FieldValue('2', "PQZ$2%2"), QByteArray());            // empty value
    EXPECT_EQ(FieldValue('2', "PQZ$2a%2$2b%2"), QByteArray("a"));   // first pair
    EXPECT_EQ(FieldValue('2', "PQZ junk %2"), QByteArray());        // no opening tag
    EXPECT_EQ(FieldValue('K', "$Kx%K"), QByteArray("x"));
    EXPECT_EQ(Chars("PQZ!LOGINNOThis Account", 12, 27), QByteArray("This Account"));
    EXPECT_EQ(ToInt(" 42 "), 42);
    EXPECT_FALSE(ToInt("4x").has_value());
    EXPECT_FALSE(ToInt("").has_value());
    EXPECT_FALSE(ToInt("99999999999").has_value());
}

struct DispatchTest : ::testing::Test {
    CoreTestbed bed;
    GameCore& core = bed.c();
    RecordingView& view = bed.view;
    void SetUp() override
    {
        bed.create();
        core.WaitingForSales = 0;
        core.GameInfoReady = 1;
    }
    static QByteArray announce(const QByteArray& game, int seconds, const QByteArray& jackpot = "100.00", const QByteArray& players = "12")
    {
        return "PQZ$2" + jackpot + "%2$3" + players + "%3$4" + QByteArray::number(seconds) + "%4$8" + game + "%8$7A01000001%7$0A%0";
    }
    void enterCard(int k, const QString& id)
    {
        core.Cards[k].FaceCount = 1;
        core.Cards[k].LoadNumbers(CoreTestbed::numbers(1), QStringLiteral("7"));
        core.Cards[k].Entered = true;
        core.Cards[k].CardId = id;
    }
};

TEST_F(DispatchTest, FirstAnnouncementOpensSalesSecondOnlyRefreshes)
{
    core.GameFeedLine(announce("100001", 90));
    EXPECT_EQ(core.GameNumber, QStringLiteral("100001"));
    EXPECT_EQ(core.SecondsToStart, 90);
    EXPECT_EQ(core.FirstNotice, 1);
    EXPECT_EQ(core.BuyingOpen, 1);
    EXPECT_EQ(core.SelectionOpen, 1);
    EXPECT_EQ(view.text("Jackpot"), QStringLiteral("$ 100.00"));
    EXPECT_EQ(view.text("lplayers"), QStringLiteral("12"));
    EXPECT_TRUE(view.visible("Panel18"));
    EXPECT_TRUE(view.visible("GridPanel1"));
    EXPECT_TRUE(view.visible("Card1"));
    EXPECT_TRUE(view.visible("s1image"));   // card 1 not loaded: face counts yes, buy no
    EXPECT_FALSE(view.visible("tbimage"));

    core.GameFeedLine(announce("100001", 30, "150.00", "20"));
    EXPECT_EQ(core.SecondsToStart, 90);
    EXPECT_EQ(view.text("Jackpot"), QStringLiteral("$ 150.00"));
    EXPECT_EQ(view.text("lplayers"), QStringLiteral("20"));
}

TEST_F(DispatchTest, SalesFeedWaitsThenSwitchesOnBuy)
{
    core.WaitingForSales = 1;
    core.SalesFeedLine("PQZACKWAT");
    EXPECT_EQ(core.WaitingForSales, 1);
    core.SalesFeedLine("PQZACKBUYx");   // the digit is required
    EXPECT_EQ(core.WaitingForSales, 1);
    core.SalesFeedLine("Hello");        // not a PQZACK line: ignored, still resets the silence
    core.FeedSilence = 7;
    core.SalesFeedLine("junk");
    EXPECT_EQ(core.FeedSilence, 0);
    core.SecondsToStart = 77;
    core.SalesFeedLine("PQZACKBUY1");
    EXPECT_EQ(core.WaitingForSales, 0);
    EXPECT_EQ(core.GameFeedReopen, 77);
    EXPECT_EQ(core.SalesFeedReopen, 0);
    EXPECT_TRUE(core.GameFeed->isOpen());
}

TEST_F(DispatchTest, AckOnGameFeedAfterBuyIsAnAnnouncementWithoutGameNumber)
{
    enterCard(2, QStringLiteral("100001.00001.00002"));
    core.GameFeedLine("PQZACKWAT");
    EXPECT_TRUE(core.GameNumber == QStringLiteral("000000"));   // reset by leaving
    EXPECT_TRUE(view.messages.contains(QStringLiteral("Your Bingo Cards were entered into the previous game. Please Reconnect to join the next game")));
    EXPECT_TRUE(view.visible("Tlogindialog"));
    EXPECT_FALSE(core.Timer1.isActive());
}

TEST_F(DispatchTest, GameNumberCheckLooksAtEnteredCardsOneToSix)
{
    enterCard(7, QStringLiteral("999999.00001.00001"));   // card 7 is not checked
    EXPECT_TRUE(core.CheckGameNumber(QStringLiteral("100001")));
    enterCard(3, QStringLiteral("100001.00001.00001"));
    EXPECT_TRUE(core.CheckGameNumber(QStringLiteral("100001")));
    EXPECT_FALSE(core.CheckGameNumber(QStringLiteral("100002")));
    core.Cards[3].Entered = false;
    EXPECT_TRUE(core.CheckGameNumber(QStringLiteral("100002")));
}

TEST_F(DispatchTest, GameStartTakesTheDrawAndClosesTheGameFeed)
{
    QByteArray draw;
    for (int n = 1; n <= 85; ++n)
        draw += char((n - 1) % 75 + 1 + 50);
    core.GameFeedLine("PQZ$0B%0$8100001%8$A" + draw + "%A$9bingo.gif%9$7B0O000003%7$2200.00%2$35%3$512%5$620%6");
    EXPECT_EQ(core.GameRunning, 1);
    EXPECT_EQ(core.CallsRunning, 1);
    EXPECT_EQ(core.WinningCall, 12);
    EXPECT_EQ(core.FinalCall, 20);
    EXPECT_EQ(core.CallString.size(), 81);
    EXPECT_EQ(core.CallString.left(80), draw.left(80));   // cut at 80 codes
    EXPECT_EQ(core.DrawLength, 80);
    EXPECT_EQ(view.text("Jackpot"), QStringLiteral("$200.00"));
    EXPECT_EQ(core.Pattern.PatternKind, QLatin1Char('B'));
    EXPECT_FALSE(core.GameFeed->isOpen());
    EXPECT_EQ(view.status(), QStringLiteral("T1308"));
}

TEST_F(DispatchTest, VariantStartBeepsAndKeepsTheJackpotLabel)
{
    view.setText("Jackpot", "unchanged");
    core.GameFeedLine("PQZ$0C%0$8100001%8$A345%A$2200.00%2$55%5$620%6");
    EXPECT_EQ(view.beeps, 1);
    EXPECT_EQ(view.text("Jackpot"), QStringLiteral("unchanged"));
    EXPECT_EQ(core.GameRunning, 1);
}

TEST_F(DispatchTest, WinnersListsOfTwoAndSixNames)
{
    core.DispatchServerLine(15, "PQZ!LOGINOK$125.00%1$2 ,Ann,Bob %2$3Well played%3");
    EXPECT_EQ(view.text("Twinners.payout"), QStringLiteral("$25.00"));
    EXPECT_EQ(view.text("Twinners.wc1"), QStringLiteral("Ann"));
    EXPECT_EQ(view.text("Twinners.WC2"), QStringLiteral("Bob"));
    EXPECT_EQ(view.text("Twinners.WC3"), QString());
    EXPECT_FALSE(view.visible("Twinners.ListBox1"));
    EXPECT_EQ(view.text("Twinners.memo2"), QStringLiteral("Well played"));
    EXPECT_TRUE(view.visible("Twinners"));

    core.DispatchServerLine(15, "PQZ!LOGINOK$110.00%1$2A,B,C,D,E,F%2$3%3");
    EXPECT_EQ(view.c("Twinners.ListBox1").items, (QStringList{"A", "B", "C", "D", "E", "F"}));
    EXPECT_TRUE(view.visible("Twinners.ListBox1"));
    EXPECT_EQ(view.text("Twinners.WC4"), QStringLiteral("D"));

    core.DispatchServerLine(15, "PQZ!LOGINOK$10%1$2%2");
    EXPECT_EQ(view.c("Twinners.ListBox1").items, QStringList{QString()});   // an empty list counts one empty name
}

TEST_F(DispatchTest, WinnersRequestIsRefusedWhileAnotherIsOutstanding)
{
    core.RequestBusy = 1;
    core.ShowLastWinners(QStringLiteral("000000"));
    EXPECT_EQ(view.messages, QStringList{QStringLiteral("T1404")});
    EXPECT_EQ(core.PendingRequest, 15);
    EXPECT_FALSE(core.RequestLink->isOpen());
}

TEST_F(DispatchTest, PrizeTableFollowsTheCallCount)
{
    core.FillJackpotTable("SA:5.00]F:10]FA:2.50]V7:25.00]");
    EXPECT_EQ(core.JackpotTable[1], QStringLiteral("5.00"));
    EXPECT_EQ(core.JackpotTable[7], QStringLiteral("25.00"));
    EXPECT_EQ(core.JackpotTable[9], QStringLiteral("5.00"));
    EXPECT_EQ(core.JackpotTable[10], QStringLiteral("2.50"));
    EXPECT_EQ(core.JackpotTable[75], QStringLiteral("2.50"));
    // Without "F:" the table is a protocol error and keeps what it had.
    core.FillJackpotTable("SA:1.00]FA:1.00]");
    EXPECT_EQ(core.JackpotTable[1], QStringLiteral("5.00"));
}

TEST_F(DispatchTest, UnknownEventCodesDoNothing)
{
    const auto before = view.events.size();
    core.DispatchServerLine(6, "PQZ$0A%0");
    core.DispatchServerLine(0, "PQZ$0A%0");
    core.GameFeedLine("PQZ$0Z%0");
    core.GameFeedLine("XYZ$0A%0");
    EXPECT_EQ(view.events.size(), before);
    EXPECT_EQ(core.FirstNotice, 0);
}

}   // namespace
