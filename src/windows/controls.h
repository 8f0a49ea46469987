#pragma once
// The small controls the main window is made of: panels that place their children,
// the chat input, the colour swatches, clickable pictures and the claim button.
#include "components/media/effects.h"
#include "components/media/pictures.h"

#include <QPlainTextEdit>
#include <QWidget>
#include <functional>

// A plain panel that places its children itself when it is resized.
class Pane : public QWidget {
    Q_OBJECT
public:
    explicit Pane(const QString& name, QWidget* parent = nullptr);
    std::function<void(const QSize&)> onResize;
    // Optional painter for the panel's own face (drawn before the children).
    std::function<void(QPainter&, const QRect&)> onPaint;
    // Optional: dragged with a button held; the point is where the panel's top left
    // corner would go in its parent.
    std::function<void(const QPoint&)> onDrag;
    // Optional: the panel was shown or hidden within its parent.
    std::function<void()> onShowHide;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    QPoint grab_;
};

// The chat input: several lines may be typed or pasted; releasing Enter hands the
// whole text over.
class ChatInput : public QPlainTextEdit {
    Q_OBJECT
public:
    using QPlainTextEdit::QPlainTextEdit;
    std::function<void(const QString&)> onEnter;

protected:
    void keyReleaseEvent(QKeyEvent* event) override;
};

// A round colour swatch with a silver outline; a mouse press, or Space with the keyboard on
// it, reports itself.
class ColourSwatch : public QWidget {
    Q_OBJECT
public:
    explicit ColourSwatch(const QString& name, QWidget* parent = nullptr);
    void setColour(const QColor& colour) { colour_ = colour; update(); }
    QColor colour() const { return colour_; }
signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor colour_{Qt::blue};
};

// A picture control that can be clicked.
class ClickPicture : public PictureBox {
    Q_OBJECT
public:
    explicit ClickPicture(const QString& name, QWidget* parent = nullptr);
signals:
    void clicked();
    void doubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// The claim button: after the click it reports the mouse release as its own event.
class ClaimButton : public RoundButton {
    Q_OBJECT
public:
    using RoundButton::RoundButton;
signals:
    void mouseUp();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
