#include "windows/controls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
const QColor kGold(0xff, 0xd2, 0x4a);   // the focus ring of the dark theme
}

Pane::Pane(const QString& name, QWidget* parent) : QWidget(parent) { setObjectName(name); }

void Pane::resizeEvent(QResizeEvent*)
{
    if (onResize)
        onResize(size());
}

void Pane::mousePressEvent(QMouseEvent* event)
{
    grab_ = event->position().toPoint();
    if (!onDrag)
        QWidget::mousePressEvent(event);   // a plain panel lets the press through
}

void Pane::mouseMoveEvent(QMouseEvent* event)
{
    if (onDrag && event->buttons() != Qt::NoButton)
        onDrag(mapToParent(event->position().toPoint() - grab_));
}

bool Pane::event(QEvent* event)
{
    const bool result = QWidget::event(event);
    if ((event->type() == QEvent::ShowToParent || event->type() == QEvent::HideToParent) && onShowHide)
        onShowHide();
    return result;
}

void ChatInput::keyReleaseEvent(QKeyEvent* event)
{
    QPlainTextEdit::keyReleaseEvent(event);
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && onEnter)
        onEnter(toPlainText());
}

void Pane::paintEvent(QPaintEvent*)
{
    if (!onPaint)
        return;
    QPainter p(this);
    onPaint(p, rect());
}

ColourSwatch::ColourSwatch(const QString& name, QWidget* parent) : QWidget(parent)
{
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ColourSwatch::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5);
    p.setPen(QPen(QColor(192, 192, 192), 2));
    p.setBrush(colour_);
    p.drawEllipse(r);
    p.setPen(QPen(QColor(255, 255, 255, 110), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(r.adjusted(3, 3, -3, -3), 50 * 16, 80 * 16);
    if (hasFocus()) {
        p.setPen(QPen(kGold, 2));
        p.drawEllipse(QRectF(rect()).adjusted(1, 1, -1, -1));
    }
}

void ColourSwatch::mousePressEvent(QMouseEvent*) { emit pressed(); }

void ColourSwatch::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        emit pressed();
    else
        QWidget::keyPressEvent(event);
}

ClickPicture::ClickPicture(const QString& name, QWidget* parent) : PictureBox(parent)
{
    setObjectName(name);
    setCursor(Qt::PointingHandCursor);
    setAlignment(Qt::AlignCenter);
}

void ClickPicture::mouseReleaseEvent(QMouseEvent* event)
{
    if (rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickPicture::mouseDoubleClickEvent(QMouseEvent*) { emit doubleClicked(); }

void ClaimButton::mouseReleaseEvent(QMouseEvent* event)
{
    RoundButton::mouseReleaseEvent(event);
    emit mouseUp();
}

