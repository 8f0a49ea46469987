#pragma once
// The card controls: a navy card panel holding the blue card with its four faces,
// the ticket label and the paging buttons, and the face drawing itself.
#include "cards/cardrack.h"
#include "windows/accessibility.h"

#include <QCursor>
#include <QWidget>

class BingoCard;
class GameCore;
class QLabel;
class QPainter;
class QPushButton;

// How the faces are drawn: the cells' size and the texts' sizes and offsets, set by the
// Fonts menu (large or small numbers, on the cards and the board alike).
struct FaceLook {
    int cellWidth = 24;
    int cellHeight = 24;
    int numberPoints = 12;
    int freePoints = 7;
    int textTop = 3;
    int textLeft = 3;
    int boardPoints = 9;
};
const FaceLook& CurrentFaceLook();
void SetLargeNumbers(bool large);

// The top left corner of a card placed in column 0..2 and row 0..1 of the card table, the
// table's width for three cards, and how many cards fit an area of the given size.
QPoint CardPlace(int column, int row);
int CardTableWidth();
TableRoom CardRoom(int areaWidth, int areaHeight);
// The cell (column, row 0..4) under a point of a face, or (-1, -1) on a grid line or outside.
QPoint CellAt(const QPoint& point);

// Sets a font to Arial at a size in points as the screen of 96 dots per inch
// shows it (so the cards and the board look the same on every display). `scale` is
// the device pixels per logical pixel the text is drawn at: unsmoothed at 1, smoothed above.
void SetArialPoints(QFont* font, int points, bool bold, qreal scale = 1.0);
// Device pixels per logical pixel of what the painter draws on (2 on a doubled screen).
qreal DeviceScale(const QPainter& painter);
// Writes text with the top of its character box at y and its first ink column at x.
void DrawTextAt(QPainter& painter, int x, int y, const QString& text);

// Draws one cell of one face (columns and rows 0..4; others are not drawn): the daub
// ellipse when the cell is coloured, then the number or the free square's texts.
void DrawFace(QPainter& painter, const BingoCard& card, const FaceLook& look, int face, int column, int row,
              bool gameRunning);

// One 5x5 face: white cells, 1-pixel grid lines, every cell drawn by DrawFace. With the
// keyboard on it, the arrow keys move a framed cell (on to the card's next face at an edge)
// and Space or Enter daubs it as a click there would.
class FaceWidget : public QWidget, public ReadableGrid {
    Q_OBJECT
public:
    FaceWidget(GameCore* core, int card, int face, QWidget* parent = nullptr);
    void setCore(GameCore* core) { core_ = core; }
    int face() const { return face_; }
    // Puts the keyboard's cell here (columns and rows 0..4).
    void setFocusCell(int column, int row);

    // Five columns under the letters, five rows; cells column by column, as the card is read.
    int rowCount() const override { return 5; }
    int columnCount() const override { return 5; }
    int cellIndex(int row, int column) const override
    {
        return row >= 0 && row < 5 && column >= 0 && column < 5 ? column * 5 + row : -1;
    }
    int cellRow(int index) const override { return index % 5; }
    int cellColumn(int index) const override { return index / 5; }
    QString columnHeader(int column) const override;
    QString cellReading(int index) const override;
    QRect cellRect(int index) const override;
    QString gridReading() const override;
    QString gridHelp() const override;
    int focusCell() const override { return column_ * 5 + row_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void moveFocusCell(int columns, int rows);

    GameCore* core_;
    int card_;
    int face_;
    int column_ = 0;
    int row_ = 0;
};

// The blue card: four faces, the ticket label, the "to go" badge beside it and the two
// paging buttons.
class BingoCardWidget : public QWidget {
    Q_OBJECT
public:
    BingoCardWidget(GameCore* core, int card, QWidget* parent = nullptr);
    void setCore(GameCore* core);
    FaceWidget* faceWidget(int face) const { return faces_[qBound(1, face, 4) - 1]; }
    // Redraws the faces and the badge.
    void redrawFaces();
    void setTicketName(const QString& name);
    // A picture cursor is scaled to the faces' screen, with its hotspot.
    void setFaceCursor(const QCursor& cursor);

private:
    void showToGo();

    GameCore* core_;
    int card_;
    FaceWidget* faces_[4];
    QLabel* ticketid_;
    QLabel* togo_;
    QPushButton* left_;
    QPushButton* right_;
};

// The navy panel a card sits in ("Card1".."Card10"), 250x262, created hidden.
class CardPanel : public QWidget {
    Q_OBJECT
public:
    CardPanel(GameCore* core, int card, QWidget* parent = nullptr);
    BingoCardWidget* card() const { return card_; }

private:
    BingoCardWidget* card_;
};
