#pragma once
// One bingo card: up to four 5x5 faces, their numbers, daub colours and marks, the
// card's copy of the called-number table and its identity. Headless; the card
// widget draws from it.
#include <QByteArray>
#include <QString>
#include <array>
#include <bitset>
#include <cstdint>

// 24-bit colour as red, green, blue (QRgb-compatible without the alpha byte).
using Colour = std::uint32_t;
constexpr Colour RGB(int r, int g, int b) { return (Colour(r) << 16) | (Colour(g) << 8) | Colour(b); }
constexpr Colour kWhite = RGB(255, 255, 255);
constexpr Colour kSilver = RGB(192, 192, 192);
constexpr Colour kGrey = RGB(128, 128, 128);
constexpr Colour kBlue = RGB(0, 0, 255);
constexpr Colour kAqua = RGB(0, 255, 255);
constexpr Colour kRed = RGB(255, 0, 0);
constexpr Colour kBlack = RGB(0, 0, 0);

constexpr const char* kNoCardId = "------.-----.-----";

// Column letter of a number 1..75 ("B" 1-15 ... "O" 61-75); "" outside.
QString ColumnLetter(int n);

class BingoCard {
public:
    BingoCard();

    // Card data (faces 1..4, columns 0..4, rows 0..4; called slots column 0..4, position 1..15,
    // the slot of number 15 * column + position).
    QString CardOrdinal;
    QString SelectionCode;
    int FaceCount = 0;
    bool Loaded = false;
    // [face][col][row], face index 1..4: the number 1..75 a cell holds, 0 for an empty cell.
    // The free square holds 0 too; it is known by its place (column 2, row 2).
    std::array<std::array<std::array<quint8, 5>, 5>, 5> Numbers{};
    std::array<std::array<std::array<Colour, 5>, 5>, 5> CellColour;
    // [face], face index 1..4: the covered cells, bit 5 * column + row.
    std::array<std::bitset<25>, 5> Marked{};
    std::bitset<76> Called;   // bit n set when number n (1..75) is called; bit 0 stays clear
    bool AutoDaubOn = false;
    bool Entered = false;
    Colour DaubColour = kBlue;
    Colour AutoDaubColour = kAqua;
    QString CardId = QString::fromLatin1(kNoCardId);

    // Result of checking a numbers text before it is loaded.
    enum class TextCheck { Ok, TooShort, OutOfRange };
    // A text must hold 25 characters for each face in use, and every used cell other
    // than the free square must code a number 1..75.
    static TextCheck CheckNumbersText(const QByteArray& text, int faceCount);

    // Fills the card (face 1 always, faces 2..4 while FaceCount allows). Returns false and
    // leaves the card as it was when the text fails CheckNumbersText for FaceCount
    // (face 1 is always needed).
    bool LoadNumbers(const QByteArray& numbersText, const QString& selectionCode);
    void ClearCard();
    // A value of 1 or more calls the slot's number and marks the card again; 0 or less
    // takes the call back. Slots outside the table are ignored.
    void SetCalled(int column, int position, int value);
    bool IsCalled(int column, int position) const;
    // Calls number n (1..75; others are ignored) without marking the card: a batch of
    // calls is followed by one MarkCalled.
    void SetNumberCalled(int n);
    void MarkCalled();
    // Manual daub of one cell (faces 1..4); returns true when the cell changed.
    bool DaubCell(int face, int column, int row);
    // True when a cell is marked (called, daubed, or the free square of an entered card);
    // false outside faces 1..4 / columns and rows 0..4.
    bool isMarked(int face, int column, int row) const;
    // Marks one cell of faces 1..4; places off the card are ignored.
    void setMarked(int face, int column, int row);
    // The marks of one face (1..4) as bits 5 * column + row; 0 for any other face.
    std::uint32_t markedCells(int face) const
    {
        return face >= 1 && face <= 4 ? std::uint32_t(Marked[size_t(face)].to_ulong()) : 0;
    }
    // Number held by a cell (1..75), 0 for an empty cell, the free square, a value that is
    // no number 1..75, or a cell outside faces 1..4 / columns and rows 0..4.
    int CellNumber(int face, int column, int row) const;
    // True when number n (1..75) is called in this card's table; false outside 1..75.
    bool IsNumberCalled(int n) const;
    // First six characters of CardId followed by its characters 13..18.
    QString ShortId() const;
    static QString ShortId(const QString& cardId);

    // Whole-card repaint request counter; the card widget compares it to redraw.
    quint64 revision = 0;
};
