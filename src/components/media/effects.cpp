#include "components/media/effects.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "components/media/pictures.h"

// ---- TiledImage ----

TiledImage::TiledImage(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

bool TiledImage::loadFile(const QString& path, QString* error)
{
    const QImage image = LoadPictureFile(path, error);
    if (image.isNull())
        return false;
    setTile(image);
    return true;
}

void TiledImage::setTile(const QImage& image)
{
    setTile(QPixmap::fromImage(image));
}

void TiledImage::setTile(const QPixmap& tile)
{
    tile_ = tile;
    update();
}

void TiledImage::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (tile_.isNull()) {
        p.fillRect(rect(), palette().window());
        return;
    }
    // On a screen with more device pixels than logical ones the tiles are drawn larger
    // than their pixels: smoothed across the seams, not in blocks.
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawTiledPixmap(rect(), tile_);
}

// ---- RoundButton ----

RoundButton::RoundButton(QWidget* parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
}

RoundButton::RoundButton(const QString& caption, QWidget* parent) : RoundButton(parent)
{
    setText(caption);
}

void RoundButton::setFaceColor(const QColor& color)
{
    face_ = color;
    update();
}

void RoundButton::setFontColor(const QColor& color)
{
    font_ = color;
    update();
}

QSize RoundButton::sizeHint() const
{
    const QFontMetrics fm(font());
    return QSize(fm.horizontalAdvance(text()) + 2 * fm.height(), fm.height() * 2);
}

void RoundButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = qMin(r.height(), r.width()) / 2.0;

    QColor face = isEnabled() ? face_ : QColor(0xa0, 0xa0, 0xa0);
    if (isDown())
        face = face.darker(125);
    else if (underMouse() && isEnabled())
        face = face.lighter(110);
    QLinearGradient shade(r.topLeft(), r.bottomLeft());
    shade.setColorAt(0.0, face.lighter(150));
    shade.setColorAt(0.5, face);
    shade.setColorAt(1.0, face.darker(130));

    QPainterPath path;
    path.addRoundedRect(r, radius, radius);
    p.fillPath(path, shade);
    p.setPen(QPen(face.darker(170), 1.0));
    p.drawPath(path);
    if (hasFocus()) {
        // Gold edged in black, so the keyboard's place shows on every skin and button colour,
        // the silver ones too.
        const QRectF ring = r.adjusted(2, 2, -2, -2);
        p.setPen(QPen(QColor(0x10, 0x10, 0x10), 4.0));
        p.drawRoundedRect(ring, radius - 2, radius - 2);
        p.setPen(QPen(QColor(0xff, 0xd2, 0x4a), 2.0));
        p.drawRoundedRect(ring, radius - 2, radius - 2);
    }

    p.setPen(isEnabled() ? font_ : QColor(0x60, 0x60, 0x60));
    const QRect textRect = isDown() ? rect().translated(1, 1) : rect();
    p.drawText(textRect, Qt::AlignCenter | Qt::TextSingleLine, text());
}
