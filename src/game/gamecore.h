#pragma once
// The game core: wires the owned parts (links, round, cards, board, sounds, sets,
// settings, pictures, chat) and runs the steps of a session, from the web login through
// the sales, the draw and the winners to the next sign-in. Headless: it reaches the
// screen only through its views, time through GameClock and sound through WavePlayer.
#include "session/serverevents.h"
#include "views/views.h"

#include <QObject>
#include <QDateTime>
#include <QTimer>
#include <functional>
#include <memory>

class CallBoard;
class CardRack;
class CardShop;
class PlayEvents;
class PlayLimits;
class ChatSession;
class Fetcher;
class GameClock;
class GameRound;
class PlayTable;
class ProgramFolder;
class ProgramUpdate;
class RoundSteps;
class ScreenPictures;
class SetCatalogue;
class ServerLinks;
class SettingsStore;
class SignIn;
class SoundQueue;
class WavePlayer;
struct Announcement;
struct CoreParts;
struct GameStart;
struct LoginReply;
struct WinnersReply;

struct CoreConfig {
    QString folder;            // the program folder; every relative path resolves here
    QString installedFolder;   // an installed copy's read-only files under it (none: empty)
    QString languageFolder;    // where the language file is read (the folder current at launch)
    QString language = QStringLiteral("English");
    QString defaultWebHost = QStringLiteral(VEXO_DEFAULT_WEB_HOST);
    QString defaultGameHost = QStringLiteral(VEXO_DEFAULT_GAME_HOST);
    QString defaultWebSite = QStringLiteral(VEXO_DEFAULT_WEB_SITE);
    QString downloadSite = QStringLiteral(VEXO_DEFAULT_DOWNLOAD_SITE);
    LinkPorts ports;   // the game server's three ports
    // The date and time for the play limits' days and waits (none: the system's clock).
    std::function<QDateTime()> wallClock;
};

class GameCore : public QObject {
    Q_OBJECT
public:
    // Game milliseconds the game server has to answer the sign-in once it took it.
    static constexpr int kLoginDeadlineMs = 30000;

    GameCore(const CoreConfig& config, const Views& views, GameClock* clock, WavePlayer* player,
             QObject* parent = nullptr);
    ~GameCore() override;

    // Start-up of the main window: language, settings, cards, look.
    void FormCreate();

    // What the player does here; the parts take the rest of the player's commands.
    void ConnecttoGame1Click();
    void ShowLastWinners(const QString& gameNumber);
    void AlertButton1Click();
    SignIn& signIn();
    CardShop& shop();
    // What happens in the player's games, for the parts that listen beside the game.
    PlayEvents& events();
    PlayLimits& limits();
    // The reality check's "Leave the game": leaves as Quit does, once a game under way or
    // bought into has ended; at once when there is none.
    void LeaveAfterGame();
    PlayTable& table();
    SoundQueue& sounds();
    SetCatalogue& catalogue(SetKind kind);
    ChatSession& chat();
    ScreenPictures& pictures();
    const Fetcher& fetcher() const;
    ProgramUpdate& update();

    // What time and the server do.
    void Timer1Timer();
    void FinishBallAnimation();
    void ServerLineReceived(Link link, const QByteArray& line);

    // What the windows draw from and tests read.
    const CardRack& rack() const;
    const CallBoard& board() const;
    const GameRound& round() const;
    const ServerLinks& links() const;
    const SettingsStore& settings() const;
    const SignIn& signIn() const;
    const ProgramFolder& folder() const;

private:
    void Connect();
    void SendPendingRequest();

    // Every server line, as an event.
    void DispatchServerLine(const ServerEvent& event);
    void Handle(const Announcement& a);
    void Handle(const GameStart& g);
    void Handle(const LoginReply& r);
    void Handle(const WinnersReply& w);
    bool LoginAccepted(const LoginReply& r);
    bool CardsFromAnotherGame(const QByteArray& gameNumber);
    void ShowPattern(const QByteArray& descriptor);

    CoreConfig config_;
    Views views_;
    GameClock* clock_;
    std::unique_ptr<CoreParts> parts_;
    std::unique_ptr<RoundSteps> steps_;
    QTimer loginDeadline_;

    QString languageCode_ = QStringLiteral("en");
    QString winnersGameNumber_ = QStringLiteral("000000");
};
