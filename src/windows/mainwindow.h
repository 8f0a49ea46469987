#pragma once
// The main window: the fixed arrangement of panels around the cards, the board,
// the side panel and the menus. It holds no game state; every command goes to the
// game core, and the core shows what it has to through the typed views (screenviews).
#include <QColor>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <functional>

#include "cards/cardrack.h"
#include "windows/controls.h"

class BoardWidget;
class CardPanel;
class GameCore;
class ViewHub;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // Connects the controls to the core; until then commands go nowhere.
    void attach(GameCore* core, ViewHub* hub);

    CardPanel* cardPanel(int card) const;   // 1..10
    BoardWidget* board() const { return board_; }
    QPlainTextEdit* memo() const { return memo_; }
    // The dauber cursor read from the program folder at start-up.
    void setDauberCursor(const QCursor& cursor, bool loaded) { dauber_ = cursor; dauberLoaded_ = loaded; }
    const QCursor& dauberCursor() const { return dauber_; }
    bool dauberLoaded() const { return dauberLoaded_; }
    // How many cards fit side by side in the play area as the panels stand now.
    TableRoom tableRoom() const;
    // The cards' own area as wide as three cards side by side (for a running game).
    void widenCardTable();
    // The chat panel beside the cards (shown), or the cards alone; the cards are laid out again.
    void dockChat(bool shown);
    // Auto-buy's progress in the status band, with its Cancel; empty text hides it.
    void showAutoBuy(const QString& text);
    static constexpr int kChatDockWidth = 258;   // the cards' width beside the chat
    // What Help > My Games does: open the player's record of games (nothing until set).
    void setMyGamesCommand(std::function<void()> command) { myGames_ = std::move(command); }

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
    // The play area's panels placed again and the core told how many cards now fit.
    void layOutPlayArea();

    GameCore* core_ = nullptr;
    ViewHub* hub_ = nullptr;
    BoardWidget* board_ = nullptr;
    CardPanel* cards_[10] = {};
    QPlainTextEdit* memo_ = nullptr;
    QWidget* bottomBand_ = nullptr;
    QWidget* autoBuy_ = nullptr;
    QCursor dauber_;
    bool dauberLoaded_ = false;
    std::function<void()> myGames_;
};
