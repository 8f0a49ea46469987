// Choosing and buying cards, and the local "Bingo!" check.
#include "session/gamecore.h"
#include "rules/wire.h"

void GameCore::EnableCardButtons()
{
    for (const char* b : {"s1image", "s2image", "s3image", "s4image", "tbimage"})
        View->setEnabled(QLatin1String(b), true);
}

void GameCore::DisableCardButtons()
{
    for (const char* b : {"s1image", "s2image", "s3image", "s4image", "tbimage"})
        View->setEnabled(QLatin1String(b), false);
}

void GameCore::FaceCountClick(int kind)
{
    if (GameRunning == 1)
        return;
    PendingRequest = kind;
    if (RequestBusy == 1)
        return;
    DisableCardButtons();
    RequestBusy = 1;
    View->setVisible(QStringLiteral("tbimage"), false);
    View->setVisible(QStringLiteral("tbtext"), false);
    ConnectAttempts = 0;
    OpenServerLink(1);
}

void GameCore::HandleCardReply(const QByteArray& line)
{
    if (line.left(11) == "PQZ!CARDRG1") {
        const QString selection = L1(FieldValue('A', line));
        const QByteArray cells = FieldValue('B', line);
        const int faces = PendingRequest == 7 ? 1 : PendingRequest == 8 ? 2 : PendingRequest == 9 ? 3 : 4;
        if (SalesOpen == 1) {
            View->setVisible(QStringLiteral("tbimage"), true);
            View->setVisible(QStringLiteral("tbtext"), true);
        }
        ShowSelectedCard(cells, faces, selection);
    } else {
        View->beep();
        View->setText(QStringLiteral("status"), LanguageText(1309));
        View->messageBox(LanguageText(1309));
        RequestBusy = 0;
    }
    EnableCardButtons();
    RequestBusy = 0;
    Refresh1Click();
}

void GameCore::Button3Click()
{
    if (GameRunning == 1)
        return;
    PendingRequest = 2;
    if (RequestBusy == 1) {
        View->beep();
        return;
    }
    DisableCardButtons();
    RequestBusy = 1;
    HideBuyControls();
    ConnectAttempts = 0;
    OpenServerLink(1);
}

QByteArray GameCore::PurchaseLine()
{
    const BingoCard& card = Cards[CurrentCard];
    return "PQZ!B7" + LoginKey.toLatin1() + "#!AT" + card.SelectionCode.toLatin1() + "#!SK" + Settings.Alias.toLatin1()
        + "#!NC" + QByteArray::number(card.FaceCount) + "#!LA" + LanguageCode.toLatin1() + "#";
}

void GameCore::HandlePurchaseReply(const QByteArray& line)
{
    const QByteArray verdict = Chars(line, 10, 11);
    if (verdict == "OK") {
        CardsEntered = 1;
        View->setEnabled(QStringLiteral("ConnecttoGame1"), false);
        const QString cardId = L1(Chars(line, 12, 29));
        Balance = L1(FieldValue('0', line));
        View->setText(QStringLiteral("f_credits"), Balance);
        View->setText(QStringLiteral("status"), LanguageText(1310));
        EnterCard(cardId);
        RefreshBoughtCard(FieldValue('B', line), L1(FieldValue('C', line)));
        LayoutMainWindow();
        ShowCardControls();
    } else if (verdict == "PW") {
        View->beep();
        View->setText(QStringLiteral("status"), LanguageText(1313));
        View->messageBox(LanguageText(1312));
    } else if (verdict == "NO") {
        View->beep();
        View->setText(QStringLiteral("status"), QStringLiteral("ERROR: ") + L1(Chars(line, 12, 75)));
        ShowRefusalText(line, "Maximum Cards pe", 1710);
    }
    ShowCardControls();
    RequestBusy = 0;
    EnableCardButtons();
    Refresh1Click();
}

void GameCore::Button4Click()
{
    View->setEnabled(QStringLiteral("button4"), false);
    const int sum = CountWinningFaces();
    if (sum >= 1) {
        WinningFaces = sum;
        View->setText(QStringLiteral("status"), LanguageText(1305));
        View->setText(QStringLiteral("button4"), QStringLiteral("Winner!"));
        PlayFile(QStringLiteral("yesbingo.wav"));
    } else {
        WinningFaces = 0;
        View->setEnabled(QStringLiteral("button4"), true);
        PlayFile(QStringLiteral("nobingo.wav"));
    }
    for (int i = 1; i <= CardsInUse; ++i)
        View->redrawCard(i);
}

void GameCore::Button4MouseUp()
{
    if (WinningFaces < 1)
        View->setText(QStringLiteral("button4"), QStringLiteral("Bingo!"));
}

int GameCore::CountWinningFaces()
{
    int sum = 0;
    for (int i = 1; i <= CardsInUse; ++i)
        sum += Pattern.CheckBingo(Cards[i], Pattern.PatternKind);
    return sum;
}
