#pragma once
// The game core: wires the owned parts (links, round, cards, board, sounds, sets,
// settings, pictures) and runs the steps of a session, from the web login through
// the sales, the draw and the winners to the next sign-in. Headless: it reaches the
// screen only through MainView, time through GameClock and sound through WavePlayer.
#include "calls/callboard.h"
#include "calls/setcatalogue.h"
#include "calls/soundqueue.h"
#include "cards/cardrack.h"
#include "cards/playtable.h"
#include "components/net/httpclient.h"
#include "rules/patterns.h"
#include "session/gameround.h"
#include "session/serverevents.h"
#include "session/serverlinks.h"
#include "shell/directory.h"
#include "shell/gameclock.h"
#include "shell/language.h"
#include "shell/programfolder.h"
#include "shell/screenpictures.h"
#include "shell/settingsstore.h"
#include "shell/viewport.h"

#include <QObject>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>

struct CoreConfig {
    QString folder;            // the program folder; every relative path resolves here
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
    static constexpr const char* kVersionNumber = "466";
    static constexpr const char* kProgramTag = "QZWIN466";
    static constexpr const char* kLoginScript = "/vexobingo/vxplay466.asp";

    GameCore(const CoreConfig& config, MainView* view, GameClock* clock, WavePlayer* player, QObject* parent = nullptr);
    ~GameCore() override;

    // Start-up of the main window: language, settings, cards, look.
    void FormCreate();

    // What the player does.
    void ConnecttoGame1Click();
    void LoginButton1Click(const QString& playerId, const QString& password, const QString& webHost, bool remember);
    void LoginButton2Click();
    void chooseFaces(int faces);   // the 1..4 face buttons: ask the server for a card
    void Button3Click();           // buy the card shown
    void ShowLastWinners(const QString& gameNumber);
    void AlertButton1Click() { links_.AlertButton1Click(); }
    void TurnSoundOn();
    void TurnSoundOff();
    void ShowNewsWindow();
    // The alias confirmation's "change": the alias page opens and the program ends.
    void AliasOkClick();
    void setNewsHook(std::function<void()> hook) { newsHook_ = std::move(hook); }
    PlayTable& table() { return table_; }
    SetCatalogue& catalogue(SetKind kind) { return *catalogues_[size_t(kind)]; }
    ScreenPictures& pictures() { return pictures_; }

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
    const ServiceDirectory& directory() const { return directory_; }
    const ProgramFolder& folder() const { return folder_; }
    const PatternState& pattern() const { return pattern_; }
    const PlayTable& table() const { return table_; }
    QString languageText(int id) const { return language_.text(id); }
    const QString& defaultWebHost() const { return config_.defaultWebHost; }
    bool timerRunning() const { return timer1_.isActive(); }

private:
    // Web login and the game server's login.
    void WebLogin(const QString& playerId, const QString& password, const QString& webHost);
    void OnWebLoginReply(HttpClient::Outcome outcome, const QString& playerId, const QString& password);
    void ShowLoginDialog();
    void Connect();
    void OpenRequest(Request request);
    void SendPendingRequest();
    void RequestStarterCards();

    // Every server line, as an event.
    void DispatchServerLine(const ServerEvent& event);
    void Handle(const Announcement& a);
    void Handle(const GameStart& g);
    void Handle(const GameOver&) { FinishGame(); }
    void Handle(const BingoCalled&) { AnnounceBingo(); }
    void Handle(const LoginReply& r);
    void Handle(const CardReply& r);
    void Handle(const StarterCards& s);
    void Handle(const PurchaseReply& r);
    void Handle(const WinnersReply& w);
    bool LoginAccepted(const LoginReply& r);
    void ShowRefusalText(const QByteArray& line, const char* firstPrefix, int firstId);
    void FillJackpotTable(const QByteArray& text);
    bool CardsFromAnotherGame(const QByteArray& gameNumber);

    // The game's steps.
    void CountdownSecond();
    void SessionStep();
    void CallStep();
    void StartGame();
    void AnnounceBingo();
    void FinishGame() { EndGame(false); }
    void AbortGame() { EndGame(true); }
    void EndGame(bool aborted);
    void LeaveGame();
    void CLEARALL();
    void PrepareNextGame();
    void OnCallShown(const QString& voice);
    void ShowGame(const QByteArray& pattern, const QByteArray& players);

    CoreConfig config_;
    MainView* view_;
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
    std::array<std::unique_ptr<SetCatalogue>, 3> catalogues_;
    ServiceDirectory directory_;
    HttpClient loginHttp_;
    QTimer timer1_;
    std::function<void()> newsHook_;

    QString languageCode_ = QStringLiteral("en");
    bool directoryRead_ = false;
    bool firstLogin_ = true;
    bool shoutDue_ = false;
    QString loginKey_;
    QString balance_;
    QString bingoImage_ = QStringLiteral("bingo.gif");
    std::array<QString, 77> jackpotTable_;
    QString winnersGameNumber_ = QStringLiteral("000000");
};
