// Every line the game server sends reaches DispatchServerLine.
#include "session/gamecore.h"
#include "rules/wire.h"

#include <cctype>

void GameCore::DispatchServerLine(int eventCode, const QByteArray& line)
{
    switch (eventCode) {
    case 1:
        HandleAnnouncement(line);
        break;
    case 2:
    case 3:
        HandleGameStart(eventCode, line);
        break;
    case 4:
        FinishGame();
        break;
    case 5:
        AnnounceBingo();
        break;
    case 9:
        HandleCardReply(line);
        break;
    case 10:
        HandleLoginReply(line);
        break;
    case 11:
        HandlePurchaseReply(line);
        break;
    case 14:
        HandleStarterCards(line);
        break;
    case 15:
        HandleWinnersReply(line);
        break;
    default:
        break;
    }
    emit stateChanged();
}

void GameCore::HandleAnnouncement(const QByteArray& line)
{
    if (WaitingForSales == 1) {
        if (HasPrefix(line, "PQZACKWAT"))
            return;
        if (HasPrefix(line, "PQZACKBUY")) {
            if (line.size() < 10 || !std::isdigit(static_cast<unsigned char>(line[9])))
                return;   // protocol error: the line is not acted on
            WaitingForSales = 0;
            GameInfoReady = 1;
            FeedSilence = 0;
            SalesFeedReopen = 0;
            CloseServerLink(4);
            GameFeedReopen = SecondsToStart;
            ConnectAttempts = 0;
            OpenServerLink(3);
        }
        return;
    }
    GameNumber = L1(FieldValue('8', line));
    if (!CheckGameNumber(GameNumber)) {
        LeaveGame();
        View->messageBox(QStringLiteral("Your Bingo Cards were entered into the previous game. Please Reconnect to join the next game"));
        return;
    }
    Pattern.LoadGamePattern(FieldValue('7', line));
    ShowPatternPicture(Pattern.PatternImage);
    JackpotText = L1(FieldValue('2', line));
    PlayerCount = L1(FieldValue('3', line));
    View->setText(QStringLiteral("lplayers"), PlayerCount);
    View->setText(QStringLiteral("Jackpot"), QStringLiteral("$ ") + JackpotText);
    if (FirstNotice == 1)
        return;
    const auto seconds = ToInt(FieldValue('4', line));
    if (!seconds)
        return;
    SecondsToStart = *seconds;
    SalesOpen = 1;
    FirstNotice = 1;
    HideCards();
    BuyingOpen = 1;
    SelectionOpen = 1;
    View->setVisible(QStringLiteral("Panel18"), true);
    iset1Click();
    View->setVisible(QStringLiteral("GridPanel1"), true);
    View->setVisible(QStringLiteral("Card1"), true);
    LayoutMainWindow();
    PlayIfPresent(QStringLiteral("saleson.wav"));
    View->repaint(QStringLiteral("TForm1"));
    Refresh1Click();
}

void GameCore::HandleGameStart(int eventCode, const QByteArray& line)
{
    if (eventCode == 3)
        View->beep();
    FeedSilence = 0;
    GameNumber = L1(FieldValue('8', line));
    if (!CheckGameNumber(GameNumber)) {
        LeaveGame();
        View->messageBox(QStringLiteral("Your Bingo Cards were entered into the previous game. Please Reconnect to join the next game"));
        return;
    }
    StartGame();
    // The draw: at most 80 codes fit; the rest of the string stays "0" (no call).
    const QByteArray draw = FieldValue('A', line).left(80);
    CallString = QByteArray(81, '0');
    DrawLength = int(draw.size());
    for (int i = 0; i < draw.size(); ++i)
        CallString[i] = draw[i];
    BingoImageName = L1(FieldValue('9', line));
    RecentCalls = QByteArray(5, ' ');
    Pattern.LoadGamePattern(FieldValue('7', line));
    ShowPatternPicture(Pattern.PatternImage);
    JackpotText = L1(FieldValue('2', line));
    PlayerCount = L1(FieldValue('3', line));
    View->setText(QStringLiteral("lplayers"), PlayerCount);
    if (eventCode == 2)
        View->setText(QStringLiteral("Jackpot"), QStringLiteral("$") + JackpotText);
    const auto winning = ToInt(FieldValue('5', line));
    if (!winning)
        return;
    WinningCall = *winning;
    const auto final = ToInt(FieldValue('6', line));
    if (!final)
        return;
    FinalCall = *final;
    if (eventCode == 2)
        LoadBingoPicture(BingoImageName);
}

bool GameCore::CheckGameNumber(const QString& number) const
{
    for (int i = 1; i <= 6; ++i)
        if (Cards[i].Entered && Cards[i].CardId.left(6) != number)
            return false;
    return true;
}

void GameCore::ShowLastWinners(const QString& number)
{
    WinnersGameNumber = number;
    LoadPicture(QStringLiteral("Twinners.winbackdrop"), Directory.WinnersImage);
    PendingRequest = 15;
    if (RequestBusy == 1) {
        View->messageBox(LanguageText(1404));
        return;
    }
    RequestBusy = 1;
    ConnectAttempts = 0;
    OpenServerLink(1);
}

void GameCore::HandleWinnersReply(const QByteArray& line)
{
    View->setVisible(QStringLiteral("Twinners.ListBox1"), false);
    View->setItems(QStringLiteral("Twinners.ListBox1"), {});
    for (const char* label : {"Twinners.wc1", "Twinners.WC2", "Twinners.WC3", "Twinners.WC4"})
        View->setText(QLatin1String(label), QString());
    if (!HasPrefix(line, "PQZ!LOGINOK")) {
        Refresh1Click();
        return;
    }
    View->setText(QStringLiteral("Twinners.payout"), QStringLiteral("$") + L1(FieldValue('1', line)));
    QByteArray rest = FieldValue('2', line).trimmed();
    QStringList names;
    for (;;) {
        if (rest.startsWith(','))
            rest.remove(0, 1);
        const int comma = rest.indexOf(',');
        if (comma <= 0) {
            names << L1(rest);
            break;
        }
        names << L1(rest.left(comma));
        rest = rest.mid(comma, 1024);
    }
    static const char* labels[] = {"Twinners.wc1", "Twinners.WC2", "Twinners.WC3", "Twinners.WC4"};
    for (int i = 0; i < 4 && i < names.size(); ++i)
        View->setText(QLatin1String(labels[i]), names[i]);
    View->setItems(QStringLiteral("Twinners.ListBox1"), names);
    View->setText(QStringLiteral("Twinners.memo2"), L1(FieldValue('3', line)));
    if (names.size() > 4)
        View->setVisible(QStringLiteral("Twinners.ListBox1"), true);
    View->showWindow(QStringLiteral("Twinners"));
    Refresh1Click();
}

void GameCore::FillJackpotTable(const QByteArray& text)
{
    auto tagValue = [&text](const QByteArray& tag) { return KeyedValue(text, tag, 256, "]"); };
    const QString sa = L1(tagValue("SA:"));
    const auto f = ToInt(tagValue("F:"));
    if (!f)
        return;   // protocol error: the table keeps what it had
    const QString fa = L1(tagValue("FA:"));
    for (int i = 1; i <= 75; ++i) {
        JackpotTable[i] = i < *f ? sa : fa;
        const QByteArray v = tagValue("V" + QByteArray::number(i) + ":");
        if (!v.isEmpty())
            JackpotTable[i] = L1(v);
    }
}
