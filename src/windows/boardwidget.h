#pragma once
// The board of called numbers: 16 columns (the letters, then 1..15) by 5 rows,
// cells 16 wide and 17 high, drawn from the first card's called table.
#include "windows/accessibility.h"

#include <QWidget>

class CallBoard;
class GameCore;
class QPainter;

// Draws the whole board (black ground, letters, numbers) as the core's state says.
void DrawBoard(QPainter& painter, const CallBoard& board, const QSize& size);

// Readers walk it number by number, 1 to 75.
class BoardWidget : public QWidget, public ReadableGrid {
    Q_OBJECT
public:
    explicit BoardWidget(QWidget* parent = nullptr);
    void setCore(GameCore* core) { core_ = core; update(); }

    // Five rows, one a letter, of fifteen numbers: cell n - 1 holds number n.
    int rowCount() const override { return 5; }
    int columnCount() const override { return 15; }
    int cellIndex(int row, int column) const override
    {
        return row >= 0 && row < 5 && column >= 0 && column < 15 ? row * 15 + column : -1;
    }
    int cellRow(int index) const override { return index / 15; }
    int cellColumn(int index) const override { return index % 15; }
    QString rowHeader(int row) const override;
    QString cellReading(int index) const override;
    QRect cellRect(int index) const override;
    QString gridReading() const override { return accessibleName(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GameCore* core_ = nullptr;
};
