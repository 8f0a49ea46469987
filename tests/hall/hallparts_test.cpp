// The hall's judging of a draw, against cases worked out by hand, and the prize it sends.
#include "gameserver.h"
#include "hallwire.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

// Cells column by column, top to bottom, each number + 50; the free square is the middle
// of column N (text position 12) and its character is no number of the card.
//
// Card A, one face (free text 38):     Card B, face 2 of two (free text 44):
//        B   I   N   G   O                    B   I   N   G   O
//   r0   7  22  41  50  68               r0   9  24  39  54  69
//   r1   3  18  35  59  61               r1  10  26  40  55  71
//   r2  12  30  --  46  75               r2  11  27  --  56  72
//   r3   1  16  31  53  70               r3  13  28  43  57  73
//   r4  15  25  44  60  64               r4  14  29  45  58  64   (64 on both cards)
// Card B, face 1 (free text 34), none of whose numbers these draws call:
//   B 2 4 5 6 8, I 17 19 20 21 23, N 32 33 -- 36 37, G 47 48 49 51 52, O 62 63 65 66 67.
const QByteArray kCardA = "95>3AHDPBK[UXQ^dm`gnvo}xr";
const QByteArray kCardB = "4678:CEFGIRSTVWabcefpqstu;<=?@JLMNOYZ^]_hijklwyz{r";

// Each draw first builds shapes that must not win, then completes the pattern. No draw calls
// 38, so a win through the centre shows that the free square needs no call.
struct JudgeCase {
    const char* what;
    QByteArray descriptor;
    QList<int> cards;     // 0 = card A, 1 = card B, in the order sold
    QList<int> draw;
    int winningCall;      // 0: nobody within the draw
    QList<int> winners;   // positions in `cards`
};

const JudgeCase kCases[] = {
    {"one line: row 0, column B, diagonal one short each; 64 completes the diagonal through the centre",
     "A01000001", {0}, {7, 22, 41, 50, 3, 12, 1, 18, 53, 64, 68}, 10, {0}},
    {"one line: nobody, the draw ends with lines one short",
     "A01000001", {0}, {7, 22, 41, 50, 3, 12, 1, 18, 53}, 0, {}},
    {"top row: bottom row and column B are lines but not it; 68 completes row 0",
     "B0O000003", {0}, {15, 25, 44, 60, 64, 7, 3, 12, 1, 22, 41, 50, 68}, 13, {0}},
    {"outer line: column N, row 1 and both diagonals are inner; 70 completes column O",
     "C0O000005", {0}, {41, 35, 31, 44, 3, 18, 59, 61, 7, 53, 64, 15, 16, 68, 75, 70}, 16, {0}},
    {"3x3 block: rows 3 and 4 with 12 and 75 of row 2 make none; 46 completes the bottom right one",
     "D09000008", {0}, {1, 16, 31, 53, 70, 15, 25, 44, 60, 64, 12, 75, 46}, 13, {0}},
    {"two lines: row 0 alone is not enough; 64 adds the diagonal",
     "A02000002", {0}, {7, 22, 41, 50, 68, 3, 12, 1, 18, 53, 64}, 11, {0}},
    {"letter X: a plus, then one diagonal, are no X; 68 completes the other diagonal",
     "B0A:4:A04", {0}, {12, 30, 46, 75, 41, 35, 31, 44, 7, 18, 53, 64, 15, 16, 59, 68}, 16, {0}},
    {"2x2 block: a staircase down the diagonal holds none; 60 completes the bottom right one",
     "D04000009", {0}, {7, 18, 53, 64, 22, 35, 46, 70, 60}, 9, {0}},
    {"coverall: all 24 numbers and 2, which is not on the card; 64 last",
     "F00000010", {0}, {7, 22, 41, 50, 68, 3, 18, 35, 59, 61, 12, 30, 46, 75, 1, 16, 31, 53, 70, 15, 25, 44, 60, 2, 64},
     25, {0}},
    {"progressive one line: column B, 2 not on the card", "A11000007", {0}, {7, 3, 12, 1, 2, 15}, 6, {0}},
    {"one line: 64 completes row 4 of card A and of card B's face 2: both win",
     "A01000001", {0, 1}, {14, 29, 45, 58, 15, 25, 44, 60, 64}, 9, {0, 1}},
    {"top row: card B's face 2 wins at call 9; card A, whole a call later, does not",
     "B0O000003", {0, 1}, {7, 22, 41, 50, 9, 24, 39, 54, 69, 68}, 9, {1}},
    {"kind E has no winner", "E00000000", {0}, {7, 22, 41, 50, 68}, 0, {}},
    {"no card sold, no winner", "A01000001", {}, {7, 22, 41, 50, 68}, 0, {}},
};

}  // namespace

TEST(HallJudge, DrawsWorkedOutByHand)
{
    const SoldCard sold[] = {{"ann", "Annie", kCardA, 1, "100001.00001.00001"},
                             {"bob", "Bobby", kCardB, 2, "100001.00002.00002"}};
    QSet<QByteArray> judged;
    for (const JudgeCase& c : kCases) {
        QList<SoldCard> cards;
        for (int i : c.cards)
            cards.append(sold[i]);
        const Judgement judgement = JudgeDraw(c.descriptor, c.draw, cards);
        EXPECT_EQ(judgement.winningCall, c.winningCall) << c.what;
        EXPECT_EQ(judgement.winners, c.winners) << c.what;
        judged.insert(c.descriptor);
    }
    for (const QByteArray& descriptor : PatternRotation())
        EXPECT_TRUE(judged.contains(descriptor)) << descriptor.constData() << " is played but has no case here";
}

TEST(HallJudge, ProgressivePrizeFollowsTheCallCount)
{
    const QByteArray table = "SA:1.00]F:10]FA:2.00]V5:9.00]";
    EXPECT_EQ(PrizeForCall(table, 5), "9.00");   // a prize of its own
    EXPECT_EQ(PrizeForCall(table, 9), "1.00");   // before the F call
    EXPECT_EQ(PrizeForCall(table, 10), "2.00");  // from it on
}

// The operator's --seed replays the same draws; another seed draws otherwise.
TEST(HallJudge, DrawsFollowTheSeed)
{
    EXPECT_EQ(hallwire::ShuffledDraw(7), hallwire::ShuffledDraw(7));
    EXPECT_NE(hallwire::ShuffledDraw(7), hallwire::ShuffledDraw(8));
}
