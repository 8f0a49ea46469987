#pragma once
// The game's winning pattern and the bingo check.
#include "cards/bingocard.h"
#include <QByteArray>
#include <QString>
#include <array>

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
};
