// The web login (service directory) and the game-server login handshake.
#include "session/gamecore.h"
#include "rules/wire.h"

// ---------------------------------------------------------------- web login

void GameCore::ConnecttoGame1Click()
{
    if (GameRunning == 1) {
        View->beep();
        return;
    }
    if (RequestLink->isOpen())
        RequestLink->close();
    if (Settings.ForgetPassword == QLatin1String("TRUE")) {
        LoginFormShow();
        View->showWindow(QStringLiteral("Tlogindialog"));
        return;
    }
    WebLogin(Settings.UserName, Settings.Password, Settings.WebHost);
}

void GameCore::LoginFormShow()
{
    View->setText(QStringLiteral("Tlogindialog.Edit1"), Settings.UserName);
    View->setText(QStringLiteral("Tlogindialog.Edit2"), Settings.Password);
    View->setText(QStringLiteral("Tlogindialog.Edit3"), Settings.WebHost);
    if (Settings.ForgetPassword == QLatin1String("FALSE"))
        View->setChecked(QStringLiteral("Tlogindialog.CheckBox1"), true);
}

void GameCore::LoginButton1Click(const QString& playerId, const QString& password, const QString& webHost, bool remember)
{
    Settings.ForgetPassword = remember ? QStringLiteral("FALSE") : QStringLiteral("TRUE");
    SaveSettings();
    WebLogin(playerId, password, webHost);
}

void GameCore::LoginButton2Click()
{
    View->hideWindow(QStringLiteral("Tlogindialog"));
    View->repaint(QStringLiteral("TForm1"));
}

void GameCore::WebLogin(const QString& playerId, const QString& password, const QString& webHost)
{
    View->hideWindow(QStringLiteral("Tlogindialog"));
    if (LoginHttp->isBusy())
        LoginHttp->abort();
    const QByteArray body = "username=" + playerId.toLatin1() + "&version=" + QByteArray(kVersionNumber);
    // The rest of the login runs when the reply is in; the event loop keeps turning meanwhile.
    QObject::disconnect(LoginHttp, &HttpClient::finished, this, nullptr);
    connect(LoginHttp, &HttpClient::finished, this, [this, playerId, password](HttpClient::Outcome outcome) {
        QObject::disconnect(LoginHttp, &HttpClient::finished, this, nullptr);
        OnWebLoginReply(outcome, LoginHttp->body(), playerId, password);
    });
    if (!LoginHttp->post(webHost, QLatin1String(kLoginScript), body))
        OnWebLoginReply(HttpClient::Outcome::Failure, QByteArray(), playerId, password);
}

void GameCore::OnWebLoginReply(HttpClient::Outcome outcome, const QByteArray& reply, const QString& playerId, const QString& password)
{
    if (outcome != HttpClient::Outcome::Success) {
        switch (outcome) {
        case HttpClient::Outcome::ConnectionFailed:
            View->messageBox(QStringLiteral("HTTP Connection Failed: Please try Again"));
            break;
        case HttpClient::Outcome::InvalidHost:
            View->messageBox(QStringLiteral("HTTP Invalid Host Error: Please try Again"));
            break;
        default:
            View->messageBox(QStringLiteral("HTTP Communications Failure: Please try Again"));
            break;
        }
        // Without a directory there is nothing to connect to: back to the dialog.
        LoginFormShow();
        View->showWindow(QStringLiteral("Tlogindialog"));
        return;
    }
    Settings.UserName = playerId;
    Settings.Password = password;
    Directory.parse(reply);
    GameServerHost = Directory.GameServerHost;
    static const char* roomItems[] = {"", "JoinChatRoom1", "ChatRoom2", "ChatRoom3", "ChatRoom4", "ChatRoom5", "ChatRoom6"};
    for (int n = 1; n <= 6; ++n)
        View->setText(QLatin1String(roomItems[n]), Directory.Rooms[n].Name);
    View->setText(QStringLiteral("OnlineHelp1"), Directory.WebBaseUrl);
    DirectoryRead = 1;
    Connect();
    View->hideWindow(QStringLiteral("Tlogindialog"));
}

// ---------------------------------------------------------------- game login

void GameCore::Connect()
{
    if (CardsEntered == 1) {
        View->beep();
        View->messageBox(QStringLiteral("You cannot re-connect, you already have cards purchased for this game"));
        return;
    }
    if (GameRunning == 1)
        return;
    PendingRequest = 0;
    if (DirectoryRead == 1) {
        for (const char* c : {"label4", "Label7", "Jackpot", "f_credits"})
            View->setVisible(QLatin1String(c), true);
    }
    if (Directory.Instruction != QLatin1String("UPGRADE")) {
        ConnectAttempts = 0;
        OpenServerLink(1);
    }
    // "UPGRADE": the program update takes over; the updater arrives with the fetcher.
}

QByteArray GameCore::LoginLine()
{
    LoginKey = Settings.UserName + QStringLiteral("#!PW") + Settings.Password + QStringLiteral("#!AD") + QLatin1String(kProgramTag);
    return "PQZ!G6" + LoginKey.toLatin1() + "#!LA" + LanguageCode.toLatin1() + "#";
}

void GameCore::RequestStarterCards()
{
    if (GameRunning != 0)
        return;
    PendingRequest = 10;
    RequestBusy = 1;
    DisableCardButtons();
    ConnectAttempts = 0;
    OpenServerLink(1);
}

// "PQZ!LOGINOK": the session starts. False when the reply could not be read to its
// end (a protocol error stops the handling where it is).
bool GameCore::LoginAccepted(const QByteArray& line)
{
    SaveSettings();
    Settings.Alias = L1(FieldValue('B', line));
    EnsureSilentSound(QStringLiteral("null.wav"));
    if (FirstLogin == 1) {
        if (Directory.NewsUrl != Settings.LastNewsUrl)
            ShowNewsWindow();
        const QString tail = Settings.Alias.right(3);
        if (Settings.Alias.size() >= 3 && tail == Settings.UserName.mid(6, 3)) {
            View->setText(QStringLiteral("TAliasConfirm.Label2"), Settings.Alias);
            View->showWindow(QStringLiteral("TAliasConfirm"));
        } else {
            View->messageBox(LanguageText(1402) + QLatin1Char(' ') + Settings.Alias + QLatin1Char(' ') + LanguageText(1403));
        }
        if (Settings.SoundOn == QLatin1String("TRUE"))
            PlayIfPresent(QStringLiteral("loginok.wav"));
        FirstLogin = 0;
    }
    View->setText(QStringLiteral("Label9"), Settings.Alias);
    Balance = L1(FieldValue('0', line));
    View->setText(QStringLiteral("f_credits"), Balance);
    View->setText(QStringLiteral("status"), LanguageText(1310));
    View->setText(QStringLiteral("Jackpot"), QStringLiteral("$-.--"));
    Pattern.LoadGamePattern(FieldValue('1', line));
    ShowPatternPicture(Pattern.PatternImage);
    if (Pattern.ProgressiveJackpot)
        FillJackpotTable(FieldValue('C', line));
    const auto seconds = ToInt(FieldValue('5', line));
    if (!seconds) {
        // A protocol error: the handling of the reply stops here.
        View->setText(QStringLiteral("status"), QStringLiteral("The game server sent a login reply we could not read."));
        return false;
    }
    SecondsToStart = *seconds;
    SalesOpen = 1;
    RequestStarterCards();
    GameInfoReady = 1;
    WaitingForSales = 1;
    FeedSilence = 0;
    Timer1.start();
    ConnectAttempts = 0;
    OpenServerLink(4);
    SalesFeedReopen = SecondsToStart;
    FeedSilence = 0;
    View->setText(QStringLiteral("CardLabel"), QString::number(CurrentCard));
    View->setText(QStringLiteral("status"), LanguageText(1311));
    ShowAdSpace1(Directory.LogoImage);
    ShowAdSpace2(Directory.AdSpace2Image);
    ShowWinnersBackdrop(Directory.WinnersImage);
    CurrentCard = 1;
    EnableCardButtons();
    RequestBusy = 0;
    View->setText(QStringLiteral("status"), LanguageText(1312));
    return true;
}

void GameCore::HandleLoginReply(const QByteArray& line)
{
    const QByteArray head = line.left(11);
    if (head == "PQZ!LOGINOK") {
        if (!LoginAccepted(line))
            return;
    } else if (head == "PQZ!LOGINPW") {
        View->beep();
        View->setText(QStringLiteral("status"), LanguageText(1313));
        LoginFormShow();
        View->showWindow(QStringLiteral("Tlogindialog"));
        View->messageBox(LanguageText(1313));
    } else if (head == "PQZ!LOGINNO") {
        View->beep();
        View->setText(QStringLiteral("status"), L1(Chars(line, 12, 75)));
        LoginFormShow();
        View->showWindow(QStringLiteral("Tlogindialog"));
        ShowRefusalText(line, "This Account has", 1700);
    }
    iset1Click();
    EnableCardButtons();
    Refresh1Click();
}

// The server's reason, characters 12 to 27 of a refusal, picks a language text: the
// login and the purchase share five reasons and differ in the first.
void GameCore::ShowRefusalText(const QByteArray& line, const char* firstPrefix, int firstId)
{
    const char* const prefixes[] = {firstPrefix, "Sorry your Accou", "Sorry Account ha",
                                    "Account is await", "Game is being se", "Sorry Account is"};
    const QByteArray reason = Chars(line, 12, 27);
    for (int i = 0; i < 6; ++i)
        if (reason == prefixes[i])
            View->messageBox(LanguageText(firstId + i));
}

void GameCore::HandleStarterCards(const QByteArray& line)
{
    if (line.left(11) != "PQZ!CARDRG1") {
        View->beep();
        View->setText(QStringLiteral("status"), LanguageText(1315));
        View->messageBox(LanguageText(1315));
        RequestBusy = 0;
        return;
    }
    const auto base = ToInt(FieldValue('A', line));
    if (!base) {
        RequestBusy = 0;
        return;
    }
    static const char fields[] = "BCDEFGHIJK";
    bool allLoaded = true;
    for (int i = 1; i <= 10; ++i) {
        Cards[i].FaceCount = 4;
        if (!Cards[i].LoadNumbers(FieldValue(fields[i - 1], line), QString::number(qint64(*base) + i - 1)))
            allLoaded = false;
        View->redrawCard(i);
    }
    if (!allLoaded)
        View->setText(QStringLiteral("status"), QStringLiteral("Some cards from the server could not be read and were left empty."));
    RequestBusy = 0;
}
