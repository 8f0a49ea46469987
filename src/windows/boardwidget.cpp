#include "windows/boardwidget.h"

#include "calls/callboard.h"
#include "cards/playtable.h"
#include "game/gamecore.h"
#include "windows/cardwidgets.h"

#include <QPainter>

namespace {
constexpr int kBoardPitch = 17;   // a board cell's height; its width is one less
}

void DrawBoard(QPainter& painter, const CallBoard& board, const QSize& size)
{
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::black);
    const int pitch = kBoardPitch;
    QFont font = painter.font();

    // Column 0: the letters.
    SetArialPoints(&font, CurrentFaceLook().boardPoints, true, DeviceScale(painter));
    painter.setFont(font);
    painter.setPen(QColor(255, 0, 0));
    static const char* letters[5] = {"B", "I", "N", "G", "O"};
    for (int r = 0; r < 5; ++r)
        DrawTextAt(painter, r == 1 ? 4 : 2, r * pitch + 2, QLatin1String(letters[r]));

    // Columns 1..15: called numbers bold yellow, the others regular grey.
    QFont called = font;
    QFont plain = font;
    plain.setBold(false);
    for (int r = 0; r < 5; ++r)
        for (int col = 1; col <= 15; ++col) {
            const bool isCalled = board.isCalled(r, col);
            painter.setFont(isCalled ? called : plain);
            painter.setPen(isCalled ? QColor(255, 255, 0) : QColor(128, 128, 128));
            DrawTextAt(painter, (pitch - 1) * col + 2, r * pitch + 2,
                       QString::number(r * CallBoard::kNumbersPerRow + col));
        }
}

BoardWidget::BoardWidget(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("board"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BoardWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (!core_) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    DrawBoard(p, core_->board(), size());
}

QString BoardWidget::cellReading(int index) const
{
    return core_ ? core_->table().BoardReading(index + 1) : QString();
}

QRect BoardWidget::cellRect(int index) const
{
    const int pitch = kBoardPitch;
    return QRect((pitch - 1) * (index % 15 + 1), pitch * (index / 15), pitch - 1, pitch);
}

QString BoardWidget::rowHeader(int row) const { return ColumnLetter(row * 15 + 1); }
