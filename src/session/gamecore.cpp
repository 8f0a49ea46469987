// Start-up, the web login with its service directory, and the game server's login.
#include "session/gamecore.h"

#include "shell/captions.h"
#include "shell/controlnames.h"

#include <QDir>
#include <QFile>

GameCore::GameCore(const CoreConfig& config, MainView* view, GameClock* clock, WavePlayer* player, QObject* parent)
    : QObject(parent), config_(config), view_(view), clock_(clock), folder_(config.folder), settings_(folder_, view),
      pictures_(folder_, view), sounds_(folder_, settings_, player, view),
      links_(LinkPorts{config.requestPort, config.gameFeedPort, config.salesFeedPort}, view, clock), rack_(view),
      board_(view, clock, pictures_),
      table_(view, language_, rack_, board_, sounds_, settings_, pattern_, pictures_, round_, links_)
{
    for (SetKind kind : {SetKind::Caller, SetKind::FunBingo, SetKind::Announcer})
        catalogues_[size_t(kind)] =
            std::make_unique<SetCatalogue>(kind, config_.downloadSite, folder_, settings_, sounds_, view_);
    links_.setHost(config_.defaultGameHost);
    connect(&links_, &ServerLinks::requestConnected, this, &GameCore::SendPendingRequest);
    connect(&links_, &ServerLinks::lineReceived, this, &GameCore::ServerLineReceived);
    connect(&board_, &CallBoard::callShown, this, &GameCore::OnCallShown);
    connect(&sounds_, &SoundQueue::soundFailed, this, [this] { round_.setCallSpacing(GameRound::kQuietCallSpacing); });
    timer1_.setInterval(clock_->realMs(1000));
    connect(&timer1_, &QTimer::timeout, this, &GameCore::Timer1Timer);
    connect(&loginHttp_, &HttpClient::finished, this, [this](HttpClient::Outcome outcome) {
        OnWebLoginReply(outcome, loginHttp_.property("playerId").toString(), loginHttp_.property("password").toString());
    });
    directory_.WebBaseUrl = config_.defaultWebSite;
}

GameCore::~GameCore() = default;

void GameCore::FormCreate()
{
    // Language first: read from the folder that was current at launch, and from the
    // program's folder when it is not there (a player may start us from anywhere).
    const QString languageFile = config_.language + QStringLiteral(".txt");
    const QString langDir = config_.languageFolder.isEmpty() ? config_.folder : config_.languageFolder;
    if (!language_.load(ResolveFileCaseInsensitive(langDir, languageFile)))
        language_.load(folder_.path(languageFile));
    languageCode_ = language_.text(10);
    ShowCaptions(language_, view_);

    view_->setText(Ctl::TForm1, QStringLiteral("VexoBingo v4.66"));
    view_->setGeometry(Ctl::TForm1, 0, 0, 640, 525);
    settings_.startFresh(config_.defaultWebHost);
    links_.setHost(config_.defaultGameHost);
    view_->moveControl(Ctl::TForm1, 1, 1);
    QString prefix;
    if (settings_.load(&prefix))
        view_->setText(Ctl::TForm1, prefix + QStringLiteral(" v") + QLatin1String(kVersionNumber));

    view_->setVisible(Ctl::tbimage, false);
    view_->setVisible(Ctl::tbtext, false);
    view_->setVisible(Ctl::button4, false);
    rack_.CreateCards(settings_.autoDaub(), language_.text(1600));
    table_.ClearTable();

    // Leftover set installers of earlier downloads.
    for (int n = 1; n <= 20; ++n)
        for (const char* key : {"bset", "cset", "aset"})
            QFile::remove(QDir(config_.folder).filePath(QString::fromLatin1(key) + QString::number(n) + QStringLiteral(".exe")));

    view_->setText(Ctl::lplayers, QString());
    view_->setVisible(Ctl::adspace1, true);
    pictures_.LoadPicture(Ctl::adspace1, QStringLiteral("logo.gif"));
    view_->setText(Ctl::status, language_.text(1300));
    table_.Large1Click();
    rack_.HideCards();
    view_->setVisible(Ctl::Panel18, false);
    rack_.showGrid(false);

    directory_.LogoImage = QStringLiteral("logo.gif");
    directory_.AdSpace2Image = QStringLiteral("logo.gif");
    directory_.WinnersImage = QStringLiteral("winnerbox.gif");
    directory_.WebBaseUrl = config_.defaultWebSite;
    sounds_.PlayVoice(QStringLiteral("welcome"));

    view_->setVisible(Ctl::Image10, false);
    view_->setVisible(Ctl::Image10a, true);
    view_->setVisible(Ctl::Ani2Panel, false);
    view_->setVisible(Ctl::ballpanel, false);

    rack_.setCardsReady();
    rack_.SetDaubColour(kBlue);
    if (settings_.autoDaub())
        table_.SetAutoDaub(kAqua);
    else
        view_->setChecked(Ctl::Autodauber, false);
    table_.ChooseSkin(PlayTable::kSkinCount - 1);
    ShowLoginDialog();
}

// ---------------------------------------------------------------- web login

void GameCore::ConnecttoGame1Click()
{
    if (round_.running()) {
        view_->beep();
        return;
    }
    links_.close(Link::Request);
    if (settings_.forgetPassword()) {
        ShowLoginDialog();
        return;
    }
    const ClientSettings& s = settings_.values();
    WebLogin(s.UserName, s.Password, s.WebHost);
}

// The login dialog, filled with what the settings remember.
void GameCore::ShowLoginDialog()
{
    const ClientSettings& s = settings_.values();
    view_->setText(Ctl::Tlogindialog_Edit1, s.UserName);
    view_->setText(Ctl::Tlogindialog_Edit2, s.Password);
    view_->setText(Ctl::Tlogindialog_Edit3, s.WebHost);
    if (s.ForgetPassword == QLatin1String("FALSE"))
        view_->setChecked(Ctl::Tlogindialog_CheckBox1, true);
    view_->showWindow(Ctl::Tlogindialog);
}

void GameCore::LoginButton1Click(const QString& playerId, const QString& password, const QString& webHost, bool remember)
{
    settings_.setForgetPassword(!remember);
    settings_.save();
    WebLogin(playerId, password, webHost);
}

void GameCore::LoginButton2Click()
{
    view_->hideWindow(Ctl::Tlogindialog);
    view_->repaint(Ctl::TForm1);
}

void GameCore::WebLogin(const QString& playerId, const QString& password, const QString& webHost)
{
    view_->hideWindow(Ctl::Tlogindialog);
    if (loginHttp_.isBusy())
        loginHttp_.abort();
    // The rest of the login runs when the reply is in; the event loop keeps turning meanwhile.
    loginHttp_.setProperty("playerId", playerId);
    loginHttp_.setProperty("password", password);
    const QByteArray body = "username=" + playerId.toLatin1() + "&version=" + QByteArray(kVersionNumber);
    if (!loginHttp_.post(webHost, QLatin1String(kLoginScript), body))
        OnWebLoginReply(HttpClient::Outcome::Failure, playerId, password);
}

void GameCore::OnWebLoginReply(HttpClient::Outcome outcome, const QString& playerId, const QString& password)
{
    if (outcome != HttpClient::Outcome::Success) {
        view_->messageBox(outcome == HttpClient::Outcome::ConnectionFailed
                              ? QStringLiteral("HTTP Connection Failed: Please try Again")
                          : outcome == HttpClient::Outcome::InvalidHost
                              ? QStringLiteral("HTTP Invalid Host Error: Please try Again")
                              : QStringLiteral("HTTP Communications Failure: Please try Again"));
        // Without a directory there is nothing to connect to: back to the dialog.
        ShowLoginDialog();
        return;
    }
    settings_.setLogin(playerId, password);
    directory_.parse(loginHttp_.body());
    links_.setHost(directory_.GameServerHost);
    static const QString* roomItems[] = {&Ctl::JoinChatRoom1, &Ctl::ChatRoom2, &Ctl::ChatRoom3,
                                         &Ctl::ChatRoom4, &Ctl::ChatRoom5, &Ctl::ChatRoom6};
    for (int n = 1; n <= 6; ++n)
        view_->setText(*roomItems[n - 1], directory_.Rooms[size_t(n)].Name);
    view_->setText(Ctl::OnlineHelp1, directory_.WebBaseUrl);
    directoryRead_ = true;
    Connect();
    view_->hideWindow(Ctl::Tlogindialog);
}

// ---------------------------------------------------------------- game login and requests

void GameCore::Connect()
{
    if (rack_.bought()) {
        view_->beep();
        view_->messageBox(QStringLiteral("You cannot re-connect, you already have cards purchased for this game"));
        return;
    }
    if (round_.running())
        return;
    links_.setPending(Request::Login);
    if (directoryRead_)
        for (const QString* c : {&Ctl::label4, &Ctl::Label7, &Ctl::Jackpot, &Ctl::f_credits})
            view_->setVisible(*c, true);
    // "UPGRADE": the program update takes over; the updater arrives with the fetcher.
    if (directory_.Instruction != QLatin1String("UPGRADE"))
        links_.open(Link::Request);
}

void GameCore::OpenRequest(Request request)
{
    links_.setPending(request);
    links_.setBusy(true);
    rack_.EnableCardButtons(false);
    links_.open(Link::Request);
}

void GameCore::SendPendingRequest()
{
    const ClientSettings& s = settings_.values();
    QByteArray line;
    switch (links_.pending()) {
    case Request::Login:
        loginKey_ = s.UserName + QStringLiteral("#!PW") + s.Password + QStringLiteral("#!AD") + QLatin1String(kProgramTag);
        line = "PQZ!G6" + loginKey_.toLatin1() + "#!LA" + languageCode_.toLatin1() + "#";
        break;
    case Request::Purchase:
        line = "PQZ!B7" + loginKey_.toLatin1() + "#!AT" + rack_.currentSelection().toLatin1() + "#!SK"
            + s.Alias.toLatin1() + "#!NC" + QByteArray::number(rack_.currentFaces()) + "#!LA"
            + languageCode_.toLatin1() + "#";
        break;
    case Request::StarterCards: line = "PQZ!S6"; break;
    case Request::Winners: line = "PQZ!GS" + winnersGameNumber_.toLatin1() + "##"; break;
    default: line = "PQZ!S1"; break;
    }
    links_.send(Link::Request, line);
}

void GameCore::RequestStarterCards()
{
    if (round_.running())
        return;
    OpenRequest(Request::StarterCards);
}

void GameCore::chooseFaces(int faces)
{
    static const Request requests[] = {Request::FourFaces, Request::OneFace, Request::TwoFaces, Request::ThreeFaces,
                                       Request::FourFaces};
    if (round_.running() || faces < 1 || faces > 4)
        return;
    links_.setPending(requests[faces]);
    if (links_.busy())
        return;
    view_->setVisible(Ctl::tbimage, false);
    view_->setVisible(Ctl::tbtext, false);
    OpenRequest(requests[faces]);
}

void GameCore::Button3Click()
{
    if (round_.running())
        return;
    links_.setPending(Request::Purchase);
    if (links_.busy()) {
        view_->beep();
        return;
    }
    rack_.HideBuyControls();
    OpenRequest(Request::Purchase);
}

void GameCore::ShowLastWinners(const QString& gameNumber)
{
    winnersGameNumber_ = gameNumber;
    pictures_.LoadPicture(Ctl::Twinners_winbackdrop, directory_.WinnersImage);
    links_.setPending(Request::Winners);
    if (links_.busy()) {
        view_->messageBox(language_.text(1404));
        return;
    }
    links_.setBusy(true);
    links_.open(Link::Request);
}

// ---------------------------------------------------------------- sound and news

void GameCore::TurnSoundOn()
{
    sounds_.setMuted(false);
    settings_.setSoundOn(true);
    round_.setCallSpacing(GameRound::kCallSpacing);
    settings_.save();
    sounds_.PlayVoice(QStringLiteral("Welcome"));
}

void GameCore::TurnSoundOff()
{
    view_->beep();
    settings_.setSoundOn(false);
    round_.setCallSpacing(GameRound::kQuietCallSpacing);
    settings_.save();
}

void GameCore::ShowNewsWindow()
{
    // The news window fetches and shows the operator's news; until it can, showing
    // it would only put an empty window in front of the game.
    if (newsHook_)
        newsHook_();
}

void GameCore::AliasOkClick()
{
    view_->openUrl(directory_.WebBaseUrl + QStringLiteral("chalform.htm"));
    view_->quit();
}
