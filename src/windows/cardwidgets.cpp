#include "windows/cardwidgets.h"

#include "components/media/pictures.h"
#include "cards/playtable.h"
#include "game/gamecore.h"
#include "session/gameround.h"

#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

namespace {
const QColor kGridLine(0x1c, 0x24, 0x5c);

QColor Qt24(Colour c) { return QColor::fromRgb(QRgb(c)); }
}

void SetArialPoints(QFont* font, int points, bool bold, qreal scale)
{
    font->setFamily(QStringLiteral("Arial"));
    font->setStyleHint(QFont::SansSerif);
    // Points as a 96-dpi screen shows them, rounded like the system's own fonts.
    font->setPixelSize(qMax(1, (points * 96 + 36) / 72));
    font->setBold(bold);
    // Crisp, unsmoothed digits as on the cards of the hall's own screens; it also
    // keeps each glyph's first ink column exactly where the layout puts it. A denser
    // screen gives each glyph enough pixels to be smoothed instead of staircased.
    font->setStyleStrategy(scale > 1.0 ? QFont::PreferAntialias : QFont::NoAntialias);
}

qreal DeviceScale(const QPainter& painter)
{
    return qAbs(painter.deviceTransform().m11());
}

void DrawTextAt(QPainter& painter, int x, int y, const QString& text)
{
    if (DeviceScale(painter) > 1.0) {
        // Fractional metrics: the smoothed glyph starts where the layout puts it, not up to
        // half a logical pixel away.
        const QFontMetricsF fm(painter.font());
        painter.drawText(QPointF(x - fm.tightBoundingRect(text).left(), y + fm.ascent()), text);
        return;
    }
    const QFontMetrics fm(painter.font());
    const QRect ink = fm.tightBoundingRect(text);
    painter.drawText(QPoint(x - ink.left(), y + fm.ascent()), text);
}

namespace {
FaceLook& TheLook()
{
    static FaceLook look;
    return look;
}
}   // namespace

const FaceLook& CurrentFaceLook() { return TheLook(); }

void SetLargeNumbers(bool large)
{
    FaceLook& look = TheLook();
    look.numberPoints = large ? 12 : 10;
    if (large)
        look.freePoints = 7;
    look.boardPoints = large ? 9 : 8;
}

namespace {
// A face's width with its margin, and a face's height with its margin: the card table's pitches.
int FaceWidth() { return 5 * FaceLook().cellWidth + 10; }
int FaceHeight() { return 5 * FaceLook().cellHeight + 5; }
}   // namespace

QPoint CardPlace(int column, int row)
{
    const int pitch = FaceWidth() * 2;
    const int columns[3] = {5, pitch, 2 * pitch - 3};
    const int rows[2] = {25, FaceHeight() * 2 + 42};
    return QPoint(columns[qBound(0, column, 2)], rows[qBound(0, row, 1)]);
}

int CardTableWidth() { return FaceWidth() * 6; }

TableRoom CardRoom(int areaWidth, int areaHeight)
{
    TableRoom room;
    room.columns = 1 + (areaWidth > FaceWidth() * 3 ? 1 : 0) + (areaWidth > FaceWidth() * 5 ? 1 : 0);
    room.twoRows = areaHeight > FaceHeight() * 3 + 42;
    return room;
}

QPoint CellAt(const QPoint& point)
{
    const FaceLook look;
    const int x = point.x();
    const int y = point.y();
    if (x < 0 || y < 0)
        return QPoint(-1, -1);
    const int column = x / (look.cellWidth + 1);
    const int row = y / (look.cellHeight + 1);
    // The 1-pixel grid lines between cells belong to no cell.
    if (column > 4 || row > 4 || x - column * (look.cellWidth + 1) >= look.cellWidth
        || y - row * (look.cellHeight + 1) >= look.cellHeight)
        return QPoint(-1, -1);
    return QPoint(column, row);
}

void DrawFace(QPainter& painter, const BingoCard& card, const FaceLook& look, int face, int column, int row,
              bool gameRunning)
{
    if (face < 1 || face > 4 || column < 0 || column > 4 || row < 0 || row > 4)
        return;
    const int x0 = (look.cellWidth + 1) * column;
    const int y0 = (look.cellHeight + 1) * row;
    painter.save();

    const Colour cell = card.CellColour[face][column][row];
    if (cell != kWhite) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(Qt24(kSilver), 1));
        painter.setBrush(Qt24(cell));
        painter.drawEllipse(QRectF(x0 + 1.5, y0 + 1.5, look.cellWidth - 4, look.cellHeight - 4));
        painter.setRenderHint(QPainter::Antialiasing, false);
    }

    const Colour ink = card.Entered ? kBlack : (gameRunning ? kSilver : kGrey);
    painter.setPen(Qt24(ink));
    painter.setBrush(Qt::NoBrush);
    QFont font = painter.font();
    const qreal scale = DeviceScale(painter);
    if (column == 2 && row == 2) {
        SetArialPoints(&font, look.freePoints, true, scale);
        painter.setFont(font);
        const QString free = QStringLiteral("Free");
        if (face == 1) {
            DrawTextAt(painter, x0 + 3, look.cellHeight * row + look.textTop + 1, free);
            SetArialPoints(&font, look.freePoints - 1, true, scale);
            painter.setFont(font);
            DrawTextAt(painter, x0 + 3, look.cellHeight * row + look.textTop + 12, card.SelectionCode);
        } else {
            DrawTextAt(painter, x0 + 3, look.cellHeight * row + look.textTop + 3, free);
        }
    } else {
        const int number = card.CellNumber(face, column, row);
        if (number != 0) {
            SetArialPoints(&font, look.numberPoints, true, scale);
            painter.setFont(font);
            const int left = number >= 10 ? x0 + look.textLeft : x0 + 7;
            DrawTextAt(painter, left, y0 + look.textTop, QString::number(number));
        }
    }
    painter.restore();
}

// ---------------------------------------------------------------- FaceWidget

FaceWidget::FaceWidget(GameCore* core, int card, int face, QWidget* parent)
    : QWidget(parent), core_(core), card_(card), face_(face)
{
    setObjectName(QStringLiteral("Grid") + QString::number(face));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);   // the keyboard's; a click daubs without framing a cell
    resize(124, 124);
}

QString FaceWidget::cellReading(int index) const
{
    return core_ && index >= 0 && index < 25 ? core_->table().CellReading(card_, face_, index / 5, index % 5)
                                             : QString();
}

QRect FaceWidget::cellRect(int index) const
{
    const FaceLook look;
    const int w = look.cellWidth;
    const int h = look.cellHeight;
    return QRect((w + 1) * (index / 5), (h + 1) * (index % 5), w, h);
}

QString FaceWidget::gridReading() const
{
    return core_ ? core_->table().FaceReading(card_, face_) : QString();
}

QString FaceWidget::gridHelp() const
{
    return core_ ? core_->table().FaceHelp() : QString();
}

void FaceWidget::setFocusCell(int column, int row)
{
    column_ = qBound(0, column, 4);
    row_ = qBound(0, row, 4);
    update();
    if (hasFocus())
        ReportCellFocus(this, focusCell());
}

void FaceWidget::moveFocusCell(int columns, int rows)
{
    const int column = column_ + columns;
    const int row = row_ + rows;
    if (column >= 0 && column <= 4 && row >= 0 && row <= 4) {
        setFocusCell(column, row);
        return;
    }
    // Faces 1 and 3 sit side by side on top, 2 and 4 below them.
    static const int rightOf[5] = {0, 3, 4, 0, 0}, leftOf[5] = {0, 0, 0, 1, 2};
    static const int below[5] = {0, 2, 0, 4, 0}, above[5] = {0, 0, 1, 0, 3};
    const int next = columns > 0 ? rightOf[face_]
                     : columns < 0 ? leftOf[face_]
                     : rows > 0    ? below[face_]
                                   : above[face_];
    auto* card = qobject_cast<BingoCardWidget*>(parentWidget());
    FaceWidget* neighbour = next && card ? card->faceWidget(next) : nullptr;
    if (!neighbour || !neighbour->isVisible())
        return;
    neighbour->setFocusCell((column + 5) % 5, (row + 5) % 5);
    neighbour->setFocus(Qt::OtherFocusReason);
}

void FaceWidget::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: moveFocusCell(-1, 0); return;
    case Qt::Key_Right: moveFocusCell(1, 0); return;
    case Qt::Key_Up: moveFocusCell(0, -1); return;
    case Qt::Key_Down: moveFocusCell(0, 1); return;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (core_ && !event->isAutoRepeat()) {
            core_->table().FaceMouseDown(card_, face_, column_, row_);
            core_->table().FaceMouseUp();
            ReportCellChanged(this, focusCell());
        }
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void FaceWidget::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
    ReportCellFocus(this, focusCell());
}

void FaceWidget::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

void FaceWidget::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), kGridLine);
    if (!core_ || card_ < 1 || card_ > 10)
        return;
    const BingoCard& card = core_->rack().card(card_);
    const FaceLook& look = CurrentFaceLook();
    for (int col = 0; col < 5; ++col)
        for (int row = 0; row < 5; ++row)
            p.fillRect((look.cellWidth + 1) * col, (look.cellHeight + 1) * row, look.cellWidth, look.cellHeight,
                       Qt::white);
    for (int col = 0; col < 5; ++col)
        for (int row = 0; row < 5; ++row)
            DrawFace(p, card, look, face_, col, row, core_->round().running());
    if (hasFocus()) {
        // The keyboard's cell: a thick orange frame, plain to see on the white cells and the daubs.
        p.setPen(QPen(QColor(255, 120, 0), 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(cellRect(focusCell())).adjusted(1.5, 1.5, -1.5, -1.5));
    }
}

void FaceWidget::mousePressEvent(QMouseEvent* event)
{
    if (core_)
    {
        const QPoint cell = CellAt(event->position().toPoint());
        core_->table().FaceMouseDown(card_, face_, cell.x(), cell.y());
    }
}

void FaceWidget::mouseReleaseEvent(QMouseEvent*)
{
    if (core_)
        core_->table().FaceMouseUp();
}

// ---------------------------------------------------------------- BingoCardWidget

BingoCardWidget::BingoCardWidget(GameCore* core, int card, QWidget* parent)
    : QWidget(parent), core_(core), card_(card)
{
    setObjectName(QStringLiteral("BingoCard"));
    setGeometry(0, 0, 258, 268);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 255));
    setPalette(pal);

    const QPoint origin[4] = {{0, 0}, {0, 127}, {127, 0}, {127, 127}};
    for (int f = 0; f < 4; ++f) {
        faces_[f] = new FaceWidget(core, card, f + 1, this);
        faces_[f]->move(origin[f]);
    }

    ticketid_ = new QLabel(this);
    ticketid_->setObjectName(QStringLiteral("ticketid"));
    ticketid_->setGeometry(99, 250, 80, 10);
    QFont small;
    SetArialPoints(&small, 8, true, devicePixelRatioF());
    small.setPixelSize(10);
    ticketid_->setFont(small);
    ticketid_->setAutoFillBackground(true);
    QPalette tp = ticketid_->palette();
    tp.setColor(QPalette::Window, Qt::white);
    tp.setColor(QPalette::WindowText, QColor(255, 0, 0));
    ticketid_->setPalette(tp);
    ticketid_->setAlignment(Qt::AlignCenter);

    // Between the ticket label and ">>"; shown only while a game runs.
    togo_ = new QLabel(this);
    togo_->setObjectName(QStringLiteral("togo"));
    togo_->setGeometry(181, 250, 50, 10);
    togo_->setFont(small);
    togo_->setAutoFillBackground(true);
    togo_->setAlignment(Qt::AlignCenter);
    togo_->hide();

    auto makeButton = [this](const char* name, const char* caption, int left) {
        auto* b = new QPushButton(QLatin1String(caption), this);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, 251, 20, 12);
        b->setFocusPolicy(Qt::NoFocus);
        b->setCursor(Qt::PointingHandCursor);
        b->setStyleSheet(QStringLiteral(
            "QPushButton{color:white;font:bold 8pt Arial;background:#0000a8;border:1px solid #6f8cff;"
            "border-radius:3px;padding:0px;}QPushButton:pressed{background:#000060;}"));
        return b;
    };
    left_ = makeButton("leftbutton", "<<", 0);
    right_ = makeButton("rightbutton", ">>", 233);
    connect(left_, &QPushButton::clicked, this, [this] { if (core_) core_->table().LeftCardClick(); });
    connect(right_, &QPushButton::clicked, this, [this] { if (core_) core_->table().RightCardClick(); });
}

void BingoCardWidget::setCore(GameCore* core)
{
    core_ = core;
    for (FaceWidget* f : faces_)
        f->setCore(core);
}

void BingoCardWidget::redrawFaces()
{
    for (FaceWidget* f : faces_)
        f->update();
    showToGo();
}

void BingoCardWidget::showToGo()
{
    const QString badge = core_ ? core_->table().toGoBadge(card_) : QString();
    togo_->setVisible(!badge.isEmpty());
    if (badge.isEmpty())
        return;
    // Gold with red text once a single cell is missing; the card's own navy otherwise.
    const bool close = core_->rack().toGo(card_) <= 1;
    QPalette p = togo_->palette();
    p.setColor(QPalette::Window, close ? QColor(255, 204, 0) : QColor(0, 0, 128));
    p.setColor(QPalette::WindowText, close ? QColor(255, 0, 0) : Qt::white);
    togo_->setPalette(p);
    togo_->setText(badge);
}

void BingoCardWidget::setFaceCursor(const QCursor& cursor)
{
    const QCursor scaled = CursorForScale(cursor, faces_[0]->devicePixelRatioF());
    for (FaceWidget* f : faces_)
        f->setCursor(scaled);
}

// ---------------------------------------------------------------- CardPanel

CardPanel::CardPanel(GameCore* core, int card, QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Card") + QString::number(card));
    setGeometry(5, 25, 250, 262);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0, 0, 128));
    setPalette(pal);
    card_ = new BingoCardWidget(core, card, this);
    hide();
}

void BingoCardWidget::setTicketName(const QString& name) { ticketid_->setText(name); }

QString FaceWidget::columnHeader(int column) const { return ColumnLetter(column * 15 + 1); }
