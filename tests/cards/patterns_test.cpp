// Pattern descriptors, the pattern table and the bingo check.
#include "rules/patterns.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace {

using Cell = std::pair<int, int>;   // column, row

// Numbers: face f, column c, row r holds 15*c + (r + 5*(f-1)) % 15 + 1.
int NumberAt(int face, int column, int row)
{
    return 15 * column + (row + 5 * (face - 1)) % 15 + 1;
}

BingoCard EnteredCard(int faces)
{
    BingoCard card;
    card.FaceCount = faces;
    QByteArray text;
    for (int f = 1; f <= faces; ++f)
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 5; ++r)
                text.append(char(NumberAt(f, c, r) + 50));
    EXPECT_TRUE(card.LoadNumbers(text, QStringLiteral("9")));
    card.Entered = true;
    return card;
}

void CallCells(BingoCard& card, int face, const std::vector<Cell>& cells)
{
    for (auto [c, r] : cells) {
        if (c == 2 && r == 2)
            continue;
        const int n = NumberAt(face, c, r);
        const int column = (n - 1) / 15;
        card.SetCalled(column, n - 15 * column, 1);
    }
}

std::vector<Cell> Row(int r) { return {{0, r}, {1, r}, {2, r}, {3, r}, {4, r}}; }
std::vector<Cell> Column(int c) { return {{c, 0}, {c, 1}, {c, 2}, {c, 3}, {c, 4}}; }
std::vector<Cell> Block(int left, int top, int w, int h)
{
    std::vector<Cell> cells;
    for (int c = left; c < left + w; ++c)
        for (int r = top; r < top + h; ++r)
            cells.push_back({c, r});
    return cells;
}
std::vector<Cell> WholeFace() { return Block(0, 0, 5, 5); }

std::set<Cell> Cells(const CellPattern& p)
{
    std::set<Cell> cells;
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r)
            if (p[c][r] == 1)
                cells.insert({c, r});
    return cells;
}

std::set<Cell> RedCells(const BingoCard& card, int face)
{
    std::set<Cell> cells;
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r)
            if (card.CellColour[face][c][r] == kRed)
                cells.insert({c, r});
    return cells;
}

std::set<Cell> AsSet(const std::vector<Cell>& a, const std::vector<Cell>& b = {})
{
    std::set<Cell> s(a.begin(), a.end());
    s.insert(b.begin(), b.end());
    return s;
}

PatternState Loaded(const char* descriptor)
{
    PatternState state;
    EXPECT_TRUE(state.LoadGamePattern(QByteArray(descriptor)));
    return state;
}

}   // namespace

TEST(PatternLoad, ShortDescriptorChangesNothing)
{
    PatternState state = Loaded("C1O0000XY");
    const PatternState before = state;
    EXPECT_FALSE(state.LoadGamePattern(QByteArray("A1200000")));
    EXPECT_FALSE(state.LoadGamePattern(QByteArray()));
    EXPECT_EQ(state.PatternKind, before.PatternKind);
    EXPECT_EQ(state.PatternDigits, before.PatternDigits);
    EXPECT_EQ(state.PatternCount, before.PatternCount);
    EXPECT_EQ(state.PatternImage, before.PatternImage);
    EXPECT_EQ(state.PatternTable, before.PatternTable);
}

TEST(PatternLoad, KindJackpotAndPictureName)
{
    PatternState state = Loaded("A1200000bx");
    EXPECT_EQ(state.PatternKind, 'A');
    EXPECT_TRUE(state.ProgressiveJackpot);
    EXPECT_EQ(state.PatternDigits[0], 2);
    EXPECT_EQ(state.PatternImage, "pat0b.gif");

    ASSERT_TRUE(state.LoadGamePattern(QByteArray("Z2O00001q")));   // unknown kind loads no pattern
    EXPECT_EQ(state.PatternKind, 'Z');
    EXPECT_FALSE(state.ProgressiveJackpot);
    EXPECT_EQ(state.PatternDigits[0], 2);
    EXPECT_EQ(state.PatternImage, "pat1q.gif");

    state.Reset();
    EXPECT_EQ(state.PatternKind, ' ');
    EXPECT_FALSE(state.ProgressiveJackpot);
    EXPECT_EQ(state.PatternDigits, (std::array<int, 5>{}));
    EXPECT_TRUE(state.PatternImage.isEmpty());
    EXPECT_EQ(state.PatternCount, 0);
}

TEST(PatternTable, RotationsOfTopRowAndTheirDirections)
{
    PatternState top = Loaded("B0O000012");
    EXPECT_EQ(top.PatternCount, 1);
    EXPECT_EQ(Cells(top.PatternTable[1]), AsSet(Row(0)));
    EXPECT_EQ(Cells(top.PatternTable[2]), AsSet(Column(4)));
    EXPECT_EQ(Cells(top.PatternTable[3]), AsSet(Row(4)));
    EXPECT_EQ(Cells(top.PatternTable[4]), AsSet(Column(0)));

    // One cell at column 1 of row 0 (mask 8): right, half and left turns.
    PatternState one = Loaded("C08000012");
    EXPECT_EQ(one.PatternCount, 4);
    EXPECT_EQ(Cells(one.PatternTable[1]), (std::set<Cell>{{1, 0}}));
    EXPECT_EQ(Cells(one.PatternTable[2]), (std::set<Cell>{{4, 1}}));
    EXPECT_EQ(Cells(one.PatternTable[3]), (std::set<Cell>{{3, 4}}));
    EXPECT_EQ(Cells(one.PatternTable[4]), (std::set<Cell>{{0, 3}}));
    EXPECT_TRUE(Cells(one.PatternTable[5]).empty());
}

TEST(PatternTable, BlockPlacementsCountsAndOrder)
{
    struct Case { const char* d; int count; int w; int h; };
    for (Case k : {Case{"D04000012", 16, 2, 2}, {"D09000012", 9, 3, 3}, {"D0@000012", 4, 4, 4}}) {
        PatternState s = Loaded(k.d);
        EXPECT_EQ(s.PatternCount, k.count) << k.d;
        int i = 1;
        for (int left = 0; left + k.w <= 5; ++left)
            for (int top = 0; top + k.h <= 5; ++top)
                EXPECT_EQ(Cells(s.PatternTable[i++]), AsSet(Block(left, top, k.w, k.h))) << k.d << i;
        EXPECT_EQ(i - 1, k.count);
        EXPECT_TRUE(Cells(s.PatternTable[i]).empty());
    }
    PatternState nine = Loaded("D09000012");
    EXPECT_EQ(Cells(nine.PatternTable[5]), AsSet(Block(1, 1, 3, 3)));

    PatternState six = Loaded("D06000012");
    EXPECT_EQ(six.PatternCount, 24);
    EXPECT_EQ(Cells(six.PatternTable[1]), AsSet(Block(0, 0, 2, 3)));
    EXPECT_EQ(Cells(six.PatternTable[4]), AsSet(Block(1, 0, 2, 3)));
    EXPECT_EQ(Cells(six.PatternTable[12]), AsSet(Block(3, 2, 2, 3)));
    EXPECT_EQ(Cells(six.PatternTable[13]), AsSet(Block(0, 0, 3, 2)));
    EXPECT_EQ(Cells(six.PatternTable[17]), AsSet(Block(1, 0, 3, 2)));
    EXPECT_EQ(Cells(six.PatternTable[24]), AsSet(Block(2, 3, 3, 2)));

    PatternState odd;   // unknown block code: no count, no table
    odd.LoadGamePattern(QByteArray("D05000012"));
    EXPECT_EQ(odd.PatternCount, 0);
    EXPECT_TRUE(Cells(odd.PatternTable[1]).empty());
}

TEST(BingoCheck, FixedShapeAndRotatedShape)
{
    PatternState b = Loaded("B0O000012");
    BingoCard card = EnteredCard(1);
    CallCells(card, 1, Column(4));
    EXPECT_EQ(b.CheckBingo(card, 'B'), 0);   // "B" takes the shape as given only
    EXPECT_TRUE(RedCells(card, 1).empty());
    CallCells(card, 1, Row(0));
    EXPECT_EQ(b.CheckBingo(card, 'B'), 1);
    EXPECT_EQ(RedCells(card, 1), AsSet(Row(0)));

    PatternState c = Loaded("C0O000012");
    BingoCard right = EnteredCard(1);
    CallCells(right, 1, Column(4));
    EXPECT_EQ(c.CheckBingo(right, 'C'), 1);
    EXPECT_EQ(RedCells(right, 1), AsSet(Column(4)));
}

TEST(BingoCheck, ShapeCentreIsDroppedForBAndC)
{
    // Middle row (mask 31 in row 2): the centre is taken out of the table at the check.
    PatternState b = Loaded("B000O0012");
    EXPECT_EQ(b.PatternTable[1][2][2], 1);
    BingoCard card = EnteredCard(1);
    CallCells(card, 1, Row(2));
    EXPECT_EQ(b.CheckBingo(card, 'B'), 1);
    EXPECT_EQ(b.PatternTable[1][2][2], 0);
    EXPECT_EQ(RedCells(card, 1), AsSet({{0, 2}, {1, 2}, {3, 2}, {4, 2}}));

    PatternState c = Loaded("C000O0012");
    BingoCard other = EnteredCard(1);
    CallCells(other, 1, Column(2));
    EXPECT_EQ(c.CheckBingo(other, 'C'), 1);
    EXPECT_EQ(RedCells(other, 1), AsSet({{2, 0}, {2, 1}, {2, 3}, {2, 4}}));
}

TEST(BingoCheck, AnyLines)
{
    // needed 2: row 2 and column 2 both painted, the free square included.
    BingoCard cross = EnteredCard(1);
    CallCells(cross, 1, Row(2));
    CallCells(cross, 1, Column(2));
    EXPECT_EQ(Loaded("A02000012").CheckBingo(cross, 'A'), 1);
    EXPECT_EQ(RedCells(cross, 1), AsSet(Row(2), Column(2)));

    // needed 1 and needed 0: the scan stops after the first line (row 0).
    for (const char* d : {"A01000012", "A00000012"}) {
        BingoCard two = EnteredCard(1);
        CallCells(two, 1, Row(0));
        CallCells(two, 1, Row(1));
        EXPECT_EQ(Loaded(d).CheckBingo(two, 'A'), 1) << d;
        EXPECT_EQ(RedCells(two, 1), AsSet(Row(0))) << d;
    }

    // needed 2 with only one line: no win, nothing painted.
    BingoCard single = EnteredCard(1);
    CallCells(single, 1, Column(0));
    EXPECT_EQ(Loaded("A02000012").CheckBingo(single, 'A'), 0);
    EXPECT_TRUE(RedCells(single, 1).empty());

    // needed 0 with no line at all does not win; 12 on a full face does, 13 never.
    BingoCard empty = EnteredCard(1);
    EXPECT_EQ(Loaded("A00000012").CheckBingo(empty, 'A'), 0);
    BingoCard full = EnteredCard(1);
    CallCells(full, 1, WholeFace());
    EXPECT_EQ(Loaded("A0=000012").CheckBingo(full, 'A'), 0);   // "=" is 13
    EXPECT_TRUE(RedCells(full, 1).empty());
    EXPECT_EQ(Loaded("A0<000012").CheckBingo(full, 'A'), 1);   // "<" is 12
    EXPECT_EQ(RedCells(full, 1).size(), 25u);
}

TEST(BingoCheck, BlocksKeepTheirCentre)
{
    PatternState d = Loaded("D09000012");
    BingoCard card = EnteredCard(1);
    CallCells(card, 1, Block(1, 1, 3, 3));
    EXPECT_EQ(d.CheckBingo(card, 'D'), 1);
    EXPECT_EQ(RedCells(card, 1), AsSet(Block(1, 1, 3, 3)));
    EXPECT_EQ(d.PatternTable[5][2][2], 1);

    // Only the first matching placement is painted.
    BingoCard wide = EnteredCard(1);
    CallCells(wide, 1, Block(0, 0, 4, 2));
    EXPECT_EQ(Loaded("D04000012").CheckBingo(wide, 'D'), 1);
    EXPECT_EQ(RedCells(wide, 1), AsSet(Block(0, 0, 2, 2)));
}

TEST(BingoCheck, CoverallNoShapeAndEmptyShape)
{
    PatternState f = Loaded("F00000012");
    EXPECT_EQ(f.PatternCount, 1);
    EXPECT_EQ(Cells(f.PatternTable[1]).size(), 24u);
    BingoCard card = EnteredCard(1);
    std::vector<Cell> most = WholeFace();
    most.pop_back();   // all but column 4 row 4
    CallCells(card, 1, most);
    EXPECT_EQ(f.CheckBingo(card, 'F'), 0);
    CallCells(card, 1, WholeFace());
    EXPECT_EQ(f.CheckBingo(card, 'F'), 1);
    EXPECT_EQ(RedCells(card, 1).size(), 25u);

    BingoCard full = EnteredCard(1);
    CallCells(full, 1, WholeFace());
    EXPECT_EQ(Loaded("E00000012").CheckBingo(full, 'E'), 0);
    EXPECT_EQ(PatternState().CheckBingo(full, ' '), 0);

    // A shape with no cells is complete on every face in use.
    BingoCard blank = EnteredCard(3);
    EXPECT_EQ(Loaded("B00000012").CheckBingo(blank, 'B'), 3);
    EXPECT_TRUE(RedCells(blank, 1).empty());
}

TEST(BingoCheck, WinsAddUpAcrossFaces)
{
    PatternState b = Loaded("B0O000012");
    BingoCard card = EnteredCard(3);
    CallCells(card, 1, Row(0));
    CallCells(card, 3, Row(0));
    EXPECT_EQ(b.CheckBingo(card, 'B'), 2);
    EXPECT_EQ(RedCells(card, 1), AsSet(Row(0)));
    EXPECT_TRUE(RedCells(card, 2).empty());
    EXPECT_EQ(RedCells(card, 3), AsSet(Row(0)));
}

TEST(BingoCheck, CardsNotEnteredOrWithoutFaces)
{
    PatternState b = Loaded("B00000012");
    BingoCard card = EnteredCard(1);
    card.Entered = false;
    const BingoCard before = card;
    EXPECT_EQ(b.CheckBingo(card, 'B'), 0);
    EXPECT_EQ(card.Marked, before.Marked);
    EXPECT_EQ(card.CellColour, before.CellColour);
    EXPECT_EQ(card.revision, before.revision);

    BingoCard none;
    none.Entered = true;
    EXPECT_EQ(b.CheckBingo(none, 'B'), 0);
    for (int f = 1; f <= 4; ++f)
        EXPECT_EQ(none.Marked[f][2][2], 1);
}

TEST(BingoCheck, ClaimUsesMarksAsTheyStandThenRederives)
{
    PatternState b = Loaded("B0O000012");
    BingoCard card = EnteredCard(1);
    card.Entered = false;
    CallCells(card, 1, Row(0));   // called before the card was entered
    card.Entered = true;
    EXPECT_EQ(b.CheckBingo(card, 'B'), 0);
    EXPECT_EQ(card.Marked[1][0][0], 1);   // re-derived after the check
    card.AutoDaubOn = true;
    EXPECT_EQ(b.CheckBingo(card, 'B'), 1);
    EXPECT_EQ(card.CellColour[1][0][0], kRed);   // red stays red under autodaub
    EXPECT_EQ(card.CellColour[1][2][2], kAqua);
}
