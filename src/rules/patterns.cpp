// The game's winning pattern: decoding the descriptor into the pattern table, and the
// bingo check of one card against it.
#include "rules/patterns.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxPatterns = 50;

// Descriptor character at 1-based position (the caller has checked the length).
unsigned char At(const QByteArray& descriptor, int position)
{
    return static_cast<unsigned char>(descriptor.at(position - 1));
}

// A face's cells as a 25-bit set: bit 5 * column + row.
using CellSet = std::uint32_t;
constexpr CellSet Bit(int column, int row) { return CellSet(1) << (5 * column + row); }
constexpr CellSet kCentre = Bit(2, 2);
constexpr CellSet kWholeFace = (CellSet(1) << 25) - 1;

using FaceColours = std::array<std::array<Colour, 5>, 5>;

// The twelve lines in their fixed scan order: rows 0..4, columns 0..4, the diagonal
// from column 0 row 0 to column 4 row 4, the one from column 0 row 4 to column 4 row 0.
std::array<CellSet, 12> MakeLines()
{
    std::array<CellSet, 12> lines{};
    for (int i = 0; i < 5; ++i) {
        for (int k = 0; k < 5; ++k) {
            lines[i] |= Bit(k, i);
            lines[5 + i] |= Bit(i, k);
        }
        lines[10] |= Bit(i, i);
        lines[11] |= Bit(i, 4 - i);
    }
    return lines;
}

const std::array<CellSet, 12> kLines = MakeLines();

// The cells of a pattern's 5x5 table that hold 1.
CellSet CellsHoldingOne(const std::array<std::array<int, 5>, 5>& table)
{
    CellSet cells = 0;
    for (int column = 0; column < 5; ++column)
        for (int row = 0; row < 5; ++row)
            cells |= CellSet(table[column][row] == 1) << (5 * column + row);
    return cells;
}

void Paint(FaceColours& colours, CellSet cells)
{
    for (int column = 0; column < 5; ++column)
        for (int row = 0; row < 5; ++row)
            if (cells & Bit(column, row))
                colours[column][row] = kRed;
}

// "A": lines needed; the scan stops as soon as the count reaches it, and only a
// completed line makes the comparison.
bool CheckLines(CellSet marked, FaceColours& colours, int needed)
{
    int count = 0;
    CellSet remembered = 0;
    for (CellSet line : kLines) {
        if ((line & marked) != line)
            continue;
        ++count;
        remembered |= line;
        if (count >= needed) {
            Paint(colours, remembered);
            return true;
        }
    }
    return false;
}

// Cells in a set, counted without the popcount instruction that the baseline x86-64 target lacks.
constexpr int Count(CellSet cells)
{
    cells = cells - ((cells >> 1) & 0x55555555u);
    cells = (cells & 0x33333333u) + ((cells >> 2) & 0x33333333u);
    return int((((cells + (cells >> 4)) & 0x0F0F0F0Fu) * 0x01010101u) >> 24);
}

// Cells in each 5-bit set (one column).
constexpr std::array<int, 32> MakeFiveBits()
{
    std::array<int, 32> counts{};
    for (CellSet i = 0; i < 32; ++i)
        counts[i] = Count(i);
    return counts;
}
constexpr std::array<int, 32> kFiveBits = MakeFiveBits();

int Missing(CellSet cells, CellSet marked)
{
    return Count(cells & ~marked);
}

// "A" needing several lines: the fewest cells missing from `left` more lines. Rows and
// diagonals (`others`) are chosen one by one from `from` on, on top of the missing cells
// `taken` of those already chosen; columns never meet one another, so for each such choice
// the columns that add the fewest cells complete it (a column is bits 5c..5c+4 of a set).
void FewestMissing(const std::array<CellSet, 7>& others, CellSet missing, int from, int left, CellSet taken,
                   int& best)
{
    const int cost = Count(taken);
    if (cost >= best)
        return;
    if (left <= 5) {
        const CellSet rest = missing & ~taken;
        std::array<int, 6> columns{};   // how many columns add 0..5 cells
        for (int c = 0; c < 5; ++c)
            ++columns[size_t(kFiveBits[(rest >> (5 * c)) & 31u])];
        int sum = cost;
        int still = left;
        for (int added = 0; still > 0; ++added) {
            const int take = std::min(still, columns[size_t(added)]);
            sum += take * added;
            still -= take;
        }
        best = std::min(best, sum);
    }
    for (int i = from; i < 7 && left > 0; ++i)
        FewestMissing(others, missing, i + 1, left - 1, taken | others[size_t(i)], best);
}

// "A": CheckLines wins once `needed` distinct lines are complete (needed 0 asks for one line,
// above 12 never wins).
int LinesToGo(CellSet marked, int needed)
{
    if (needed > 12)
        return -1;
    const CellSet missing = kWholeFace & ~marked;
    if (needed <= 1) {
        int best = 5;
        for (CellSet line : kLines)
            best = std::min(best, Count(line & missing));
        return best;
    }
    std::array<CellSet, 7> others{};
    for (int i = 0; i < 5; ++i)
        others[size_t(i)] = kLines[size_t(i)] & missing;
    others[5] = kLines[10] & missing;
    others[6] = kLines[11] & missing;
    int best = 26;
    FewestMissing(others, missing, 0, needed, 0, best);
    return best;
}

}   // namespace

bool PatternState::LoadGamePattern(const QByteArray& descriptor)
{
    if (descriptor.size() < 9)
        return false;

    PatternKind = QLatin1Char(char(At(descriptor, 1)));
    ProgressiveJackpot = At(descriptor, 2) == '1';
    const int code = int(At(descriptor, 3)) - 48;

    switch (At(descriptor, 1)) {
    case 'A':
        PatternDigits[0] = code;
        break;
    case 'B':
    case 'C':
        for (int i = 0; i < 5; ++i)
            PatternDigits[i] = int(At(descriptor, 3 + i)) - 48;
        PatternCount = At(descriptor, 1) == 'B' ? 1 : 4;
        BuildRotations();
        break;
    case 'D':
        PatternDigits[0] = code;
        switch (At(descriptor, 3)) {
        case '4': PatternCount = 16; BuildBlocks(4); break;
        case '6': PatternCount = 24; BuildBlocks(6); break;
        case '9': PatternCount = 9; BuildBlocks(9); break;
        case '@': PatternCount = 4; BuildBlocks(16); break;
        default: break;
        }
        break;
    case 'F':
        PatternDigits[0] = code;
        ClearPatterns();
        PatternCount = 1;
        for (auto& column : PatternTable[1])
            column.fill(1);
        PatternTable[1][2][2] = 0;
        break;
    default:   // "E" and any other kind: nothing further
        break;
    }

    const char picture[2] = {char(At(descriptor, 8)), char(At(descriptor, 9))};
    PatternImage = QStringLiteral("pat") + QString::fromLatin1(picture, 2) + QStringLiteral(".gif");
    return true;
}

void PatternState::ClearPatterns()
{
    for (int i = 1; i <= kMaxPatterns; ++i)
        for (auto& column : PatternTable[i])
            column.fill(0);
}

void PatternState::BuildRotations()
{
    ClearPatterns();
    CellPattern& shape = PatternTable[1];
    for (int x = 0; x < 5; ++x)
        for (int y = 0; y < 5; ++y)
            shape[x][y] = int((unsigned(PatternDigits[y]) >> (4 - x)) & 1u);
    for (int x = 0; x < 5; ++x) {
        for (int y = 0; y < 5; ++y) {
            PatternTable[2][x][y] = shape[y][4 - x];       // a quarter to the right
            PatternTable[3][x][y] = shape[4 - x][4 - y];   // half way
            PatternTable[4][x][y] = shape[4 - y][x];       // a quarter to the left
        }
    }
}

void PatternState::BuildBlocks(int blockSize)
{
    ClearPatterns();
    int next = 1;
    auto place = [this, &next](int width, int height) {
        for (int left = 0; left + width <= 5; ++left) {
            for (int top = 0; top + height <= 5; ++top) {
                if (next > kMaxPatterns)
                    return;
                CellPattern& pattern = PatternTable[next++];
                for (int x = left; x < left + width; ++x)
                    for (int y = top; y < top + height; ++y)
                        pattern[x][y] = 1;
            }
        }
    };
    switch (blockSize) {
    case 4: place(2, 2); break;
    case 6: place(2, 3); place(3, 2); break;
    case 9: place(3, 3); break;
    case 16: place(4, 4); break;
    default: break;
    }
}

void PatternState::Reset()
{
    PatternKind = QLatin1Char(' ');
    ProgressiveJackpot = false;
    PatternDigits.fill(0);
    PatternImage.clear();
    PatternCount = 0;
}

std::uint32_t PatternState::PatternCells(int i, std::uint64_t& seen)
{
    // A claim checks every face of six cards against up to 24 patterns: the cell sets are
    // kept from one check to the next for as long as the table entry is unchanged, and
    // within one check each entry is looked at once.
    const std::uint64_t bit = std::uint64_t(1) << i;
    if (seen & bit)
        return cellSets_[i];
    seen |= bit;
    if ((cellSetKnown_ & bit) && std::memcmp(&cellSetSource_[i], &PatternTable[i], sizeof(CellPattern)) == 0)
        return cellSets_[i];
    cellSetSource_[i] = PatternTable[i];
    cellSets_[i] = CellsHoldingOne(PatternTable[i]);
    cellSetKnown_ |= bit;
    return cellSets_[i];
}

int PatternState::CheckBingo(BingoCard& card, QChar kind)
{
    if (!card.Entered)
        return 0;
    for (int face = 1; face <= 4; ++face)
        card.setMarked(face, 2, 2);
    if (card.FaceCount < 1) {
        card.MarkCalled();
        return 0;
    }

    const int faces = std::min(card.FaceCount, 4);
    const int patterns = std::clamp(PatternCount, 0, kMaxPatterns);
    const char16_t letter = kind.unicode();
    const bool dropCentre = letter == u'B' || letter == u'C';
    std::uint64_t seen = 0;   // table entries already read in this check
    int winners = 0;
    for (int face = 1; face <= faces; ++face) {
        const CellSet marked = card.markedCells(face);
        FaceColours& colours = card.CellColour[face];
        bool won = false;
        switch (letter) {
        case u'A':
            won = CheckLines(marked, colours, PatternDigits[0]);
            break;
        case u'B':
        case u'C':
        case u'D': {
            // A pattern wins when all its cells are marked (one with no cells always
            // does); "B" tries pattern 1 only, "C" and "D" the first match of 1..count.
            const int last = letter == u'B' ? 1 : patterns;
            for (int i = 1; i <= last && !won; ++i) {
                if (dropCentre)
                    PatternTable[i][2][2] = 0;
                const CellSet cells = PatternCells(i, seen);
                if ((cells & marked) == cells) {
                    Paint(colours, cells);
                    won = true;
                }
            }
            break;
        }
        case u'F':
            if ((marked | kCentre) == kWholeFace) {
                Paint(colours, kWholeFace);
                won = true;
            }
            break;
        default:   // "E", the blank kind of a reset, anything else
            break;
        }
        if (won)
            ++winners;
    }
    card.MarkCalled();
    return winners;
}

std::array<int, 4> PatternState::FacesToGo(const BingoCard& card, QChar kind)
{
    std::array<int, 4> toGo{-1, -1, -1, -1};
    if (!card.Entered)
        return toGo;
    const int faces = std::min(card.FaceCount, 4);
    const int patterns = std::clamp(PatternCount, 0, kMaxPatterns);
    const char16_t letter = kind.unicode();
    std::uint64_t seen = 0;
    for (int face = 1; face <= faces; ++face) {
        const CellSet marked = card.markedCells(face) | kCentre;
        int& left = toGo[size_t(face - 1)];
        switch (letter) {
        case u'A':
            left = LinesToGo(marked, PatternDigits[0]);
            break;
        case u'B':
        case u'C':
        case u'D': {
            // The centre CheckBingo drops from "B" and "C" is marked here anyway.
            const int last = letter == u'B' ? 1 : patterns;
            for (int i = 1; i <= last; ++i) {
                const int missing = Missing(PatternCells(i, seen), marked);
                left = left < 0 ? missing : std::min(left, missing);
            }
            break;
        }
        case u'F':
            left = Missing(kWholeFace, marked);
            break;
        default:
            break;
        }
    }
    return toGo;
}
