// Start-up and the game server's login and requests.
#include "session/gamecore.h"

#include "shell/captions.h"
#include "shell/controlnames.h"

#include <QDir>
#include <QFile>

GameCore::GameCore(const CoreConfig& config, MainView* view, GameClock* clock, WavePlayer* player, QObject* parent)
    : QObject(parent), config_(config), view_(view), clock_(clock), folder_(config.folder, config.installedFolder), settings_(folder_, view),
      pictures_(folder_, view), sounds_(folder_, settings_, player, view),
      links_(LinkPorts{config.requestPort, config.gameFeedPort, config.salesFeedPort}, view, clock, language_),
      rack_(view),
      board_(view, clock, pictures_),
      table_(view, language_, rack_, board_, sounds_, settings_, pattern_, pictures_, round_, links_),
      shop_(view, language_, links_, round_, rack_, table_),
      signIn_(config.defaultWebHost, config.defaultWebSite, view, clock, settings_, language_, sounds_),
      chat_(view, signIn_.directory(), settings_, language_, table_),
      fetcher_(view, signIn_.directory(), settings_, folder_, pictures_, sounds_),
      update_(view, signIn_.directory(), folder_, language_, rack_),
      news_(view, settings_, folder_)
{
    signIn_.setNewsHook([this] { news_.FormShow(signIn_.directory().NewsUrl); });
    pictures_.setFetchHook([this](const QString& name, FetchKind kind, const QString& control) {
        fetcher_.FetchFile(name, kind, control);
    });
    for (SetKind kind : {SetKind::Caller, SetKind::FunBingo, SetKind::Announcer})
        catalogues_[size_t(kind)] =
            std::make_unique<SetCatalogue>(kind, config_.downloadSite, folder_, settings_, sounds_, view_);
    links_.setHost(config_.defaultGameHost);
    connect(&links_, &ServerLinks::requestConnected, this, &GameCore::SendPendingRequest);
    connect(&links_, &ServerLinks::lineReceived, this, &GameCore::ServerLineReceived);
    connect(&board_, &CallBoard::callShown, this, &GameCore::OnCallShown);
    connect(&sounds_, &SoundQueue::soundSwitched, this, [this](bool on) {
        round_.setCallSpacing(on ? GameRound::kCallSpacing : GameRound::kQuietCallSpacing);
    });
    connect(&signIn_, &SignIn::directoryArrived, this, [this] {
        links_.setHost(signIn_.directory().GameServerHost);
        Connect();
    });
    timer1_.setInterval(clock_->realMs(1000));
    connect(&timer1_, &QTimer::timeout, this, &GameCore::Timer1Timer);
    loginDeadline_.setSingleShot(true);
    loginDeadline_.setInterval(clock_->realMs(kLoginDeadlineMs));
    connect(&loginDeadline_, &QTimer::timeout, this, [this] {
        // The game server took the sign-in and never answered it (or answered with
        // something else): the player may try again.
        links_.close(Link::Request);
        signIn_.ShowLoginDialog();
        view_->messageBox(QStringLiteral("The game server did not answer the sign-in. Please try again."));
    });
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
        view_->setText(Ctl::TForm1, prefix + QStringLiteral(" v") + QLatin1String(SignIn::kVersionNumber));

    view_->setVisible(Ctl::tbimage, false);
    view_->setVisible(Ctl::tbtext, false);
    view_->setVisible(Ctl::button4, false);
    rack_.CreateCards(settings_.autoDaub(), language_.text(1600));
    CLEARALL();

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

    signIn_.UseDefaultDirectory();
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
    signIn_.ShowLoginDialog();
}

void GameCore::ConnecttoGame1Click()
{
    if (round_.running()) {
        view_->beep();
        return;
    }
    links_.close(Link::Request);
    if (settings_.forgetPassword()) {
        signIn_.ShowLoginDialog();
        return;
    }
    const ClientSettings& s = settings_.values();
    signIn_.WebLogin(s.UserName, s.Password, s.WebHost);
}

// The directory is in: sign in to the game server.
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
    if (signIn_.directoryRead())
        for (const QString* c : {&Ctl::label4, &Ctl::Label7, &Ctl::Jackpot, &Ctl::f_credits})
            view_->setVisible(*c, true);
    const ServiceDirectory& directory = signIn_.directory();
    if (directory.Instruction != QLatin1String("UPGRADE")) {
        links_.open(Link::Request);
        return;
    }
    // The hall wants a newer program: the update takes over, no game connection is made.
    update_.ForcedUpdate();
}

void GameCore::SendPendingRequest()
{
    QByteArray line;
    switch (links_.pending()) {
    case Request::Login:
        line = signIn_.LoginLine(languageCode_);
        loginDeadline_.start();
        break;
    case Request::Purchase:
        line = shop_.PurchaseLine(signIn_.loginKey(), settings_.values().Alias, languageCode_);
        break;
    case Request::StarterCards: line = "PQZ!S6"; break;
    case Request::Winners: line = "PQZ!GS" + winnersGameNumber_.toLatin1() + "##"; break;
    default: line = "PQZ!S1"; break;
    }
    links_.send(Link::Request, line);
}

void GameCore::ShowLastWinners(const QString& gameNumber)
{
    winnersGameNumber_ = gameNumber;
    pictures_.LoadServerPicture(Ctl::Twinners_winbackdrop, signIn_.directory().WinnersImage);
    // A request under way keeps its reply: the winners wait until it is in.
    if (links_.busy()) {
        view_->messageBox(language_.text(1404));
        return;
    }
    links_.setPending(Request::Winners);
    links_.setBusy(true);
    links_.open(Link::Request);
}
