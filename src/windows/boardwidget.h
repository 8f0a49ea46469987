#pragma once
// The board of called numbers: 16 columns (the letters, then 1..15) by 5 rows,
// cells 16 wide and 17 high, drawn from the first card's called table.
#include <QWidget>

class CallBoard;
class GameCore;
class QPainter;

// Draws the whole board (black ground, letters, numbers) as the core's state says.
void DrawBoard(QPainter& painter, const CallBoard& board, const QSize& size);

class BoardWidget : public QWidget {
    Q_OBJECT
public:
    explicit BoardWidget(QWidget* parent = nullptr);
    void setCore(GameCore* core) { core_ = core; update(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    GameCore* core_ = nullptr;
};
