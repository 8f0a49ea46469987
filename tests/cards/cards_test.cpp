// Card model: loading numbers texts, the called table, marks, daubs, identity.
#include "rules/bingocard.h"

#include <gtest/gtest.h>

namespace {

// Face f holds 15*column + (row + 5*(f-1)) % 15 + 1: column B 1..15, I 16..30 and so on.
int Expected(int face, int column, int row)
{
    return 15 * column + (row + 5 * (face - 1)) % 15 + 1;
}

QByteArray Text(int faces, char centre = 'x')
{
    QByteArray text;
    for (int f = 1; f <= faces; ++f)
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 5; ++r)
                text.append(c == 2 && r == 2 ? centre : char(Expected(f, c, r) + 50));
    return text;
}

void Call(BingoCard& card, int n)
{
    const int column = (n - 1) / 15;
    card.SetCalled(column, n - 15 * column, 1);
}

BingoCard Loaded(int faces, bool entered = true)
{
    BingoCard card;
    card.FaceCount = faces;
    EXPECT_TRUE(card.LoadNumbers(Text(faces), QStringLiteral("77")));
    card.Entered = entered;
    return card;
}

}   // namespace

TEST(CardLoad, DecodesColumnByColumnAndFillsOnlyFacesInUse)
{
    BingoCard card;
    card.FaceCount = 1;
    card.CellColour[1][0][0] = kBlue;   // colours and marks are not touched by a load
    card.Marked[1][0][0] = 1;
    const quint64 before = card.revision;
    QByteArray text = Text(1);
    text[0] = '3';   // 1
    text[1] = 'A';   // 15
    text[24] = '}';  // 75
    ASSERT_TRUE(card.LoadNumbers(text, QStringLiteral("1234")));
    EXPECT_EQ(card.Numbers[1][0][0], "1");
    EXPECT_EQ(card.Numbers[1][0][1], "15");
    EXPECT_EQ(card.Numbers[1][4][4], "75");
    EXPECT_EQ(card.Numbers[1][1][3], QString::number(Expected(1, 1, 3)));
    for (int f = 1; f <= 4; ++f)
        EXPECT_EQ(card.Numbers[f][2][2], "Free");
    for (int f = 2; f <= 4; ++f)
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 5; ++r) {
                if (c != 2 || r != 2) {
                    EXPECT_TRUE(card.Numbers[f][c][r].isEmpty());
                }
            }
    EXPECT_TRUE(card.Loaded);
    EXPECT_EQ(card.SelectionCode, "1234");
    EXPECT_GT(card.revision, before);
    EXPECT_EQ(card.CellColour[1][0][0], kBlue);
    EXPECT_EQ(card.Marked[1][0][0], 1);
}

TEST(CardLoad, FaceCountDecidesFacesAndExtraTextIsIgnored)
{
    BingoCard card;
    card.FaceCount = 4;
    ASSERT_TRUE(card.LoadNumbers(Text(4) + QByteArray(29, '\xff'), QString()));
    for (int f = 1; f <= 4; ++f)
        EXPECT_EQ(card.Numbers[f][3][1], QString::number(Expected(f, 3, 1)));

    card.FaceCount = 2;   // reselecting fewer faces empties the rest
    ASSERT_TRUE(card.LoadNumbers(Text(4), QString()));
    EXPECT_EQ(card.Numbers[2][0][0], QString::number(Expected(2, 0, 0)));
    EXPECT_TRUE(card.Numbers[3][0][0].isEmpty());
    EXPECT_EQ(card.Numbers[4][2][2], "Free");

    BingoCard none;   // FaceCount 0 still fills face 1
    ASSERT_TRUE(none.LoadNumbers(Text(1), QString()));
    EXPECT_EQ(none.Numbers[1][0][0], "1");
}

TEST(CardLoad, RejectedTextLeavesTheCardAsItWas)
{
    BingoCard card = Loaded(2);
    const BingoCard before = card;
    auto unchanged = [&] {
        EXPECT_EQ(card.Numbers, before.Numbers);
        EXPECT_EQ(card.SelectionCode, before.SelectionCode);
        EXPECT_EQ(card.revision, before.revision);
    };
    EXPECT_EQ(BingoCard::CheckNumbersText(Text(1), 2), BingoCard::TextCheck::TooShort);
    EXPECT_FALSE(card.LoadNumbers(Text(1), QStringLiteral("other")));
    unchanged();
    EXPECT_EQ(BingoCard::CheckNumbersText(QByteArray(24, '3'), 0), BingoCard::TextCheck::TooShort);

    for (char bad : {'2', '~', '\0', '\xff'}) {   // codes 0, 76, and bytes far out
        QByteArray text = Text(2);
        text[25 + 7] = bad;
        EXPECT_EQ(BingoCard::CheckNumbersText(text, 2), BingoCard::TextCheck::OutOfRange);
        EXPECT_FALSE(card.LoadNumbers(text, QStringLiteral("other")));
        unchanged();
        // The same byte on a face not in use does not matter.
        EXPECT_EQ(BingoCard::CheckNumbersText(text, 1), BingoCard::TextCheck::Ok);
    }
}

TEST(CardLoad, FreeSquareMayHoldAnyByte)
{
    for (char centre : {'\0', '\xff', '2', '~'}) {
        BingoCard card;
        card.FaceCount = 1;
        EXPECT_TRUE(card.LoadNumbers(Text(1, centre), QString()));
        EXPECT_EQ(card.Numbers[1][2][2], "Free");
    }
}

TEST(CardCalls, SetCalledGuardsSlotsAndMarksOnlyForPositiveValues)
{
    BingoCard card = Loaded(1);
    for (auto [column, position] : {std::pair{-1, 1}, {5, 1}, {0, 0}, {0, 16}}) {
        card.SetCalled(column, position, 1);
        EXPECT_EQ(card.IsCalled(column, position), 0);
    }
    Call(card, 17);   // I column position 2, on face 1 at column 1 row 1
    EXPECT_EQ(card.IsCalled(1, 2), 1);
    EXPECT_EQ(card.Marked[1][1][1], 1);

    // Resetting a call with 0 does not re-derive: the mark stays until ClearCard.
    card.SetCalled(1, 2, 0);
    EXPECT_EQ(card.IsCalled(1, 2), 0);
    EXPECT_EQ(card.Marked[1][1][1], 1);
    card.MarkCalled();
    EXPECT_EQ(card.Marked[1][1][1], 0);
}

TEST(CardMarks, OnlyEnteredCardsAreMarkedAndUnusedFacesKeepTheirCentre)
{
    BingoCard card = Loaded(1, false);
    Call(card, 1);
    EXPECT_EQ(card.Marked[1][0][0], 0);   // called before entry: not marked yet
    EXPECT_EQ(card.Marked[1][2][2], 0);
    card.Entered = true;
    card.MarkCalled();
    EXPECT_EQ(card.Marked[1][0][0], 1);
    for (int f = 1; f <= 4; ++f)
        EXPECT_EQ(card.Marked[f][2][2], 1);
    int marked = 0;
    for (int f = 2; f <= 4; ++f)
        for (const auto& column : card.Marked[f])
            for (int m : column)
                marked += m;
    EXPECT_EQ(marked, 3);   // only the three centres
}

TEST(CardMarks, AutoDaubColoursOnlyWhiteCalledCells)
{
    BingoCard card = Loaded(1);
    Call(card, 1);
    EXPECT_EQ(card.Marked[1][0][0], 1);   // marked, but no autodaub: still white
    EXPECT_EQ(card.CellColour[1][0][0], kWhite);
    EXPECT_TRUE(card.DaubCell(1, 0, 0));

    card.AutoDaubOn = true;
    Call(card, 2);
    EXPECT_EQ(card.CellColour[1][0][0], kBlue);   // the player's daub stays
    EXPECT_EQ(card.CellColour[1][0][1], kAqua);
    EXPECT_EQ(card.CellColour[1][2][2], kAqua);
    EXPECT_EQ(card.CellColour[2][2][2], kAqua);

    card.AutoDaubColour = kGrey;   // a new colour leaves earlier automatic daubs
    Call(card, 3);
    EXPECT_EQ(card.CellColour[1][0][1], kAqua);
    EXPECT_EQ(card.CellColour[1][0][2], kGrey);
}

TEST(CardMarks, UncalledCellsLoseColourAndMarkAndLookupUsesTheNumbersOwnRange)
{
    BingoCard card = Loaded(1);
    card.CellColour[1][4][4] = kRed;
    card.Marked[1][4][4] = 1;
    card.Numbers[1][0][0] = QStringLiteral("70");   // an O number in the B column
    card.Numbers[1][0][1] = QStringLiteral("junk");
    card.Numbers[1][0][2] = QStringLiteral("99");
    card.Marked[1][0][1] = 1;
    Call(card, 70);
    EXPECT_EQ(card.CellColour[1][4][4], kWhite);
    EXPECT_EQ(card.Marked[1][4][4], 0);
    EXPECT_EQ(card.Marked[1][0][0], 1);
    EXPECT_EQ(card.Marked[1][0][1], 1);   // not a number: skipped, left alone
    EXPECT_EQ(card.Marked[1][0][2], 0);
}

TEST(CardDaub, OnlyCalledNumbersAndTheFreeSquare)
{
    BingoCard card = Loaded(1);
    EXPECT_FALSE(card.DaubCell(1, 0, 0));   // not called
    EXPECT_EQ(card.CellColour[1][0][0], kWhite);
    EXPECT_EQ(card.Marked[1][0][0], 0);

    EXPECT_TRUE(card.DaubCell(1, 2, 2));    // free square before any call
    EXPECT_EQ(card.CellColour[1][2][2], kBlue);
    EXPECT_TRUE(card.DaubCell(3, 2, 2));    // also on a face not in use
    EXPECT_FALSE(card.DaubCell(2, 0, 0));   // empty cell

    Call(card, 1);
    const quint64 before = card.revision;
    EXPECT_TRUE(card.DaubCell(1, 0, 0));
    EXPECT_EQ(card.CellColour[1][0][0], kBlue);
    EXPECT_EQ(card.Marked[1][0][0], 1);
    EXPECT_GT(card.revision, before);
    EXPECT_FALSE(card.DaubCell(1, 0, 0));   // same colour again: nothing changes

    card.CellColour[1][0][0] = kRed;        // a red or autodaubed cell takes the daub colour
    card.DaubColour = kGrey;
    EXPECT_TRUE(card.DaubCell(1, 0, 0));
    EXPECT_EQ(card.CellColour[1][0][0], kGrey);

    for (auto [f, c, r] : {std::tuple{0, 0, 0}, {5, 0, 0}, {1, -1, 0}, {1, 5, 0}, {1, 0, -1}, {1, 0, 5}})
        EXPECT_FALSE(card.DaubCell(f, c, r));
}

TEST(CardIdentity, ClearCardResetsGameStateOnly)
{
    BingoCard card = Loaded(3);
    card.CardId = QStringLiteral("123456.00042.00017");
    card.AutoDaubOn = true;
    card.DaubColour = kGrey;
    card.NumberFontSize = 10;
    Call(card, 5);
    card.ClearCard();
    for (int f = 1; f <= 4; ++f)
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 5; ++r) {
                EXPECT_TRUE(card.Numbers[f][c][r].isEmpty());
                EXPECT_EQ(card.CellColour[f][c][r], kWhite);
                EXPECT_EQ(card.Marked[f][c][r], 0);
            }
    EXPECT_EQ(card.CardId, "------.-----.-----");
    EXPECT_FALSE(card.Loaded);
    EXPECT_FALSE(card.Entered);
    EXPECT_EQ(card.FaceCount, 3);
    EXPECT_EQ(card.SelectionCode, "77");
    EXPECT_EQ(card.IsCalled(0, 5), 1);
    EXPECT_TRUE(card.AutoDaubOn);
    EXPECT_EQ(card.DaubColour, kGrey);
    EXPECT_EQ(card.NumberFontSize, 10);
}

TEST(CardIdentity, ShortIdAndColumnLetters)
{
    EXPECT_EQ(BingoCard::ShortId(QStringLiteral("123456.00042.00017")), "123456.00017");
    EXPECT_EQ(BingoCard().ShortId(), "------.-----");
    EXPECT_EQ(BingoCard::ShortId(QStringLiteral("12345")), "12345");
    EXPECT_EQ(BingoCard::ShortId(QString()), "");

    const std::pair<int, const char*> letters[] = {{0, ""}, {1, "B"}, {15, "B"}, {16, "I"},
        {30, "I"}, {31, "N"}, {45, "N"}, {46, "G"}, {60, "G"}, {61, "O"}, {75, "O"}, {76, ""}, {-5, ""}};
    for (auto [n, letter] : letters)
        EXPECT_EQ(ColumnLetter(n), QString::fromLatin1(letter)) << n;
}
