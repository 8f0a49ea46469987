#pragma once
// The game core: wires the owned parts (links, round, cards, board, sounds, sets,
// settings, pictures, chat) and runs the steps of a session, from the web login through
// the sales, the draw and the winners to the next sign-in. Headless: it reaches the
// screen only through its views, time through GameClock and sound through WavePlayer.
#include "calls/callboard.h"
#include "calls/setcatalogue.h"
#include "calls/soundqueue.h"
#include "cards/cardrack.h"
#include "cards/cardshop.h"
#include "cards/playtable.h"
#include "chat/chatsession.h"
#include "rules/patterns.h"
#include "session/gameround.h"
#include "session/serverevents.h"
#include "session/serverlinks.h"
#include "session/signin.h"
#include "shell/fetcher.h"
#include "shell/gameclock.h"
#include "shell/language.h"
#include "shell/newswindow.h"
#include "shell/programfolder.h"
#include "shell/programupdate.h"
#include "shell/screenpictures.h"
#include "shell/settingsstore.h"
#include "views/views.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

struct CoreConfig {
    QString folder;            // the program folder; every relative path resolves here
    QString installedFolder;   // an installed copy's read-only files under it (none: empty)
    QString languageFolder;    // where the language file is read (the folder current at launch)
    QString language = QStringLiteral("English");
    QString defaultWebHost = QStringLiteral(VEXO_DEFAULT_WEB_HOST);
    QString defaultGameHost = QStringLiteral(VEXO_DEFAULT_GAME_HOST);
    QString defaultWebSite = QStringLiteral(VEXO_DEFAULT_WEB_SITE);
    QString downloadSite = QStringLiteral(VEXO_DEFAULT_DOWNLOAD_SITE);
    quint16 requestPort = 1000;
    quint16 gameFeedPort = 6000;
    quint16 salesFeedPort = 9990;
};

class GameCore : public QObject {
    Q_OBJECT
public:
    // Game milliseconds the game server has to answer the sign-in once it took it.
    static constexpr int kLoginDeadlineMs = 30000;

    GameCore(const CoreConfig& config, const Views& views, GameClock* clock, WavePlayer* player, QObject* parent = nullptr);
    ~GameCore() override;

    // Start-up of the main window: language, settings, cards, look.
    void FormCreate();

    // What the player does here; the parts take the rest of the player's commands.
    void ConnecttoGame1Click();
    void ShowLastWinners(const QString& gameNumber);
    void AlertButton1Click() { links_.AlertButton1Click(); }
    SignIn& signIn() { return signIn_; }
    CardShop& shop() { return shop_; }
    PlayTable& table() { return table_; }
    SoundQueue& sounds() { return sounds_; }
    SetCatalogue& catalogue(SetKind kind) { return *catalogues_[size_t(kind)]; }
    ChatSession& chat() { return chat_; }
    ScreenPictures& pictures() { return pictures_; }
    const Fetcher& fetcher() const { return fetcher_; }
    ProgramUpdate& update() { return update_; }

    // What time and the server do.
    void Timer1Timer();
    void FinishBallAnimation() { board_.FinishBallAnimation(); }
    void ServerLineReceived(Link link, const QByteArray& line);

    // What the windows draw from and tests read.
    const CardRack& rack() const { return rack_; }
    const CallBoard& board() const { return board_; }
    const GameRound& round() const { return round_; }
    const ServerLinks& links() const { return links_; }
    const SettingsStore& settings() const { return settings_; }
    const SignIn& signIn() const { return signIn_; }
    const ProgramFolder& folder() const { return folder_; }

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

    // The game's steps.
    void CountdownSecond();
    void SessionStep();
    void CallStep();
    void StartGame();
    void AnnounceBingo();
    void EndGame(bool aborted);
    void LeaveGame();
    void CLEARALL();
    void PrepareNextGame();
    void OnCallShown(const QString& voice);
    void FileFetched(const Fetcher::Done& done);

    CoreConfig config_;
    Views views_;
    GameClock* clock_;
    ProgramFolder folder_;
    LanguageTable language_;
    SettingsStore settings_;
    ScreenPictures pictures_;
    SoundQueue sounds_;
    ServerLinks links_;
    GameRound round_;
    CardRack rack_;
    CallBoard board_;
    PatternState pattern_;
    PlayTable table_;
    CardShop shop_;
    SignIn signIn_;
    ChatSession chat_;
    Fetcher fetcher_;
    ProgramUpdate update_;
    NewsWindow news_;
    std::array<std::unique_ptr<SetCatalogue>, 3> catalogues_;
    QTimer timer1_;
    QTimer loginDeadline_;

    QString languageCode_ = QStringLiteral("en");
    bool shoutDue_ = false;
    QByteArray bingoImage_ = "bingo.gif";
    PrizeTable prizes_;
    QString winnersGameNumber_ = QStringLiteral("000000");
};
