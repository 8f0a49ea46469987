// The ten cards: creation, paging, purchase controls, daubing choices and the
// new-game reset.
#include "session/gamecore.h"

void GameCore::CreateCards()
{
    for (int k = 1; k <= 10; ++k) {
        BingoCard& card = Cards[k];
        card = BingoCard();
        card.CardOrdinal = QString::number(k);
        card.AutoDaubOn = Settings.AutoDaub == QLatin1String("TRUE");
        View->setText(CardControl(k) + QStringLiteral(".ticketid"), LanguageText(1600) + QString::number(k));
        View->setGeometry(CardControl(k), 5, 25, 250, 262);
        View->setVisible(CardControl(k), false);
    }
}

void GameCore::iset1Click()
{
    if (RequestBusy == 1) {
        View->beep();
        return;
    }
    HideCards();
    CurrentCard = 1;
    View->setText(QStringLiteral("CardLabel"), QStringLiteral("1"));
    ShowCardControls();
}

void GameCore::LeftCardClick()
{
    if (RequestBusy == 1) {
        View->beep();
        return;
    }
    PlayFile(QStringLiteral("click.wav"));
    HideCards();
    if (CurrentCard > 1) {
        --CurrentCard;
    } else {
        View->beep();
        CurrentCard = 1;
        View->setVisible(QStringLiteral("LeftCard"), false);
    }
    View->setText(QStringLiteral("CardLabel"), QString::number(CurrentCard));
    View->moveControl(CardControl(CurrentCard), 5, 25);
    View->setVisible(CardControl(CurrentCard), true);
    View->setVisible(QStringLiteral("LeftCard"), CurrentCard > 1);
    View->setVisible(QStringLiteral("RightCard"), CurrentCard < 6);
    LayoutMainWindow();
    ShowCardControls();
}

void GameCore::RightCardClick()
{
    if (RequestBusy == 1) {
        View->beep();
        return;
    }
    PlayFile(QStringLiteral("click.wav"));
    HideCards();
    if (CurrentCard < CardsInUse) {
        ++CurrentCard;
        View->setVisible(QStringLiteral("LeftCard"), true);
    } else {
        View->beep();
        CurrentCard = CardsInUse;
        View->setVisible(QStringLiteral("RightCard"), false);
    }
    View->setText(QStringLiteral("CardLabel"), QString::number(CurrentCard));
    View->moveControl(CardControl(CurrentCard), 5, 25);
    View->setVisible(CardControl(CurrentCard), true);
    LayoutMainWindow();
    ShowCardControls();
    View->setVisible(QStringLiteral("RightCard"), CurrentCard < 6);
}

void GameCore::ShowCardControls()
{
    HideBuyControls();
    if (CardsBought == 1)
        View->setVisible(QStringLiteral("button4"), true);
    const BingoCard& card = Cards[CurrentCard];
    if (BuyingOpen == 1 && !card.Entered) {
        if (card.Loaded) {
            View->setVisible(QStringLiteral("tbimage"), true);
            View->setVisible(QStringLiteral("tbtext"), true);
        }
        if (SelectionOpen == 1)
            for (const char* c : {"s1image", "s2image", "s3image", "s4image", "s1text"})
                View->setVisible(QLatin1String(c), true);
    }
    View->setText(QStringLiteral("cardid1"), card.ShortId());
}

void GameCore::CLEARALL()
{
    ConnectAttempts = 0;
    WinningCall = 75;
    CallString = QByteArray(81, '0');
    DrawLength = 0;
    Pattern.Reset();
    CardsEntered = 0;
    GameNumber = QStringLiteral("000000");
    for (const char* c : {"GridPanel1", "board", "recent", "anigrid1", "Panel11"})
        View->setVisible(QLatin1String(c), false);
    View->setVisible(QStringLiteral("adspace1"), true);
    View->setEnabled(QStringLiteral("button4"), true);
    for (int k = 1; k <= 10; ++k) {
        Cards[k].ClearCard();
        View->redrawCard(k);
    }
    RedrawBoard();
    View->setText(QStringLiteral("calllabel"), LanguageText(120));
    View->setText(QStringLiteral("button4"), QStringLiteral("Bingo!"));
    View->setText(QStringLiteral("Label5"), QString());
    View->setText(QStringLiteral("Label8"), QString());
    View->repaint(QStringLiteral("TForm1"));
    Refresh1Click();
}

void GameCore::SetCalledInCards(int column, int position, int value)
{
    if (DeferMarks && value > 0 && column >= 0 && column <= 4 && position >= 1 && position <= 15) {
        for (int k = 1; k <= CardsInUse && k <= 10; ++k)
            Cards[k].Called[column][position] = value;
        return;
    }
    for (int k = 1; k <= CardsInUse && k <= 10; ++k) {
        Cards[k].SetCalled(column, position, value);
        if (value > 0)
            View->redrawCard(k);
    }
}

void GameCore::ShowSelectedCard(const QByteArray& numbers, int faceCount, const QString& selectionCode)
{
    BingoCard& card = Cards[CurrentCard];
    const int before = card.FaceCount;
    card.FaceCount = faceCount;
    if (!card.LoadNumbers(numbers, selectionCode)) {
        card.FaceCount = before;
        View->setText(QStringLiteral("status"), QStringLiteral("The card from the server could not be read; please choose again."));
    }
    View->redrawCard(CurrentCard);
}

void GameCore::RefreshBoughtCard(const QByteArray& numbers, const QString& selectionCode)
{
    if (!Cards[CurrentCard].LoadNumbers(numbers, selectionCode))
        View->setText(QStringLiteral("status"), QStringLiteral("The bought card's numbers could not be read; the card keeps the numbers shown."));
    View->redrawCard(CurrentCard);
}

void GameCore::EnterCard(const QString& cardId)
{
    BingoCard& card = Cards[CurrentCard];
    card.CardId = cardId;
    card.Entered = true;
    CardsBought = 1;
    View->setText(QStringLiteral("cardid1"), card.ShortId());
    ShowCardControls();
}

void GameCore::Refresh1Click()
{
    for (int k = 1; k <= CardsInUse; ++k)
        View->redrawCard(k);
    View->redrawBoard();
}

void GameCore::FaceMouseDown(int card, int face, int x, int y)
{
    if (card < 1 || card > 10 || face < 1 || face > 4)
        return;
    BingoCard& c = Cards[card];
    if (!c.Entered)
        return;
    const int column = x / (c.CellWidth + 1);
    const int row = y / (c.CellHeight + 1);
    if (x < 0 || y < 0 || column > 4 || row > 4)
        return;
    // The 1-pixel grid lines between cells belong to no cell.
    if (x - column * (c.CellWidth + 1) >= c.CellWidth || y - row * (c.CellHeight + 1) >= c.CellHeight)
        return;
    if (c.DaubCell(face, column, row))
        View->redrawCard(card);
}

void GameCore::SetDaubColour(Colour colour)
{
    View->setFaceColour(QStringLiteral("dpresent"), colour);
    if (CardsReady)
        for (int k = 1; k <= CardsInUse; ++k)
            Cards[k].DaubColour = colour;
}

void GameCore::SetAutoDaub(Colour colour)
{
    View->setFaceColour(QStringLiteral("adpresent"), colour);
    Settings.AutoDaub = QStringLiteral("TRUE");
    View->setChecked(QStringLiteral("Autodauber"), true);
    SaveSettings();
    if (CardsReady)
        for (int k = 1; k <= CardsInUse; ++k) {
            Cards[k].AutoDaubOn = true;
            Cards[k].AutoDaubColour = colour;
        }
}

void GameCore::AutodauberClick()
{
    if (Settings.AutoDaub != QLatin1String("TRUE")) {
        SetAutoDaub(kAqua);
        return;
    }
    Settings.AutoDaub = QStringLiteral("FALSE");
    View->setChecked(QStringLiteral("Autodauber"), false);
    SaveSettings();
    for (int k = 1; k <= CardsInUse; ++k)
        Cards[k].AutoDaubOn = false;
}

void GameCore::dpresentMouseDown()
{
    Colour chosen = 0;
    if (View->chooseColour(Cards[1].DaubColour, &chosen))
        SetDaubColour(chosen);
}

void GameCore::adpresentMouseDown()
{
    Colour chosen = 0;
    if (View->chooseColour(Cards[1].AutoDaubColour, &chosen))
        SetAutoDaub(chosen);
}

void GameCore::BingoMarker1Click()
{
    DauberCursor = true;
    View->setCardCursor(true);
}

void GameCore::Shape6Click()
{
    DauberCursor = false;
    View->setCardCursor(false);
}

void GameCore::Small1Click()
{
    for (int k = 1; k <= CardsInUse; ++k)
        Cards[k].NumberFontSize = 10;
    BoardTextSize = 7 + 1;
    Refresh1Click();
}

void GameCore::Large1Click()
{
    for (int k = 1; k <= CardsInUse; ++k) {
        Cards[k].NumberFontSize = 12;
        Cards[k].FreeFontSize = 7;
    }
    BoardTextSize = 8 + 1;
    Refresh1Click();
}
