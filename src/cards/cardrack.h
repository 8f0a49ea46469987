#pragma once
// The player's ten cards: which are shown and where, paging, the buttons that
// choose and buy a card, daubing and the local "Bingo!" check. Cards 1..6 are in
// use; the windows draw them from card(k).
#include "calls/soundqueue.h"
#include "rules/bingocard.h"
#include "rules/patterns.h"
#include "views/views.h"

#include <QList>
#include <array>

// How many cards the play area has room for side by side during a game, as the main
// window has laid it out: one to three columns, in one row or two.
struct TableRoom {
    int columns = 1;
    bool twoRows = false;
    friend bool operator==(const TableRoom& a, const TableRoom& b)
    {
        return a.columns == b.columns && a.twoRows == b.twoRows;
    }
};

class CardRack {
public:
    static constexpr int kCards = 10;
    static constexpr int kInUse = 6;

    // pattern: what the "to go" counts follow; sounds: where the one-to-go sound goes.
    CardRack(const Views& views, PatternState& pattern, SoundQueue& sounds);

    const BingoCard& card(int k) const { return cards_[size_t(k >= 1 && k <= kCards ? k : 0)]; }
    int currentCard() const { return current_; }
    // A card of this game has been bought.
    bool bought() const;
    int winningFaces() const { return winningFaces_; }
    Colour daubColour() const { return cards_[1].DaubColour; }
    Colour autoDaubColour() const { return cards_[1].AutoDaubColour; }
    // Every bought card belongs to this game.
    bool belongsTo(const QString& gameNumber) const;

    void CreateCards(bool autoDaub, const QString& ticketText);
    void HideCards();
    void showGrid(bool shown);
    // Paging; false (with a beep) at either end.
    bool pageLeft();
    bool pageRight();
    // Card 1 becomes the current card: rewind() only selects it, showFirstCard() also shows it alone.
    void rewind();
    void showFirstCard();
    void LayoutCards(bool gameRunning, const TableRoom& room);
    void ClearCards();
    void RedrawCards();

    // The card the player is choosing (false when its text could not be read), and the
    // card the server sold.
    bool ShowSelectedCard(const QByteArray& numbers, int faceCount, const QString& selectionCode);
    void EnterCard(const QString& cardId, const QByteArray& numbers, const QString& selectionCode);
    // The ten ready-made cards of the sign-in, numbered from firstId; false when one could not be read.
    bool LoadStarterCards(const std::array<QByteArray, 10>& cells, qint64 firstId);
    QString currentSelection() const { return cards_[size_t(current_)].SelectionCode; }
    int currentFaces() const { return cards_[size_t(current_)].FaceCount; }

    // Calls and daubs.
    // Returns the cards this call brought to one to go (each once a game).
    QList<int> MarkCalls(const QList<int>& numbers);
    void ClearCalls();
    // A press on a face: on the cell of that column and row (0..4), or on none (-1: a grid
    // line or outside the cells). A press anywhere holds the paging order until released.
    void FaceMouseDown(int card, int face, int column, int row);
    void SetDaubColour(Colour colour);
    void SetAutoDaub(bool on, Colour colour);
    void setCardsReady() { ready_ = true; }
    bool ready() const { return ready_; }
    // The claim: winning faces over the cards in use (the winning cells turn red).
    int CountWinningFaces(PatternState& pattern);

    // Cells the best face of card k still needs for the pattern (0: the claim would accept
    // it), -1 when no count applies; updated with every call.
    int toGo(int k) const { return k >= 1 && k <= kInUse ? toGo_[size_t(k)] : -1; }
    // Best card first: while a game runs the cards closest to a bingo are paged first. The
    // order changes after a call has been shown and never while a face is pressed.
    bool bestFirst() const { return bestFirst_; }
    void setBestFirst(bool on);
    void FaceMouseUp() { pressed_ = false; }
    // The card shown at paging position p (1..6).
    int shownCard(int p) const { return p >= 1 && p <= kInUse ? order_[size_t(p)] : p; }

private:
    using Order = std::array<int, kInUse + 1>;
    void place(int k, int column, int row);
    void placeRunning(bool beepAtEnd);
    void countToGo();
    void reorder(const Order& order);

    CardTableView* table_;
    ShopView* shop_;
    StatusView* status_;
    MenuView* menus_;
    PlayerView* player_;
    std::array<BingoCard, kCards + 1> cards_;   // 1..10
    std::array<int, kCards + 1> rows_{};         // the row each card was last placed in
    int current_ = 1;
    int winningFaces_ = 0;
    bool gridShown_ = false;
    bool ready_ = false;

    PatternState& pattern_;
    SoundQueue& sounds_;
    std::array<int, kCards + 1> toGo_{};
    std::array<bool, kCards + 1> oneToGoHeard_{};
    Order order_{};   // paging position -> card
    bool bestFirst_ = false;
    bool pressed_ = false;
    bool running_ = false;   // as the last layout was told, with its room
    TableRoom room_;
};
