// The game's winning patterns and the bingo check, through LoadGamePattern and CheckBingo:
// which cards win and which cells turn red.
#include "coretestbed.h"
#include "rules/patterns.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

// A face's cells as a 25-bit set: bit 5 * column + row.
using Cells = std::uint32_t;
constexpr Cells Cell(int column, int row) { return Cells(1) << (5 * column + row); }
constexpr Cells kCentre = Cell(2, 2);
Cells Block(int left, int top, int width, int height)
{
    Cells cells = 0;
    for (int c = left; c < left + width; ++c)
        for (int r = top; r < top + height; ++r)
            cells |= Cell(c, r);
    return cells;
}
Cells Row(int r) { return Block(0, r, 5, 1); }
const Cells kDiagonal = Cell(0, 0) | Cell(1, 1) | Cell(2, 2) | Cell(3, 3) | Cell(4, 4);
const Cells kAntiDiagonal = Cell(0, 4) | Cell(1, 3) | Cell(2, 2) | Cell(3, 1) | Cell(4, 0);
Cells Column(int c) { return Block(c, 0, 1, 5); }
const Cells kFace = Block(0, 0, 5, 5);

// An entered card of CoreTestbed::numbers(faces) with the cells called[f - 1] called on face f.
BingoCard Card(int faces, const std::vector<Cells>& called = {})
{
    BingoCard card;
    card.FaceCount = faces;
    EXPECT_TRUE(card.LoadNumbers(CoreTestbed::numbers(faces), QStringLiteral("9")));
    card.Entered = true;
    for (size_t f = 0; f < called.size(); ++f)
        for (int i = 0; i < 25; ++i)
            if (called[f] & ~kCentre & (Cells(1) << i))
                card.SetCalled(i / 5, i % 5 + 1 + int(f), 1);
    return card;
}

Cells Red(const BingoCard& card, int face)
{
    Cells cells = 0;
    for (int i = 0; i < 25; ++i)
        cells |= card.CellColour[face][i / 5][i % 5] == kRed ? Cells(1) << i : 0;
    return cells;
}

PatternState Pattern(const char* descriptor)
{
    PatternState state;
    return state.LoadGamePattern(QByteArray(descriptor)) ? state : PatternState();
}

}   // namespace

TEST(PatternLoad, DescriptorGivesKindJackpotAndPictureAndAShortOneChangesNothing)
{
    PatternState p = Pattern("A1200000bx");
    EXPECT_TRUE(p.PatternKind == 'A' && p.ProgressiveJackpot && p.PatternImage == "pat0b.gif");
    p = Pattern("C0O0000XY");
    EXPECT_FALSE(p.LoadGamePattern(QByteArray("A1200000")) || p.LoadGamePattern(QByteArray()));
    EXPECT_TRUE(p.PatternKind == 'C' && !p.ProgressiveJackpot && p.PatternImage == "patXY.gif");
    BingoCard card = Card(1, {Column(4)});
    EXPECT_EQ(p.CheckBingo(card, p.PatternKind), 1);   // the turned top row still wins
    p.Reset();
    EXPECT_TRUE(p.PatternKind == ' ' && !p.ProgressiveJackpot && p.PatternImage.isEmpty());
    EXPECT_EQ(p.CheckBingo(card, p.PatternKind), 0);
}

TEST(BingoCheck, EachKindWinsOnItsCellsAndPaintsTheFirstMatchRedOnEachFace)
{
    const std::tuple<const char*, std::vector<Cells>, int, std::vector<Cells>> cases[] = {
        // "B": the shape as given (the top row); "C": any quarter turn of it.
        {"B0O000012", {Column(4)}, 0, {0}}, {"B0O000012", {Row(0)}, 1, {Row(0)}},
        {"C0O000012", {Column(4)}, 1, {Column(4)}},
        // One cell at column 1 of row 0 turns right to (4,1), half to (3,4), left to (0,3).
        {"C08000012", {Cell(4, 1) | Cell(0, 3)}, 1, {Cell(4, 1)}},
        {"C08000012", {Cell(3, 4) | Cell(0, 3)}, 1, {Cell(3, 4)}}, {"C08000012", {Cell(0, 3)}, 1, {Cell(0, 3)}},
        // "B" and "C" leave the free square out of the shape.
        {"B000O0012", {Row(2)}, 1, {Row(2) & ~kCentre}}, {"C000O0012", {Column(2)}, 1, {Column(2) & ~kCentre}},
        // "A": lines needed; the scan stops at the count, 0 counts as 1, 12 is every line.
        {"A02000012", {Row(2) | Column(2)}, 1, {Row(2) | Column(2)}}, {"A02000012", {Column(0)}, 0, {0}},
        {"A01000012", {Row(0) | Row(1)}, 1, {Row(0)}}, {"A00000012", {Row(0) | Row(1)}, 1, {Row(0)}},
        {"A0<000012", {kFace}, 1, {kFace}}, {"A0=000012", {kFace}, 0, {0}},
        // Either diagonal alone is a line.
        {"A01000012", {kDiagonal}, 1, {kDiagonal}}, {"A01000012", {kAntiDiagonal}, 1, {kAntiDiagonal}},
        {"A01000012", {kAntiDiagonal & ~Cell(4, 0)}, 0, {0}},
        // "D": blocks keep the free square; placements run column by column, then down.
        {"D04000012", {Block(0, 0, 4, 2)}, 1, {Block(0, 0, 2, 2)}},
        {"D04000012", {Block(1, 0, 2, 2) | Block(0, 1, 2, 2)}, 1, {Block(0, 1, 2, 2)}},
        {"D04000012", {Block(3, 3, 2, 2)}, 1, {Block(3, 3, 2, 2)}},
        {"D09000012", {Block(2, 2, 3, 3)}, 1, {Block(2, 2, 3, 3)}},
        {"D0@000012", {Block(1, 1, 4, 4)}, 1, {Block(1, 1, 4, 4)}},
        {"D06000012", {Block(0, 0, 3, 3)}, 1, {Block(0, 0, 2, 3)}},   // upright blocks come first
        {"D06000012", {Block(3, 2, 2, 3)}, 1, {Block(3, 2, 2, 3)}},
        {"D06000012", {Block(2, 3, 3, 2)}, 1, {Block(2, 3, 3, 2)}}, {"D05000012", {kFace}, 0, {0}},   // no such block
        // "F": the whole face; "E" never wins; a shape without cells is always complete.
        {"F00000012", {kFace & ~Cell(4, 4)}, 0, {0}}, {"F00000012", {kFace}, 1, {kFace}},
        {"E00000012", {kFace}, 0, {0}}, {"B00000012", {0, 0, 0}, 3, {0, 0, 0}},
        // Wins add up over the faces; each winning face turns red.
        {"B0O000012", {Row(0), 0, Row(0), Row(0)}, 3, {Row(0), 0, Row(0), Row(0)}},
    };
    for (const auto& [descriptor, called, wins, red] : cases) {
        PatternState pattern = Pattern(descriptor);
        BingoCard card = Card(int(called.size()), called);
        EXPECT_EQ(pattern.CheckBingo(card, pattern.PatternKind), wins) << descriptor;
        for (size_t f = 0; f < red.size(); ++f)
            EXPECT_EQ(Red(card, int(f) + 1), red[f]) << descriptor << " face " << f + 1;
    }
}

TEST(BingoCheck, OnlyEnteredCardsWinWithTheMarksAsTheyStand)
{
    PatternState top = Pattern("B0O000012");
    BingoCard card = Card(1);
    card.Entered = false;
    for (int c = 0; c < 5; ++c)   // the top row, called before the card was entered
        card.SetCalled(c, 1, 1);
    const BingoCard before = card;
    EXPECT_TRUE(top.CheckBingo(card, 'B') == 0 && card.Marked == before.Marked && card.revision == before.revision);
    card.Entered = true;
    EXPECT_EQ(top.CheckBingo(card, 'B'), 0);   // the claim reads the marks, then derives them again
    card.AutoDaubOn = true;
    EXPECT_EQ(top.CheckBingo(card, 'B'), 1);
    // Red stays red under the automatic daub.
    EXPECT_TRUE(card.CellColour[1][0][0] == kRed && card.CellColour[1][2][2] == kAqua);
}
