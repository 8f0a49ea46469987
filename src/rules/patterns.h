#pragma once
// The game's winning pattern and the bingo check.
#include "rules/bingocard.h"
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>

using CellPattern = std::array<std::array<int, 5>, 5>;   // [column][row]

class PatternState {
public:
    QChar PatternKind = QLatin1Char(' ');
    bool ProgressiveJackpot = false;
    std::array<int, 5> PatternDigits{};
    int PatternCount = 0;
    std::array<CellPattern, 51> PatternTable{};   // 1..50
    QString PatternImage;

    // Decodes a descriptor. Returns false (changing nothing) for a descriptor shorter
    // than nine characters.
    bool LoadGamePattern(const QByteArray& descriptor);
    void ClearPatterns();
    void BuildRotations();
    void BuildBlocks(int blockSize);
    void Reset();   // the new-game reset: kind blank, no jackpot, digits 0, no image, count 0

    // Number of winning faces of one card (0..4); paints winning cells red and re-derives marks.
    int CheckBingo(BingoCard& card, QChar kind);
    // Cells each face (faces 1..4 at 0..3) still needs for the pattern in force: the fewest
    // unmarked cells over the placements CheckBingo tries, so 0 exactly when it would accept
    // the face (the free centre counts as marked); -1 where no count applies: a face not in
    // use, a card not entered, a kind or a pattern no face can win. Changes nothing of the card.
    std::array<int, 4> FacesToGo(const BingoCard& card, QChar kind);

private:
    // Cells of pattern i (1..50) as a 25-bit set (bit 5 * column + row); `seen` holds the
    // entries already read during the current check.
    std::uint32_t PatternCells(int i, std::uint64_t& seen);
    std::array<std::uint32_t, 51> cellSets_{};
    std::array<CellPattern, 51> cellSetSource_{};
    std::uint64_t cellSetKnown_ = 0;
};
