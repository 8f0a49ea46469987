// The card model: filling a card from its numbers text, the called-number table,
// the derived marks and automatic daubs, manual daubing and the card identifier.
#include "rules/bingocard.h"

#include <algorithm>

namespace {

constexpr int kCellsPerFace = 25;
constexpr int kMaxFaces = 4;
constexpr int kFreeColumn = 2;
constexpr int kFreeRow = 2;
constexpr int kFreePosition = 5 * kFreeColumn + kFreeRow;   // position 12 of a face's text

// Number coded by one character of a numbers text or a call code (code − 50).
int DecodeNumber(char c)
{
    return int(static_cast<unsigned char>(c)) - 50;
}

bool IsFreeSquare(int column, int row)
{
    return column == kFreeColumn && row == kFreeRow;
}

bool OnCard(int face, int column, int row)
{
    return face >= 1 && face <= kMaxFaces && column >= 0 && column <= 4 && row >= 0 && row <= 4;
}

// A cell's bit in a face's marks.
constexpr size_t CellBit(int column, int row)
{
    return size_t(5 * column + row);
}

int FacesInUse(int faceCount)
{
    return std::clamp(faceCount, 1, kMaxFaces);
}

// Number held by a cell: 1..75, or 0 for an empty cell, the free square and any value
// past 75 (which no numbers text loads).
inline int CellValue(quint8 value)
{
    return value <= 75 ? value : 0;
}

bool InCalledTable(int column, int position)
{
    return column >= 0 && column <= 4 && position >= 1 && position <= 15;
}

}   // namespace

QString ColumnLetter(int n)
{
    if (n < 1 || n > 75)
        return QString();
    static const char* const letters[5] = {"B", "I", "N", "G", "O"};
    return QString::fromLatin1(letters[(n - 1) / 15]);
}

BingoCard::BingoCard()
{
    for (auto& face : CellColour)
        for (auto& column : face)
            column.fill(kWhite);
}

BingoCard::TextCheck BingoCard::CheckNumbersText(const QByteArray& text, int faceCount)
{
    const int faces = FacesInUse(faceCount);
    if (text.size() < qsizetype(kCellsPerFace) * faces)
        return TextCheck::TooShort;
    for (int face = 0; face < faces; ++face) {
        for (int position = 0; position < kCellsPerFace; ++position) {
            if (position == kFreePosition)
                continue;
            const int n = DecodeNumber(text.at(kCellsPerFace * face + position));
            if (n < 1 || n > 75)
                return TextCheck::OutOfRange;
        }
    }
    return TextCheck::Ok;
}

bool BingoCard::LoadNumbers(const QByteArray& numbersText, const QString& selectionCode)
{
    const int faces = FacesInUse(FaceCount);
    if (CheckNumbersText(numbersText, faces) != TextCheck::Ok)
        return false;

    SelectionCode = selectionCode;
    for (int face = 1; face <= kMaxFaces; ++face) {
        const bool filled = face <= faces;
        for (int column = 0; column < 5; ++column) {
            for (int row = 0; row < 5; ++row) {
                quint8& cell = Numbers[face][column][row];
                if (filled && !IsFreeSquare(column, row)) {
                    const int offset = kCellsPerFace * (face - 1) + 5 * column + row;
                    cell = quint8(DecodeNumber(numbersText.at(offset)));   // 1..75, checked above
                } else {
                    cell = 0;
                }
            }
        }
    }
    Loaded = true;
    ++revision;
    return true;
}

void BingoCard::ClearCard()
{
    for (int face = 1; face <= kMaxFaces; ++face) {
        for (int column = 0; column < 5; ++column) {
            for (int row = 0; row < 5; ++row) {
                CellColour[face][column][row] = kWhite;
                Numbers[face][column][row] = 0;
            }
        }
        Marked[face].reset();
    }
    CardId = QString::fromLatin1(kNoCardId);
    Loaded = false;
    Entered = false;
    ++revision;
}

void BingoCard::SetCalled(int column, int position, int value)
{
    if (!InCalledTable(column, position))
        return;
    const bool called = value >= 1;
    Called[size_t(15 * column + position)] = called;
    if (called)
        MarkCalled();
}

bool BingoCard::IsCalled(int column, int position) const
{
    return InCalledTable(column, position) && Called[size_t(15 * column + position)];
}

void BingoCard::SetNumberCalled(int n)
{
    if (n >= 1 && n <= 75)
        Called[size_t(n)] = true;
}

bool BingoCard::isMarked(int face, int column, int row) const
{
    return OnCard(face, column, row) && Marked[face][CellBit(column, row)];
}

void BingoCard::setMarked(int face, int column, int row)
{
    if (OnCard(face, column, row))
        Marked[face][CellBit(column, row)] = true;
}

int BingoCard::CellNumber(int face, int column, int row) const
{
    if (!OnCard(face, column, row))
        return 0;
    return CellValue(Numbers[face][column][row]);
}

bool BingoCard::IsNumberCalled(int n) const
{
    return n >= 1 && n <= 75 && Called[size_t(n)];
}

void BingoCard::MarkCalled()
{
    if (Entered) {
        // The cell updates are written without branches on whether a number is called
        // (calls fall at random, so a branch would mispredict).
        for (int face = 1; face <= kMaxFaces; ++face) {
            std::bitset<25>& marks = Marked[face];
            for (int column = 0; column < 5; ++column) {
                for (int row = 0; row < 5; ++row) {
                    bool covered = true;   // the free square is always covered
                    if (!IsFreeSquare(column, row)) {
                        const int n = CellValue(Numbers[face][column][row]);
                        if (n == 0)
                            continue;   // no number in this cell
                        covered = Called[size_t(n)];
                    }
                    // Covered: the automatic daub takes a white cell; not covered: the
                    // cell is reset to white and unmarked.
                    Colour& colour = CellColour[face][column][row];
                    const Colour daubed = AutoDaubOn && colour == kWhite ? AutoDaubColour : colour;
                    colour = covered ? daubed : kWhite;
                    marks[CellBit(column, row)] = covered;
                }
            }
        }
    }
    ++revision;
}

bool BingoCard::DaubCell(int face, int column, int row)
{
    if (!OnCard(face, column, row))
        return false;
    if (!IsFreeSquare(column, row) && !IsNumberCalled(CellNumber(face, column, row)))
        return false;   // empty cell or a number not called yet
    Colour& colour = CellColour[face][column][row];
    std::bitset<25>::reference mark = Marked[face][CellBit(column, row)];
    if (colour == DaubColour && mark)
        return false;
    colour = DaubColour;
    mark = true;
    ++revision;
    return true;
}

QString BingoCard::ShortId() const
{
    return ShortId(CardId);
}

QString BingoCard::ShortId(const QString& cardId)
{
    return cardId.left(6) + cardId.mid(12, 6);
}
