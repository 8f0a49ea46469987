// Start-up and the game server's login and requests.
#include "game/gamecore.h"

#include "game/coreparts.h"
#include "game/roundsteps.h"

#include "shell/texts.h"

#include <QDir>
#include <QFile>

GameCore::GameCore(const CoreConfig& config, const Views& views, GameClock* clock, WavePlayer* player,
                   QObject* parent)
    : QObject(parent), config_(config), views_(views), clock_(clock),
      parts_(std::make_unique<CoreParts>(config, views, clock, player)),
      steps_(std::make_unique<RoundSteps>(*parts_, views, clock,
                                          [this](const QString& gameNumber) { ShowLastWinners(gameNumber); }))
{
    CoreParts& p = *parts_;
    p.signIn.setNewsHook([this] { parts_->news.FormShow(parts_->signIn.directory().NewsUrl); });
    p.pictures.setFetchHook([this](const QString& name, FetchKind kind, std::optional<Picture> place) {
        parts_->fetcher.FetchFile(name, kind, place);
    });
    // A fetched file is shown or played where it was asked for.
    p.fetcher.setDoneHook([this](const Fetcher::Done& done) {
        ScreenPictures& pictures = parts_->pictures;
        if (!done.arrived) {
            if (done.kind == FetchKind::PatternPicture)
                pictures.ShowPatternPicture(QStringLiteral("FAILED"));
        } else if (done.kind == FetchKind::PatternPicture) {
            pictures.ShowPatternPicture(done.name);
        } else if (done.kind == FetchKind::Sound) {
            parts_->sounds.PlayFile(done.name);
        } else if (done.place) {
            pictures.LoadPicture(*done.place, done.name);
        }
    });
    p.links.setHost(config_.defaultGameHost);
    connect(&p.links, &ServerLinks::requestConnected, this, &GameCore::SendPendingRequest);
    connect(&p.links, &ServerLinks::lineReceived, this, &GameCore::ServerLineReceived);
    connect(&p.sounds, &SoundQueue::soundSwitched, this, [this](bool on) {
        parts_->round.setCallSpacing(on ? GameRound::kCallSpacing : GameRound::kQuietCallSpacing);
    });
    connect(&p.signIn, &SignIn::directoryArrived, this, [this] {
        parts_->links.setHost(parts_->signIn.directory().GameServerHost);
        Connect();
    });
    loginDeadline_.setSingleShot(true);
    loginDeadline_.setInterval(clock_->realMs(kLoginDeadlineMs));
    connect(&loginDeadline_, &QTimer::timeout, this, [this] {
        // The game server took the sign-in and never answered it (or answered with
        // something else): the player may try again.
        parts_->links.close(Link::Request);
        parts_->signIn.ShowLoginDialog();
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
    if (!parts_->language.load(ResolveFileCaseInsensitive(langDir, languageFile)))
        parts_->language.load(parts_->folder.path(languageFile));
    languageCode_ = parts_->language.text(Text::LanguageCode);
    views_.menus->showLanguage(parts_->language);

    views_.menus->showTitle(QStringLiteral("VexoBingo v4.66"));
    parts_->settings.startFresh(config_.defaultWebHost);
    parts_->links.setHost(config_.defaultGameHost);
    QString prefix;
    if (parts_->settings.load(&prefix))
        views_.menus->showTitle(prefix + QStringLiteral(" v") + QLatin1String(SignIn::kVersionNumber));

    views_.shop->showBuy(false);
    views_.shop->showClaim(false);
    parts_->rack.CreateCards(parts_->settings.autoDaub(), parts_->language.text(Text::CardTicketPrefix));
    steps_->CLEARALL();

    // Leftover set installers of earlier downloads.
    for (int n = 1; n <= 20; ++n)
        for (const char* key : {"bset", "cset", "aset"})
            QFile::remove(
                QDir(config_.folder).filePath(QString::fromLatin1(key) + QString::number(n) + QStringLiteral(".exe")));

    views_.figures->showPlayers(QString());
    views_.calls->showLogo(true);
    parts_->pictures.LoadPicture(Picture::Logo, QStringLiteral("logo.gif"));
    views_.status->showStatus(parts_->language.text(Text::StatusWelcome));
    parts_->table.Large1Click();
    parts_->rack.HideCards();
    views_.table->showSidePanel(false);
    parts_->rack.showGrid(false);

    parts_->signIn.UseDefaultDirectory();
    parts_->sounds.PlayVoice(QStringLiteral("welcome"));

    views_.calls->restBall();
    views_.calls->showDrum(false);
    views_.calls->showBallWindow(false);

    parts_->rack.setCardsReady();
    parts_->rack.SetDaubColour(kBlue);
    if (parts_->settings.autoDaub())
        parts_->table.SetAutoDaub(kAqua);
    else
        views_.menus->checkAutoDaub(false);
    parts_->table.ChooseSkin(PlayTable::kSkinCount - 1);
    parts_->signIn.ShowLoginDialog();
}

void GameCore::ConnecttoGame1Click()
{
    if (parts_->round.running()) {
        views_.player->beep();
        return;
    }
    parts_->links.close(Link::Request);
    if (parts_->settings.forgetPassword()) {
        parts_->signIn.ShowLoginDialog();
        return;
    }
    const ClientSettings& s = parts_->settings.values();
    parts_->signIn.WebLogin(s.UserName, s.Password, s.WebHost);
}

// The directory is in: sign in to the game server.
void GameCore::Connect()
{
    if (parts_->rack.bought()) {
        views_.player->beep();
        views_.player->message(QStringLiteral("You cannot re-connect, you already have cards purchased for this game"));
        return;
    }
    if (parts_->round.running())
        return;
    parts_->links.setPending(Request::Login);
    if (parts_->signIn.directoryRead())
        views_.figures->showFigures();
    const ServiceDirectory& directory = parts_->signIn.directory();
    if (directory.Instruction != QLatin1String("UPGRADE")) {
        parts_->links.open(Link::Request);
        return;
    }
    // The hall wants a newer program: the update takes over, no game connection is made.
    parts_->update.ForcedUpdate();
}

void GameCore::SendPendingRequest()
{
    QByteArray line;
    switch (parts_->links.pending()) {
    case Request::Login:
        line = parts_->signIn.LoginLine(languageCode_);
        loginDeadline_.start();
        break;
    case Request::Purchase:
        line = parts_->shop.PurchaseLine(parts_->signIn.loginKey(), parts_->settings.values().Alias, languageCode_);
        break;
    case Request::StarterCards: line = "PQZ!S6"; break;
    case Request::Winners: line = "PQZ!GS" + winnersGameNumber_.toLatin1() + "##"; break;
    default: line = "PQZ!S1"; break;
    }
    parts_->links.send(Link::Request, line);
}

void GameCore::ShowLastWinners(const QString& gameNumber)
{
    winnersGameNumber_ = gameNumber;
    parts_->pictures.LoadServerPicture(Picture::WinnersBackdrop, parts_->signIn.directory().WinnersImage);
    // A request under way keeps its reply: the winners wait until it is in.
    if (parts_->links.busy()) {
        views_.player->message(parts_->language.text(Text::RequestInProgress));
        return;
    }
    parts_->links.setPending(Request::Winners);
    parts_->links.setBusy(true);
    parts_->links.open(Link::Request);
}


void GameCore::Timer1Timer() { steps_->Timer1Timer(); }
void GameCore::FinishBallAnimation() { parts_->board.FinishBallAnimation(); }
void GameCore::AlertButton1Click() { parts_->links.AlertButton1Click(); }

SignIn& GameCore::signIn() { return parts_->signIn; }
CardShop& GameCore::shop() { return parts_->shop; }
PlayEvents& GameCore::events() { return parts_->events; }
PlayLimits& GameCore::limits() { return parts_->limits; }
PlayTable& GameCore::table() { return parts_->table; }
SoundQueue& GameCore::sounds() { return parts_->sounds; }
SetCatalogue& GameCore::catalogue(SetKind kind) { return *parts_->catalogues[size_t(kind)]; }
ChatSession& GameCore::chat() { return parts_->chat; }
ScreenPictures& GameCore::pictures() { return parts_->pictures; }
const Fetcher& GameCore::fetcher() const { return parts_->fetcher; }
ProgramUpdate& GameCore::update() { return parts_->update; }
const CardRack& GameCore::rack() const { return parts_->rack; }
const CallBoard& GameCore::board() const { return parts_->board; }
const GameRound& GameCore::round() const { return parts_->round; }
const ServerLinks& GameCore::links() const { return parts_->links; }
const SettingsStore& GameCore::settings() const { return parts_->settings; }
const SignIn& GameCore::signIn() const { return parts_->signIn; }
const ProgramFolder& GameCore::folder() const { return parts_->folder; }

void GameCore::LeaveAfterGame()
{
    const Phase phase = parts_->round.phase();
    const bool playing = parts_->round.running() || phase == Phase::Starting
                         || (parts_->round.counting() && parts_->rack.bought());
    if (!playing) {
        views_.system->quit();
        return;
    }
    parts_->limits.leaveAfterGame();
}
