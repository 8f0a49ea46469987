#include "cards/cardrack.h"

#include <algorithm>

namespace {
// Paging position p shows card p.
std::array<int, CardRack::kInUse + 1> Unordered()
{
    std::array<int, CardRack::kInUse + 1> order{};
    for (int p = 0; p <= CardRack::kInUse; ++p)
        order[size_t(p)] = p;
    return order;
}
}   // namespace

CardRack::CardRack(const Views& views, PatternState& pattern, SoundQueue& sounds)
    : table_(views.table), shop_(views.shop), status_(views.status), menus_(views.menus), player_(views.player),
      pattern_(pattern), sounds_(sounds), order_(Unordered())
{
    toGo_.fill(-1);
}

bool CardRack::bought() const
{
    for (int k = 1; k <= kCards; ++k)
        if (cards_[size_t(k)].Entered)
            return true;
    return false;
}

bool CardRack::belongsTo(const QString& gameNumber) const
{
    for (int k = 1; k <= kInUse; ++k)
        if (cards_[size_t(k)].Entered && cards_[size_t(k)].CardId.left(6) != gameNumber)
            return false;
    return true;
}

void CardRack::place(int k, int column, int row)
{
    rows_[size_t(k)] = row;
    table_->placeCard(k, column, row);
}

void CardRack::CreateCards(bool autoDaub, const QString& ticketText)
{
    for (int k = 1; k <= kCards; ++k) {
        BingoCard& card = cards_[size_t(k)];
        card = BingoCard();
        card.CardOrdinal = QString::number(k);
        card.AutoDaubOn = autoDaub;
        table_->showTicketName(k, ticketText + QString::number(k));
        rows_[size_t(k)] = 0;
        table_->hideCard(k);
    }
}

void CardRack::HideCards()
{
    for (int k = 1; k <= kCards; ++k)
        table_->hideCard(k);
}

void CardRack::showGrid(bool shown)
{
    gridShown_ = shown;
    table_->showTable(shown);
}

bool CardRack::pageLeft()
{
    HideCards();
    const bool moved = current_ > 1;
    if (moved)
        --current_;
    else
        player_->beep();
    table_->showPageNumber(current_);
    place(current_, 0, 0);
    table_->showPageArrows(current_ > 1, current_ < kInUse);
    return moved;
}

bool CardRack::pageRight()
{
    HideCards();
    const bool moved = current_ < kInUse;
    if (moved)
        ++current_;
    else
        player_->beep();
    table_->showPageNumber(current_);
    place(current_, 0, 0);
    table_->showPageArrows(current_ > 1, current_ < kInUse);
    return moved;
}

void CardRack::rewind()
{
    HideCards();
    current_ = 1;
    table_->showPageNumber(1);
}

void CardRack::showFirstCard()
{
    rewind();
    place(1, 0, 0);
    table_->showPageArrows(false, true);
}

void CardRack::LayoutCards(bool gameRunning, const TableRoom& room)
{
    running_ = gameRunning;
    room_ = room;
    if (!gameRunning) {
        order_ = Unordered();
        if (gridShown_)
            place(current_, 0, 0);
        return;
    }
    placeRunning(true);
}

// The current paging position first, then the positions after it as far as the room allows.
void CardRack::placeRunning(bool beepAtEnd)
{
    const int k = current_;
    showGrid(true);
    const int first = shownCard(k);
    place(first, 0, first == k ? rows_[size_t(k)] : 0);
    if (k >= kInUse) {
        if (beepAtEnd)
            player_->beep();
        return;
    }
    const int fits = qBound(1, room_.columns, 3);
    int i = k;
    for (int c = 1; c < fits; ++c)
        if (++i <= kInUse)
            place(shownCard(i), c, 0);
    if (room_.twoRows)
        for (int c = 0; c < fits; ++c)
            if (++i <= kInUse)
                place(shownCard(i), c, 1);
    for (int j = i + 1; j <= kInUse; ++j)
        table_->hideCard(shownCard(j));
}

void CardRack::ClearCards()
{
    toGo_.fill(-1);
    oneToGoHeard_.fill(false);
    order_ = Unordered();
    pressed_ = false;
    for (int k = 1; k <= kCards; ++k) {
        cards_[size_t(k)].ClearCard();
        table_->redrawCard(k);
    }
}

void CardRack::RedrawCards()
{
    countToGo();
    for (int k = 1; k <= kInUse; ++k)
        table_->redrawCard(k);
}

// Loads a card text of faceCount faces; a text that cannot be read leaves the card as it was.
static bool LoadFaces(BingoCard& card, const QByteArray& numbers, int faceCount, const QString& selectionCode)
{
    const int before = card.FaceCount;
    card.FaceCount = faceCount;
    if (card.LoadNumbers(numbers, selectionCode))
        return true;
    card.FaceCount = before;
    return false;
}

bool CardRack::ShowSelectedCard(const QByteArray& numbers, int faceCount, const QString& selectionCode)
{
    const bool loaded = LoadFaces(cards_[size_t(current_)], numbers, faceCount, selectionCode);
    if (!loaded)
        status_->showStatus(QStringLiteral("The card from the server could not be read; please choose again."));
    table_->redrawCard(current_);
    return loaded;
}

void CardRack::EnterCard(const QString& cardId, const QByteArray& numbers, const QString& selectionCode)
{
    BingoCard& card = cards_[size_t(current_)];
    card.CardId = cardId;
    card.Entered = true;
    table_->showCardId(card.ShortId());
    if (!card.LoadNumbers(numbers, selectionCode))
        status_->showStatus(
            QStringLiteral("The bought card's numbers could not be read; the card keeps the numbers shown."));
    table_->redrawCard(current_);
}

bool CardRack::LoadStarterCards(const std::array<QByteArray, 10>& cells, qint64 firstId)
{
    bool allLoaded = true;
    for (int i = 1; i <= kCards; ++i) {
        if (!LoadFaces(cards_[size_t(i)], cells[size_t(i - 1)], 4, QString::number(firstId + i - 1)))
            allLoaded = false;
        table_->redrawCard(i);
    }
    return allLoaded;
}

QList<int> CardRack::MarkCalls(const QList<int>& numbers)
{
    if (numbers.isEmpty())
        return {};
    for (int k = 1; k <= kInUse; ++k) {
        BingoCard& card = cards_[size_t(k)];
        for (int n : numbers)
            card.SetNumberCalled(n);
        card.MarkCalled();
    }
    countToGo();
    // One short sound for the call that brings cards to one to go, once per card and game.
    QList<int> newlyOne;
    for (int k = 1; k <= kInUse; ++k) {
        if (toGo_[size_t(k)] == 1 && !oneToGoHeard_[size_t(k)]) {
            oneToGoHeard_[size_t(k)] = true;
            newlyOne << k;
        }
        table_->redrawCard(k);
    }
    if (!newlyOne.isEmpty())
        sounds_.PlayFile(QStringLiteral("onetogo.wav"));
    if (bestFirst_ && !pressed_)
        setBestFirst(true);
    return newlyOne;
}

void CardRack::countToGo()
{
    for (int k = 1; k <= kInUse; ++k) {
        int best = -1;
        for (int left : pattern_.FacesToGo(cards_[size_t(k)], pattern_.PatternKind))
            if (left >= 0 && (best < 0 || left < best))
                best = left;
        toGo_[size_t(k)] = best;
    }
}

void CardRack::setBestFirst(bool on)
{
    bestFirst_ = on;
    if (!running_)
        return;
    Order order = Unordered();
    if (on) {
        // Closest first; cards without a count last; equals keep their own order.
        auto key = [this](int k) { return toGo_[size_t(k)] < 0 ? 99 : toGo_[size_t(k)]; };
        std::stable_sort(order.begin() + 1, order.end(), [&](int a, int b) { return key(a) < key(b); });
    }
    reorder(order);
}

void CardRack::reorder(const Order& order)
{
    if (order == order_)
        return;
    order_ = order;
    HideCards();
    placeRunning(false);
    table_->showCardId(cards_[size_t(shownCard(current_))].ShortId());
}

void CardRack::ClearCalls()
{
    for (int k = 1; k <= kInUse; ++k)
        cards_[size_t(k)].Called = {};
}

void CardRack::FaceMouseDown(int k, int face, int column, int row)
{
    pressed_ = true;
    if (k < 1 || k > kCards || face < 1 || face > 4 || column < 0 || column > 4 || row < 0 || row > 4)
        return;
    BingoCard& c = cards_[size_t(k)];
    if (c.Entered && c.DaubCell(face, column, row))
        table_->redrawCard(k);
}

void CardRack::SetDaubColour(Colour colour)
{
    shop_->showDaubColour(colour);
    if (ready_)
        for (int k = 1; k <= kInUse; ++k)
            cards_[size_t(k)].DaubColour = colour;
}

void CardRack::SetAutoDaub(bool on, Colour colour)
{
    if (on)
        shop_->showAutoDaubColour(colour);
    menus_->checkAutoDaub(on);
    if (!ready_ && on)
        return;
    for (int k = 1; k <= kInUse; ++k) {
        cards_[size_t(k)].AutoDaubOn = on;
        if (on)
            cards_[size_t(k)].AutoDaubColour = colour;
    }
}

int CardRack::CountWinningFaces(PatternState& pattern)
{
    int sum = 0;
    for (int k = 1; k <= kInUse; ++k)
        sum += pattern.CheckBingo(cards_[size_t(k)], pattern.PatternKind);
    winningFaces_ = sum;
    return sum;
}
