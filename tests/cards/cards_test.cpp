// The card model (numbers texts, calls, marks, daubs, identity), and the player's card
// rack through the game core: paging, the buy buttons, daubing by mouse and the claim.
#include "coretestbed.h"
#include "rules/bingocard.h"
#include "scriptedpeer.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

// Cards of CoreTestbed::numbers(): face f (from 0) column c row r holds 15c + r + 1 + f.
BingoCard Loaded(int faces, const QByteArray& text = {})
{
    BingoCard card;
    card.FaceCount = faces;
    EXPECT_TRUE(card.LoadNumbers(text.isEmpty() ? CoreTestbed::numbers(faces) : text, QStringLiteral("77")));
    return card;
}

void Call(BingoCard& card, int n) { card.SetCalled((n - 1) / 15, (n - 1) % 15 + 1, 1); }

// The rack on a started core with sound on; the request link leads to a scripted server.
struct Rack : ::testing::Test {
    ScriptedPeer server;
    CoreTestbed bed{1000, server.port()};
    GameCore& core = bed.c();
    void SetUp() override
    {
        bed.writeFile(QStringLiteral("defaults.cfg"), "SO:TRUE#\r\n");
        for (const char* f : {"yesbingo.wav", "nobingo.wav"})
            bed.writeFile(QStringLiteral("sounds/") + QLatin1String(f), "RIFF");
        bed.create();
        bed.signIn();
        bed.openSales();
    }
    bool purchaseSent()
    {
        return WaitFor([&] { return !server.received.isEmpty() && server.received.last().startsWith("PQZ!B7"); });
    }
};

}   // namespace

TEST(CardText, LoadFillsTheFacesInUseColumnByColumnLeavingColoursAndMarksAndUnreadableTextsLeaveTheCardAsItWas)
{
    BingoCard card;
    card.CellColour[1][0][0] = kBlue;
    card.setMarked(1, 0, 0);
    QByteArray text = CoreTestbed::numbers(1) + QByteArray(29, '\xff');   // text past the faces in use is ignored
    text[1] = 'A';    // 15
    text[24] = '}';   // 75
    ASSERT_TRUE(card.LoadNumbers(text, QStringLiteral("1234")));   // no faces chosen: face 1
    EXPECT_TRUE(card.Numbers[1][0][0] == 1 && card.Numbers[1][0][1] == 15 && card.Numbers[1][4][4] == 75
                && card.Numbers[1][2][2] == 0 && card.Numbers[4][2][2] == 0);
    EXPECT_TRUE(card.Loaded && card.SelectionCode == "1234" && card.revision == 1u && card.CellColour[1][0][0] == kBlue
                && card.isMarked(1, 0, 0));
    card.FaceCount = 2;   // fewer faces than the text holds
    ASSERT_TRUE(card.LoadNumbers(CoreTestbed::numbers(4), QString()));
    EXPECT_TRUE(card.Numbers[2][0][0] == 2 && card.Numbers[3][0][0] == 0);

    using Check = BingoCard::TextCheck;
    const BingoCard before = Loaded(2);
    auto with = [](char byte, int position) { return CoreTestbed::numbers(2).replace(position, 1, &byte, 1); };
    const std::tuple<QByteArray, int, Check> cases[] = {
        {CoreTestbed::numbers(1), 2, Check::TooShort}, {QByteArray(24, '3'), 0, Check::TooShort},
        {with('2', 32), 2, Check::OutOfRange}, {with('~', 32), 2, Check::OutOfRange},   // codes of 0 and 76
        {with('\0', 32), 2, Check::OutOfRange}, {with('\xff', 32), 2, Check::OutOfRange},
        {with('2', 32), 1, Check::Ok},   // on a face not in use
        // Free squares.
        {with('\0', 12), 2, Check::Ok}, {with('\xff', 37), 2, Check::Ok}, {with('~', 12), 1, Check::Ok},
    };
    for (const auto& [unread, faces, check] : cases) {
        EXPECT_EQ(BingoCard::CheckNumbersText(unread, faces), check) << unread.toHex().constData();
        card = before;
        card.FaceCount = faces;
        EXPECT_EQ(card.LoadNumbers(unread, QStringLiteral("other")), check == Check::Ok);
        EXPECT_TRUE(check == Check::Ok
                    || (card.Numbers == before.Numbers && card.SelectionCode == "77" && card.revision == 1u));
    }
}

TEST(CardCalls, CallsMarkEnteredCardsAndTheAutomaticDaubTakesWhiteCells)
{
    QByteArray text = CoreTestbed::numbers(1);
    text[0] = char(70 + 50);   // an O number in the B column is found by its own letter
    BingoCard card = Loaded(1, text);
    for (auto [column, position] : {std::pair{-1, 1}, {5, 1}, {0, 0}, {0, 16}}) {
        card.SetCalled(column, position, 1);
        EXPECT_FALSE(card.IsCalled(column, position));
    }
    Call(card, 70);
    EXPECT_FALSE(card.isMarked(1, 0, 0));   // called before the card was entered
    card.Entered = true;
    card.MarkCalled();
    EXPECT_TRUE(card.isMarked(1, 0, 0) && card.CellColour[1][0][0] == kWhite);   // no automatic daub yet
    EXPECT_TRUE(card.isMarked(2, 2, 2) && !card.isMarked(2, 0, 0));   // a face not in use: its centre only
    EXPECT_TRUE(card.DaubCell(4, 2, 2) && card.isMarked(4, 2, 2));
    // An empty cell, and places off the card.
    for (auto [f, c, r] : {std::tuple{2, 0, 0}, {0, 0, 0}, {5, 0, 0}, {1, -1, 0}, {1, 5, 0}, {1, 0, -1}, {1, 0, 5}})
        EXPECT_FALSE(card.DaubCell(f, c, r));

    EXPECT_FALSE(card.isMarked(1, 1, 1));   // the 17, not called
    card.AutoDaubOn = true;
    Call(card, 2);
    EXPECT_TRUE(card.CellColour[1][0][1] == kAqua && card.CellColour[2][2][2] == kAqua);
    card.AutoDaubColour = kGrey;   // a new colour leaves the earlier automatic daubs
    Call(card, 3);
    EXPECT_TRUE(card.CellColour[1][0][1] == kAqua && card.CellColour[1][0][2] == kGrey);
}

TEST(CardCalls, EachNumberFromOneToSeventyFiveMarksItsOwnCellWhetherCalledBySlotOrByNumber)
{
    QByteArray text = CoreTestbed::numbers(1);
    text[1] = 'A';    // 15 at column 0 row 1
    text[24] = '}';   // 75 at column 4 row 4
    const std::tuple<int, int, int> cells[] = {{1, 0, 0}, {15, 0, 1}, {16, 1, 0}, {75, 4, 4}};
    for (const auto& [n, column, row] : cells) {
        BingoCard bySlot = Loaded(1, text);
        bySlot.Entered = true;
        BingoCard byNumber = bySlot;
        Call(bySlot, n);
        byNumber.SetNumberCalled(n);
        byNumber.MarkCalled();
        EXPECT_TRUE(bySlot.IsNumberCalled(n) && !bySlot.IsNumberCalled(n - 1) && !bySlot.IsNumberCalled(n + 1)) << n;
        EXPECT_EQ(bySlot.CellNumber(1, column, row), n);
        EXPECT_EQ(bySlot.markedCells(1), (1u << (5 * column + row)) | (1u << 12)) << n;   // and the free square
        EXPECT_TRUE(byNumber.Called == bySlot.Called && byNumber.Marked == bySlot.Marked) << n;
    }
}

TEST(CardIdentity, ClearCardEndsTheGameOnlyAndIdsShorten)
{
    BingoCard card = Loaded(3);
    card.Entered = true;
    card.CardId = QStringLiteral("123456.00042.00017");   // shortened in the rack tests below
    card.DaubColour = kGrey;
    Call(card, 5);
    EXPECT_TRUE(card.DaubCell(1, 0, 4));
    card.ClearCard();
    const BingoCard fresh;
    EXPECT_TRUE(card.Numbers == fresh.Numbers && card.CellColour == fresh.CellColour && card.Marked == fresh.Marked);
    EXPECT_TRUE(card.ShortId() == "------.-----" && !card.Loaded && !card.Entered);
    // The choice of faces, the calls and the daub colour stay.
    EXPECT_TRUE(card.FaceCount == 3 && card.SelectionCode == "77" && card.IsCalled(0, 5) && card.DaubColour == kGrey);
    QString letters;
    for (int n : {-5, 0, 1, 15, 16, 30, 31, 45, 46, 60, 61, 75, 76})
        letters += ColumnLetter(n) + QLatin1Char('|');
    EXPECT_EQ(letters, "||B|B|I|I|N|N|G|G|O|O||");
}

TEST_F(Rack, BuyButtonsFollowTheCardShownAndThePurchaseAndPagingStopsAtBothEnds)
{
    const ShopRecord& shop = bed.screen.shop;
    const TableRecord& table = bed.screen.table;
    EXPECT_TRUE(shop.faceChoiceShown && !shop.buyShown && !shop.claimShown);
    core.shop().chooseFaces(3);
    bed.line(Link::Request, "PQZ!CARDRG1$A76%A$Bxx%B");   // a card that cannot be read offers no Buy
    EXPECT_FALSE(shop.buyShown);
    core.shop().chooseFaces(2);
    bed.line(Link::Request, "PQZ!CARDRG1$A77%A$B" + CoreTestbed::numbers(2) + "%B");
    EXPECT_TRUE(shop.buyShown && shop.cardButtonsEnabled);

    core.shop().Button3Click();
    bed.line(Link::Request, "PQZ!LOGINOK100001.00042.00017$04.00%0$B" + CoreTestbed::numbers(2) + "%B$C77%C");
    EXPECT_TRUE(shop.claimShown && !shop.buyShown && !shop.faceChoiceShown);
    EXPECT_EQ(table.cardId, "100001.00017");
    ASSERT_TRUE(purchaseSent());
    EXPECT_TRUE(server.received.last().contains("#!AT77#!SKLucky#!NC2#")) << server.received.last().constData();

    const int& beeps = bed.screen.player.beeps;
    const int before = beeps;
    core.table().LeftCardClick();
    EXPECT_TRUE(beeps == before + 1 && !table.leftArrow && table.rightArrow && table.at(0, 0) == 1);
    for (int i = 0; i < 6; ++i)
        core.table().RightCardClick();
    EXPECT_TRUE(beeps == before + 2 && table.page == 6);
    EXPECT_TRUE(table.at(0, 0) == 6 && table.leftArrow && !table.cards[5].shown() && !table.rightArrow);
    // Card 6 is still to be chosen.
    EXPECT_TRUE(shop.faceChoiceShown && !shop.buyShown && table.cardId == "------.-----");
    // Ten ready-made cards that cannot be read leave card 6 one face, and it buys as one.
    core.shop().chooseFaces(1);
    bed.line(Link::Request, "PQZ!CARDRG1$A80%A$B" + CoreTestbed::numbers(1) + "%B");
    core.shop().RequestStarterCards();
    bed.line(Link::Request, "PQZ!CARDRG1$A1000%A$Bxx%B");
    core.shop().Button3Click();
    EXPECT_TRUE(WaitFor([&] { return server.received.last().contains("#!AT80#!SKLucky#!NC1#"); }));
}

TEST_F(Rack, PlayerDaubsCalledNumbersOfBoughtCardsByMouseAndTheClaimIsNeverSentButTheEndAsksForTheWinners)
{
    bed.buyCard(1);
    ASSERT_TRUE(purchaseSent());
    Spin(100);
    const QList<QByteArray> sent = server.received;
    bed.startGame(CoreTestbed::codes({1, 2, 16, 31, 46, 61}), 70, 75);   // one line wins: the top row
    bed.step();
    const BingoCard& card = core.rack().card(1);
    auto press = [&](int k, int column, int row) { core.table().FaceMouseDown(k, 1, column, row); };
    press(1, -1, 0);   // a grid line or outside the cells
    press(1, 0, 1);    // the 2, not called yet
    press(2, 2, 2);    // the free square of a card not bought
    EXPECT_TRUE(card.CellColour[1][0][0] == kWhite && card.CellColour[1][0][1] == kWhite
                && core.rack().card(2).CellColour[1][2][2] == kWhite);
    const int redraws = bed.screen.table.cards[1].redraws;
    press(1, 0, 0);
    EXPECT_TRUE(card.CellColour[1][0][0] == kBlue && bed.screen.table.cards[1].redraws > redraws);
    const ShopRecord& shop = bed.screen.shop;
    core.table().Button4Click();
    EXPECT_TRUE(bed.heard() == "nobingo.wav" && shop.claimEnabled);
    core.table().Button4MouseUp();
    EXPECT_FALSE(shop.claimWon);

    bed.screen.player.colourAnswer = true;
    bed.screen.player.colourToChoose = kGrey;
    core.table().dpresentMouseDown();
    bed.step();
    press(1, 0, 1);
    EXPECT_TRUE(shop.daubColour == kGrey && card.CellColour[1][0][1] == kGrey);
    core.table().AutodauberClick();   // called numbers now daub themselves, and the choice is kept
    EXPECT_TRUE(bed.readFile(QStringLiteral("defaults.cfg")).contains("#DM:TRUE#"));
    bed.step();
    EXPECT_TRUE(card.CellColour[1][1][0] == kAqua && card.CellColour[1][0][1] == kGrey);   // the player's daub stays

    bed.step(3);
    core.table().Button4Click();
    core.table().Button4MouseUp();
    EXPECT_TRUE(bed.heard() == "yesbingo.wav" && !shop.claimEnabled && shop.claimWon
                && bed.screen.status.text == "T1305");
    EXPECT_EQ(card.CellColour[1][4][0], kRed);   // the winning line; the check itself is patterns_test's
    bed.step();   // the end of the draw: the only request since the purchase asks for this game's winners
    ASSERT_TRUE(WaitFor([&] { return server.received.size() > sent.size(); }));
    EXPECT_EQ(server.received, sent + QList<QByteArray>{"PQZ!GS100001##"});
}

// During a game the cards in use lie side by side as far as the room the main window reports
// allows, in reading order from the card paged to; the last one lies alone.
TEST_F(Rack, DuringAGameTheCardsFillTheRoomInReadingOrder)
{
    bed.buyCard(1);
    bed.startGame(CoreTestbed::codes({1, 2, 3}), 70, 75);
    const TableRecord& table = bed.screen.table;
    const auto shown = [&] {   // the cards place by place; none may lie anywhere else
        QList<int> cards;
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 3; ++column)
                if (const int k = table.at(column, row))
                    cards << k;
        const auto anywhere = std::count_if(table.cards.begin(), table.cards.end(),
                                            [](const TableRecord::Card& card) { return card.shown(); });
        EXPECT_EQ(anywhere, cards.size());
        return cards;
    };
    const struct { TableRoom room; QList<int> cards; } cases[] = {
        {{1, false}, {1}}, {{2, false}, {1, 2}}, {{3, false}, {1, 2, 3}}, {{4, false}, {1, 2, 3}},
        {{0, true}, {1, 2}}, {{2, true}, {1, 2, 3, 4}}, {{3, true}, {1, 2, 3, 4, 5, 6}},
    };
    for (const auto& c : cases) {
        core.table().FormResize(c.room);
        EXPECT_EQ(shown(), c.cards) << c.room.columns << (c.room.twoRows ? " in two rows" : "");
    }
    core.table().RightCardClick();
    EXPECT_EQ(shown(), QList<int>({2, 3, 4, 5, 6}));
    const int beeps = bed.screen.player.beeps;
    for (int k = 2; k < CardRack::kInUse; ++k)
        core.table().RightCardClick();
    EXPECT_TRUE(shown() == QList<int>{6} && bed.screen.player.beeps == beeps + 1);
    core.table().FormResize(TableRoom{1, false});   // a new room starts again from the first card
    EXPECT_EQ(shown(), QList<int>{1});
}
