#include "cards/cardrack.h"

#include "shell/controlnames.h"

#include <algorithm>

namespace {
const QString* const kBuyButtons[] = {&Ctl::s1image, &Ctl::s2image, &Ctl::s3image, &Ctl::s4image, &Ctl::tbimage};
}

CardRack::CardRack(MainView* view) : view_(view), order_(Unordered())
{
    toGo_.fill(-1);
}

void CardRack::followPattern(PatternState* pattern, SoundQueue* sounds)
{
    pattern_ = pattern;
    sounds_ = sounds;
}

CardRack::Order CardRack::Unordered()
{
    Order order{};
    for (int p = 0; p <= kInUse; ++p)
        order[size_t(p)] = p;
    return order;
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

void CardRack::place(int k, int left, int top)
{
    tops_[size_t(k)] = top;
    view_->moveControl(Ctl::Card(k), left, top);
    view_->setVisible(Ctl::Card(k), true);
}

void CardRack::CreateCards(bool autoDaub, const QString& ticketText)
{
    for (int k = 1; k <= kCards; ++k) {
        BingoCard& card = cards_[size_t(k)];
        card = BingoCard();
        card.CardOrdinal = QString::number(k);
        card.AutoDaubOn = autoDaub;
        view_->setText(Ctl::Card(k) + QStringLiteral(".ticketid"), ticketText + QString::number(k));
        view_->setGeometry(Ctl::Card(k), 5, 25, 250, 262);
        tops_[size_t(k)] = 25;
        view_->setVisible(Ctl::Card(k), false);
    }
}

void CardRack::HideCards()
{
    for (int k = 1; k <= kCards; ++k)
        view_->setVisible(Ctl::Card(k), false);
}

void CardRack::HideFaceButtons()
{
    for (const QString* c : {&Ctl::s1image, &Ctl::s1text, &Ctl::s2image, &Ctl::s3image, &Ctl::s4image})
        view_->setVisible(*c, false);
}

void CardRack::HideBuyControls()
{
    view_->setVisible(Ctl::tbimage, false);
    view_->setVisible(Ctl::tbtext, false);
    HideFaceButtons();
}

void CardRack::EnableCardButtons(bool enabled)
{
    for (const QString* b : kBuyButtons)
        view_->setEnabled(*b, enabled);
}

void CardRack::ShowCardControls(bool buyingOpen, bool selectionOpen)
{
    HideBuyControls();
    if (bought())
        view_->setVisible(Ctl::button4, true);
    const BingoCard& card = cards_[size_t(shownCard(current_))];
    if (buyingOpen && !card.Entered) {
        if (card.Loaded) {
            view_->setVisible(Ctl::tbimage, true);
            view_->setVisible(Ctl::tbtext, true);
        }
        if (selectionOpen)
            for (const QString* c : {&Ctl::s1image, &Ctl::s2image, &Ctl::s3image, &Ctl::s4image, &Ctl::s1text})
                view_->setVisible(*c, true);
    }
    view_->setText(Ctl::cardid1, card.ShortId());
}

void CardRack::showGrid(bool shown)
{
    gridShown_ = shown;
    view_->setVisible(Ctl::GridPanel1, shown);
}

bool CardRack::pageLeft()
{
    HideCards();
    const bool moved = current_ > 1;
    if (moved) {
        --current_;
    } else {
        view_->beep();
        view_->setVisible(Ctl::LeftCard, false);
    }
    view_->setText(Ctl::CardLabel, QString::number(current_));
    place(current_, 5, 25);
    view_->setVisible(Ctl::LeftCard, current_ > 1);
    view_->setVisible(Ctl::RightCard, current_ < kInUse);
    return moved;
}

bool CardRack::pageRight()
{
    HideCards();
    const bool moved = current_ < kInUse;
    if (moved) {
        ++current_;
        view_->setVisible(Ctl::LeftCard, true);
    } else {
        view_->beep();
        view_->setVisible(Ctl::RightCard, false);
    }
    view_->setText(Ctl::CardLabel, QString::number(current_));
    place(current_, 5, 25);
    view_->setVisible(Ctl::RightCard, current_ < kInUse);
    return moved;
}

void CardRack::rewind()
{
    HideCards();
    current_ = 1;
    view_->setText(Ctl::CardLabel, QStringLiteral("1"));
}

void CardRack::showFirstCard()
{
    rewind();
    place(1, 5, 25);
    view_->setVisible(Ctl::LeftCard, false);
    view_->setVisible(Ctl::RightCard, true);
}

void CardRack::LayoutCards(bool gameRunning, const PlayArea& area)
{
    running_ = gameRunning;
    area_ = area;
    if (!gameRunning) {
        order_ = Unordered();
        if (gridShown_)
            place(current_, 5, 25);
        return;
    }
    placeRunning(true);
}

// The current paging position first, then the positions after it as far as the area allows.
void CardRack::placeRunning(bool beepAtEnd)
{
    const int cw = cards_[1].CellWidth;
    const int ch = cards_[1].CellHeight;
    const int k = current_;
    const int faceWidth = 5 * cw + 10;
    const int pitch = faceWidth * 2;
    const int columns[3] = {5, pitch, 2 * pitch - 3};
    const int rows[2] = {25, (5 * ch + 5) * 2 + 42};

    view_->setGeometry(Ctl::GridPanel1, 0, 0, faceWidth * 6, area_.gridHeight);
    showGrid(true);
    const int first = shownCard(k);
    place(first, 5, first == k ? tops_[size_t(k)] : rows[0]);
    if (k >= kInUse) {
        if (beepAtEnd)
            view_->beep();
        return;
    }
    const bool secondRow = area_.playHeight > (5 * ch + 5) * 3 + 42;
    const int fits = 1 + (area_.multiWidth > faceWidth * 3 ? 1 : 0) + (area_.multiWidth > faceWidth * 5 ? 1 : 0);
    int i = k;
    for (int c = 1; c < fits; ++c)
        if (++i <= kInUse)
            place(shownCard(i), columns[c], rows[0]);
    if (secondRow)
        for (int c = 0; c < fits; ++c)
            if (++i <= kInUse)
                place(shownCard(i), columns[c], rows[1]);
    for (int j = i + 1; j <= kInUse; ++j)
        view_->setVisible(Ctl::Card(shownCard(j)), false);
}

void CardRack::ClearCards()
{
    toGo_.fill(-1);
    oneToGoHeard_.fill(false);
    order_ = Unordered();
    pressed_ = false;
    for (int k = 1; k <= kCards; ++k) {
        cards_[size_t(k)].ClearCard();
        view_->redrawCard(k);
    }
}

void CardRack::RedrawCards()
{
    countToGo();
    for (int k = 1; k <= kInUse; ++k)
        view_->redrawCard(k);
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
    const bool loaded = LoadFaces(current(), numbers, faceCount, selectionCode);
    if (!loaded)
        view_->setText(Ctl::status, QStringLiteral("The card from the server could not be read; please choose again."));
    view_->redrawCard(current_);
    return loaded;
}

void CardRack::EnterCard(const QString& cardId, const QByteArray& numbers, const QString& selectionCode)
{
    BingoCard& card = current();
    card.CardId = cardId;
    card.Entered = true;
    view_->setText(Ctl::cardid1, card.ShortId());
    if (!card.LoadNumbers(numbers, selectionCode))
        view_->setText(Ctl::status,
                       QStringLiteral("The bought card's numbers could not be read; the card keeps the numbers shown."));
    view_->redrawCard(current_);
}

bool CardRack::LoadStarterCards(const std::array<QByteArray, 10>& cells, qint64 firstId)
{
    bool allLoaded = true;
    for (int i = 1; i <= kCards; ++i) {
        if (!LoadFaces(cards_[size_t(i)], cells[size_t(i - 1)], 4, QString::number(firstId + i - 1)))
            allLoaded = false;
        view_->redrawCard(i);
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
        view_->redrawCard(k);
    }
    if (!newlyOne.isEmpty() && sounds_)
        sounds_->PlayFile(QStringLiteral("onetogo.wav"));
    if (bestFirst_ && !pressed_)
        setBestFirst(true);
    return newlyOne;
}

void CardRack::countToGo()
{
    for (int k = 1; k <= kInUse; ++k) {
        int best = -1;
        if (pattern_)
            for (int left : pattern_->FacesToGo(cards_[size_t(k)], pattern_->PatternKind))
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
    view_->setText(Ctl::cardid1, cards_[size_t(shownCard(current_))].ShortId());
}

void CardRack::ClearCalls()
{
    for (int k = 1; k <= kInUse; ++k)
        cards_[size_t(k)].Called = {};
}

void CardRack::FaceMouseDown(int k, int face, int x, int y)
{
    pressed_ = true;
    if (k < 1 || k > kCards || face < 1 || face > 4)
        return;
    BingoCard& c = cards_[size_t(k)];
    if (!c.Entered || x < 0 || y < 0)
        return;
    const int column = x / (c.CellWidth + 1);
    const int row = y / (c.CellHeight + 1);
    if (column > 4 || row > 4)
        return;
    // The 1-pixel grid lines between cells belong to no cell.
    if (x - column * (c.CellWidth + 1) >= c.CellWidth || y - row * (c.CellHeight + 1) >= c.CellHeight)
        return;
    if (c.DaubCell(face, column, row))
        view_->redrawCard(k);
}

void CardRack::SetDaubColour(Colour colour)
{
    view_->setFaceColour(Ctl::dpresent, colour);
    if (ready_)
        for (int k = 1; k <= kInUse; ++k)
            cards_[size_t(k)].DaubColour = colour;
}

void CardRack::SetAutoDaub(bool on, Colour colour)
{
    if (on)
        view_->setFaceColour(Ctl::adpresent, colour);
    view_->setChecked(Ctl::Autodauber, on);
    if (!ready_ && on)
        return;
    for (int k = 1; k <= kInUse; ++k) {
        cards_[size_t(k)].AutoDaubOn = on;
        if (on)
            cards_[size_t(k)].AutoDaubColour = colour;
    }
}

void CardRack::setNumberSizes(int numberPoints, int freePoints)
{
    for (int k = 1; k <= kInUse; ++k) {
        cards_[size_t(k)].NumberFontSize = numberPoints;
        if (freePoints > 0)
            cards_[size_t(k)].FreeFontSize = freePoints;
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
