#pragma once
// The main window: the fixed arrangement of panels around the cards, the board,
// the side panel and the menus. It holds no game state; every command goes to the
// game core, and the core reaches the controls by name through the ViewHub.
#include <QColor>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <functional>

#include "cards/cardrack.h"
#include "components/media/effects.h"
#include "components/media/pictures.h"

class BoardWidget;
class CardPanel1;
class GameCore;
class ViewHub;

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

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Connects the controls to the core; until then commands go nowhere.
    void attach(GameCore* core, ViewHub* hub);

    CardPanel1* cardPanel(int card) const;   // 1..10
    BoardWidget* board() const { return board_; }
    QPlainTextEdit* memo() const { return memo_; }
    // The dauber cursor read from the program folder at start-up.
    void setDauberCursor(const QCursor& cursor, bool loaded) { dauber_ = cursor; dauberLoaded_ = loaded; }
    const QCursor& dauberCursor() const { return dauber_; }
    bool dauberLoaded() const { return dauberLoaded_; }
    // The sizes the card layout works with, as the panels stand now.
    PlayArea playArea() const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildTopBand(QWidget* band);
    void buildSidePanel(QWidget* side);
    void buildPlayPanel(QWidget* play);
    void buildChatPanel(QWidget* chat);
    void buildBottomBand(QWidget* band);
    void buildMenus();
    // The keys of every command a player uses, and the order Tab takes.
    void buildKeys();
    void showWindow(const QString& name);

    GameCore* core_ = nullptr;
    ViewHub* hub_ = nullptr;
    BoardWidget* board_ = nullptr;
    CardPanel1* cards_[10] = {};
    QPlainTextEdit* memo_ = nullptr;
    QCursor dauber_;
    bool dauberLoaded_ = false;
};
