// Start-up and the game server's login and requests.
#include "session/gamecore.h"

#include "shell/texts.h"

#include <QDir>
#include <QFile>

GameCore::GameCore(const CoreConfig& config, const Views& views, GameClock* clock, WavePlayer* player,
                   QObject* parent)
    : QObject(parent), config_(config), views_(views), clock_(clock), folder_(config.folder, config.installedFolder),
      settings_(folder_, views.player), pictures_(folder_, views.pictures, views.status, views.calls),
      sounds_(folder_, settings_, player, views.player),
      links_(LinkPorts{config.requestPort, config.gameFeedPort, config.salesFeedPort}, views.status, views.dialogs,
             clock, language_),
      rack_(views),
      board_(views.calls, clock, pictures_),
      table_(views, language_, rack_, board_, sounds_, settings_, pattern_, pictures_, round_, links_),
      shop_(views, language_, links_, round_, rack_, table_),
      signIn_(config.defaultWebHost, config.defaultWebSite, views, clock, settings_, language_, sounds_),
      chat_(views.chat, views.player, signIn_.directory(), settings_, language_),
      fetcher_(views.dialogs, views.player, signIn_.directory(), settings_, folder_),
      update_(views.player, views.system, signIn_.directory(), folder_, language_, [this] { return rack_.bought(); }),
      news_(views.dialogs, views.player, settings_, folder_)
{
    signIn_.setNewsHook([this] { news_.FormShow(signIn_.directory().NewsUrl); });
    pictures_.setFetchHook([this](const QString& name, FetchKind kind, std::optional<Picture> place) {
        fetcher_.FetchFile(name, kind, place);
    });
    fetcher_.setDoneHook([this](const Fetcher::Done& done) { FileFetched(done); });
    for (SetKind kind : {SetKind::Caller, SetKind::FunBingo, SetKind::Announcer})
        catalogues_[size_t(kind)] = std::make_unique<SetCatalogue>(kind, config_.downloadSite, folder_, settings_,
                                                                   sounds_, views.sets, views.player);
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
        views_.player->message(QStringLiteral("The game server did not answer the sign-in. Please try again."));
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
    languageCode_ = language_.text(Text::LanguageCode);
    views_.menus->showLanguage(language_);

    views_.menus->showTitle(QStringLiteral("VexoBingo v4.66"));
    settings_.startFresh(config_.defaultWebHost);
    links_.setHost(config_.defaultGameHost);
    QString prefix;
    if (settings_.load(&prefix))
        views_.menus->showTitle(prefix + QStringLiteral(" v") + QLatin1String(SignIn::kVersionNumber));

    views_.shop->showBuy(false);
    views_.shop->showClaim(false);
    rack_.CreateCards(settings_.autoDaub(), language_.text(Text::CardTicketPrefix));
    CLEARALL();

    // Leftover set installers of earlier downloads.
    for (int n = 1; n <= 20; ++n)
        for (const char* key : {"bset", "cset", "aset"})
            QFile::remove(QDir(config_.folder).filePath(QString::fromLatin1(key) + QString::number(n) + QStringLiteral(".exe")));

    views_.figures->showPlayers(QString());
    views_.calls->showLogo(true);
    pictures_.LoadPicture(Picture::Logo, QStringLiteral("logo.gif"));
    views_.status->showStatus(language_.text(Text::StatusWelcome));
    table_.Large1Click();
    rack_.HideCards();
    views_.table->showSidePanel(false);
    rack_.showGrid(false);

    signIn_.UseDefaultDirectory();
    sounds_.PlayVoice(QStringLiteral("welcome"));

    views_.calls->restBall();
    views_.calls->showDrum(false);
    views_.calls->showBallWindow(false);

    rack_.setCardsReady();
    rack_.SetDaubColour(kBlue);
    if (settings_.autoDaub())
        table_.SetAutoDaub(kAqua);
    else
        views_.menus->checkAutoDaub(false);
    table_.ChooseSkin(PlayTable::kSkinCount - 1);
    signIn_.ShowLoginDialog();
}

void GameCore::ConnecttoGame1Click()
{
    if (round_.running()) {
        views_.player->beep();
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
        views_.player->beep();
        views_.player->message(QStringLiteral("You cannot re-connect, you already have cards purchased for this game"));
        return;
    }
    if (round_.running())
        return;
    links_.setPending(Request::Login);
    if (signIn_.directoryRead())
        views_.figures->showFigures();
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
    pictures_.LoadServerPicture(Picture::WinnersBackdrop, signIn_.directory().WinnersImage);
    // A request under way keeps its reply: the winners wait until it is in.
    if (links_.busy()) {
        views_.player->message(language_.text(Text::RequestInProgress));
        return;
    }
    links_.setPending(Request::Winners);
    links_.setBusy(true);
    links_.open(Link::Request);
}

// A fetched file has arrived (or could not be had): it is shown or played where it was asked for.
void GameCore::FileFetched(const Fetcher::Done& done)
{
    if (!done.arrived) {
        if (done.kind == FetchKind::PatternPicture)
            pictures_.ShowPatternPicture(QStringLiteral("FAILED"));
        return;
    }
    switch (done.kind) {
    case FetchKind::PatternPicture: pictures_.ShowPatternPicture(done.name); break;
    case FetchKind::Sound: sounds_.PlayFile(done.name); break;
    default:
        if (done.place)
            pictures_.LoadPicture(*done.place, done.name);
        break;
    }
}
