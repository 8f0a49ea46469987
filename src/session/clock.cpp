// The one-second tick and the phases of a game.
#include "session/gamecore.h"

void GameCore::Timer1Timer()
{
    if (ResumePending == 1) {
        if (Clock->now() > ResumeTime) {
            ResumePending = 0;
            PrepareNextGame();
        }
        return;
    }
    if (StepCountdown < 1)
        SessionStep();
    StepCountdown -= 1;
    FeedSilence += 1;
    if (!(GameInfoReady == 1 && SalesOpen == 1))
        return;
    SecondsToStart -= 1;
    const int s = SecondsToStart;
    if (s == 44)
        PlayIfPresent(QStringLiteral("lastcall.wav"));
    if (s == 30)
        PlayIfPresent(QStringLiteral("nosales.wav"));
    if (s < 35) {
        SelectionOpen = 0;
        for (const char* c : {"s1image", "s1text", "s2image", "s3image", "s4image"})
            View->setVisible(QLatin1String(c), false);
    }
    if (s < 25) {
        BuyingOpen = 0;
        RequestBusy = 0;
        SelectionOpen = 0;
        HideBuyControls();
    }
    if (s >= 5) {
        const int m = s / 60;
        const int r = s - 60 * m;
        View->setText(QStringLiteral("CallField"),
                      QString::number(m) + QLatin1Char(':') + (r < 10 ? QStringLiteral("0") : QString()) + QString::number(r));
    }
    if (s < 5 && CardsBought == 1) {
        LoadPicture(QStringLiteral("AdSpace2"), QStringLiteral("logo.gif"));
        View->repaint(QStringLiteral("AdSpace2"));
        View->setVisible(QStringLiteral("AdSpace2"), false);
        View->setText(QStringLiteral("status"), LanguageText(1306));
        View->setVisible(QStringLiteral("Panel7"), true);
        View->setVisible(QStringLiteral("Ani2Panel"), true);
        View->setVisible(QStringLiteral("ballpanel"), true);
        BuyingOpen = 0;
        SelectionOpen = 0;
        HideBuyControls();
        GameInfoReady = 0;
    } else if (s < 5 && CardsBought == 0) {
        LeaveGame();
    }
    if (s < 1)
        Timer1.stop();
    emit stateChanged();
}

void GameCore::SessionStep()
{
    StepCountdown = CallSpacing;
    if (CallsRunning == 1) {
        FeedSilence = 0;
        CallStep();
        return;
    }
    const int feed = WaitingForSales == 1 ? 4 : 3;
    int& mark = feed == 4 ? SalesFeedReopen : GameFeedReopen;
    if (mark == 0) {
        mark = SecondsToStart;
        FeedSilence = 0;
    } else if (FeedSilence > 35) {
        mark = 999;
        CloseServerLink(feed);
    }
}

void GameCore::CallStep()
{
    if (CallCount == 1 && CallString.size() > 1 && CallString[1] == '0') {
        View->messageBox(QStringLiteral("Call information for this game not received successfully - Press Ok to Terminate Game"));
        AbortGame();
        return;
    }
    if (CallCount == FinalCall) {
        FinishGame();
        return;
    }
    if (CallCount == WinningCall) {
        AnnounceBingo();
        return;
    }
    // Past the draw: a game whose figures lie beyond the codes received ends here.
    if (CallCount >= 80 || (DrawLength > 1 && CallCount >= DrawLength)) {
        FinishGame();
        return;
    }
    StepCountdown = CallSpacing;
    const char code = CallString[CallCount];
    if (code == RecentCalls[0]) {
        // The same code twice in a row would be shown once and never counted:
        // step past that position so the draw goes on.
        ++CallCount;
        return;
    }
    ShowCall(code);
}

void GameCore::StartGame()
{
    View->setVisible(QStringLiteral("Panel7"), true);
    FeedSilence = 0;
    GameRunning = 1;
    View->setText(QStringLiteral("status"), LanguageText(1308));
    PlayIfPresent(QStringLiteral("starting.wav"));
    View->setEnabled(QStringLiteral("ConnecttoGame1"), false);

    for (const char* label : {"Label5", "Label8"}) {
        View->setText(QLatin1String(label), QString());
        View->setFontColour(QLatin1String(label), kRed);
    }
    View->setVisible(QStringLiteral("ballpanel"), true);
    View->setVisible(QStringLiteral("CallField"), true);
    View->setText(QStringLiteral("CallField"), QStringLiteral("0"));
    View->setText(QStringLiteral("calllabel"), LanguageText(1400));

    BingoShoutDue = 1;
    StepCountdown = CallSpacing;
    CallsRunning = 1;
    BuyingOpen = 0;
    SelectionOpen = 0;

    HideBuyControls();
    View->setVisible(QStringLiteral("adspace1"), false);
    for (const char* c : {"Panel11", "recent", "board", "anigrid1"})
        View->setVisible(QLatin1String(c), true);
    for (const char* c : {"rec1", "rec2", "rec3", "rec4", "rec5"})
        View->setText(QLatin1String(c), QString());
    LastBallNumber = 99;
    Refresh1Click();
    CallCount = 0;
    CloseServerLink(3);
    LayoutMainWindow();
}

void GameCore::AnnounceBingo()
{
    StepCountdown = 30;
    View->setText(QStringLiteral("status"), LanguageText(1316));
    View->setVisible(QStringLiteral("machineimage"), true);
    ShowBingoPicture(BingoImageName);
    View->setVisible(QStringLiteral("Ani2Panel"), false);
    View->setVisible(QStringLiteral("ballpanel"), false);
    if (BingoShoutDue == 1) {
        BingoShoutDue = 0;
        PlayBingoShout();
    }
    CallCount = FinalCall;
    emit stateChanged();
}

void GameCore::FinishGame() { EndGame(false); }
void GameCore::AbortGame() { EndGame(true); }

void GameCore::EndGame(bool aborted)
{
    View->setVisible(QStringLiteral("Panel7"), false);
    if (!aborted)
        LoadPicture(QStringLiteral("Image10a"), QStringLiteral("bde.gif"));
    LoadPicture(QStringLiteral("BingoGIF"), QStringLiteral("logo.gif"));
    View->repaint(QStringLiteral("BingoGIF"));
    View->setVisible(QStringLiteral("BingoGIF"), false);
    ShowAdSpace2(Directory.AdSpace2Image);
    View->setVisible(QStringLiteral("AdSpace2"), true);
    if (aborted) {
        for (const char* c : {"Ani2Panel", "ballpanel", "machineimage"})
            View->setVisible(QLatin1String(c), true);
    }
    const int statusId = aborted ? 1301 : 1303;

    GameRunning = 0;
    View->setEnabled(QStringLiteral("ConnecttoGame1"), true);
    CardsEntered = 0;
    StepCountdown = 15;
    View->setText(QStringLiteral("status"), LanguageText(statusId));

    HideCards();
    View->setVisible(QStringLiteral("Panel18"), false);
    LayoutMainWindow();
    View->setVisible(QStringLiteral("button4"), false);

    CardsBought = 0;
    GameInfoReady = 1;
    WaitingForSales = 1;
    CallsRunning = 0;
    SalesOpen = 0;
    FirstNotice = 0;

    if (!aborted)
        ShowLastWinners(GameNumber);
    CLEARALL();
    View->setText(QStringLiteral("status"), LanguageText(aborted ? 1301 : 1304));
    ResumeTime = Clock->now() + 30 * 1000;
    ResumePending = 1;
    View->setText(QStringLiteral("lplayers"), QString());
    ShowGridGif();

    if (Balance.left(4) == QLatin1String("0.00")) {
        WaitingForSales = 1;
        BuyingOpen = 0;
        SelectionOpen = 0;
        HideBuyControls();
        View->setVisible(QStringLiteral("button4"), false);
        CardsBought = 0;
        ShowGridGif();
        View->setText(QStringLiteral("lplayers"), QString());
        CLEARALL();
        View->setText(QStringLiteral("status"), LanguageText(1302));
        HideCards();
        View->setVisible(QStringLiteral("Panel18"), false);
        LayoutMainWindow();
        Timer1.stop();
        SalesOpen = 0;
        FirstNotice = 0;
        View->showWindow(QStringLiteral("Tmarketdialog"));
    }
    emit stateChanged();
}

void GameCore::LeaveGame()
{
    CloseServerLink(3);
    WaitingForSales = 1;
    HideBuyControls();
    CardsBought = 0;
    View->setVisible(QStringLiteral("button4"), false);
    ShowGridGif();
    View->setText(QStringLiteral("lplayers"), QString());
    CLEARALL();
    HideCards();
    View->setText(QStringLiteral("status"), LanguageText(1302));
    View->setVisible(QStringLiteral("Panel18"), false);
    View->setVisible(QStringLiteral("GridPanel1"), false);
    Timer1.stop();
    SalesOpen = 0;
    FirstNotice = 0;
    LoginFormShow();
    View->showWindow(QStringLiteral("Tlogindialog"));
    emit stateChanged();
}

void GameCore::PrepareNextGame()
{
    ResetCallDisplays();
    View->setText(QStringLiteral("cardid1"), QString::fromLatin1(kNoCardId));
    CurrentCard = 1;
    View->setText(QStringLiteral("CardLabel"), QStringLiteral("1"));
    View->setText(QStringLiteral("status"), LanguageText(1307));
    View->setText(QStringLiteral("calllabel"), LanguageText(120));
    WebLogin(Settings.UserName, Settings.Password, Settings.WebHost);
    ShowAdSpace1(Directory.LogoImage);
    ShowAdSpace2(Directory.AdSpace2Image);
    ShowWinnersBackdrop(Directory.WinnersImage);
    emit stateChanged();
}

void GameCore::HideBuyControls()
{
    for (const char* c : {"tbimage", "tbtext", "s1image", "s1text", "s2image", "s3image", "s4image"})
        View->setVisible(QLatin1String(c), false);
}

void GameCore::HideCards()
{
    for (int i = 1; i <= 10; ++i)
        View->setVisible(CardControl(i), false);
}

void GameCore::ShowGridGif()
{
    ShowPatternPicture(QStringLiteral("grid.gif"));
}
