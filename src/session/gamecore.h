#pragma once
// The game core: everything the main window owns in the game — the server links,
// the session state and its clock, the ten cards, the board, the sound queue, the
// settings and the service directory. Headless: it reaches the screen only through
// MainView, time through GameClock and sound through WavePlayer.
#include "calls/catalogue.h"
#include "calls/waveplayer.h"
#include "rules/bingocard.h"
#include "rules/patterns.h"
#include "components/net/httpclient.h"
#include "components/net/linesocket.h"
#include "shell/directory.h"
#include "shell/gameclock.h"
#include "shell/language.h"
#include "shell/settings.h"
#include "shell/viewport.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <functional>

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
    GameCore(const CoreConfig& config, MainView* view, GameClock* clock, WavePlayer* player, QObject* parent = nullptr);
    ~GameCore() override;

    // ---- constants of the program
    static constexpr const char* kVersionNumber = "466";
    static constexpr const char* kProgramTag = "QZWIN466";
    static constexpr const char* kLoginScript = "/vexobingo/vxplay466.asp";

    // ---- start-up and settings (shell)
    void FormCreate();
    void ApplyLanguage();
    void LoadSettings();
    void SaveSettings();
    QString LanguageText(int id) const { return Language.text(id); }
    QString path(const QString& relative) const;   // program-folder file, letter case ignored
    bool fileExists(const QString& relative) const;

    // ---- web login and service directory
    void ConnecttoGame1Click();
    void LoginFormShow();                          // fills the dialog's boxes
    void LoginButton1Click(const QString& playerId, const QString& password, const QString& webHost, bool remember);
    void LoginButton2Click();
    void WebLogin(const QString& playerId, const QString& password, const QString& webHost);
    void OnWebLoginReply(HttpClient::Outcome outcome, const QByteArray& reply, const QString& playerId, const QString& password);

    // ---- links and framing
    void OpenServerLink(int link);
    void CloseServerLink(int link);
    void BasicClientSocket1Connect(int errorCode);
    void BasicClientSocket3Connect(int errorCode);
    void BasicClientSocket4Connect(int errorCode);
    void RequestLinkLine(const QByteArray& line);
    void GameFeedLine(const QByteArray& line);
    void SalesFeedLine(const QByteArray& line);
    void AlertButton1Click();

    // ---- login handshake
    void Connect();
    void RequestStarterCards();
    QByteArray LoginLine();
    QByteArray PurchaseLine();

    // ---- dispatcher
    void DispatchServerLine(int eventCode, const QByteArray& line);
    bool CheckGameNumber(const QString& number) const;
    void ShowLastWinners(const QString& number);
    void FillJackpotTable(const QByteArray& text);

    // ---- purchase and claim
    void S1ImageClick() { FaceCountClick(7); }
    void Button6Click() { FaceCountClick(8); }
    void Button8Click() { FaceCountClick(9); }
    void Button9Click() { FaceCountClick(1); }
    void Button3Click();
    void Button4Click();
    void Button4MouseUp();
    void EnableCardButtons();
    void DisableCardButtons();

    // ---- game clock and phases
    void Timer1Timer();
    void SessionStep();
    void CallStep();
    void StartGame();
    void AnnounceBingo();
    void FinishGame();
    void AbortGame();
    void LeaveGame();
    void PrepareNextGame();

    // ---- board and ball
    void ShowCall(char code);
    bool StartBallAnimation(int number);
    void FinishBallAnimation();
    void RefreshRecentCalls();
    QString CallText(int number);
    void MarkCalledNumber(int number);
    void RedrawBoard();
    void ResetCallDisplays();

    // ---- cards, panel and daubing
    static QString CardControl(int card) { return QStringLiteral("Card") + QString::number(card); }
    void CreateCards();
    void iset1Click();
    void LeftCardClick();
    void RightCardClick();
    void ShowCardControls();
    void CLEARALL();
    void SetCalledInCards(int column, int position, int value);
    void ShowSelectedCard(const QByteArray& numbers, int faceCount, const QString& selectionCode);
    void RefreshBoughtCard(const QByteArray& numbers, const QString& selectionCode);
    void EnterCard(const QString& cardId);
    int CountWinningFaces();
    void Refresh1Click();
    void FaceMouseDown(int card, int face, int x, int y);
    void SetDaubColour(Colour colour);
    void SetAutoDaub(Colour colour);
    void AutodauberClick();
    void dpresentMouseDown();
    void adpresentMouseDown();
    void BingoMarker1Click();
    void Shape6Click();
    void Small1Click();
    void Large1Click();

    // ---- layout and skins
    void LayoutMainWindow();
    void FormResize();
    void ApplySkin(const QString& frame, const QString& background, Colour buttonColour, const QString& arrow);
    void ChooseSkin(int row);   // 0..11 as the Skins menu lists them, 12 = the start-up look
    static int SkinCount() { return 13; }

    // ---- sound
    void PlayVoice(const QString& name);
    void PlayFile(const QString& fileName);
    void PlayIfPresent(const QString& fileName);
    void PlayBingoShout();
    void EnsureSilentSound(const QString& fileName);
    void OnPlayerNotify();
    void TurnSoundOn();
    void TurnSoundOff();

    // ---- content-set catalogues: kind 0 = caller voices ("Tgetcset"), 1 = fun-bingo
    // shouts ("Tgetbings"), 2 = announcers ("Tgetaset")
    void GetNewSounds1Click();
    void GetFunBingos1Click();
    void Get1Click();
    void RequestCatalogue(int kind);
    void ChooseSet(int kind, int selectedIndex);   // the list's double-click; -1 = nothing selected
    void CatalogueCloseClick(int kind);
    void OnCatalogueReply(int kind);               // the catalogue list arrived (state 1)
    void FillCatalogue(int kind, const QByteArray& reply);   // fills the list from a reply
    void InstallDownloadedSet(int kind);           // the installer arrived (state 2)
    void CatalogueFinished(int kind, HttpClient::Outcome outcome);
    void CatalogueProgress(int kind, qint64 received, qint64 total);
    void SetCallerSet(const QString& prefix);
    void SetFunBingoSet(const QString& prefix, const QString& countText);
    HttpClient* CatalogueHttp(int kind);           // the window's client, made on first use
    void CloseCatalogueWindow(int kind);

    // ---- pictures and fetches (the fetcher fills these seams)
    void FetchFile(const QString& name, int kind);
    std::function<void(const QString&, int)> fetchHook;   // set by the fetcher when it exists
    void ShowAdSpace1(const QString& name);
    void ShowAdSpace2(const QString& name);
    void ShowWinnersBackdrop(const QString& name);
    void LoadBingoPicture(const QString& name);
    void ShowBingoPicture(const QString& name);
    void ShowPatternPicture(const QString& name);
    bool LoadPicture(const QString& control, const QString& file);
    void ShowNewsWindow();
    std::function<void()> newsHook;   // set by the news window when it can fetch

    // ---- state (design names; public so the windows draw from it and tests read it)
    CoreConfig Config;
    MainView* View;
    GameClock* Clock;
    WavePlayer* Player;

    LanguageTable Language;
    QString LanguageCode = QStringLiteral("en");
    ClientSettings Settings;
    QString Caption = QStringLiteral("VexoBingo v4.66");
    ServiceDirectory Directory;
    int DirectoryRead = 0;
    QString GameServerHost;

    // links
    int PendingRequest = 0;
    int RequestBusy = 0;
    int ConnectAttempts = 0;
    int FeedSilence = 0;
    int GameFeedReopen = 0;
    int SalesFeedReopen = 0;
    LineSocket* RequestLink = nullptr;
    LineSocket* GameFeed = nullptr;
    LineSocket* SalesFeed = nullptr;
    bool AlertShown = false;
    QTimer RetryTimer[5];

    // session
    QString LoginKey;
    int FirstLogin = 1;
    QString GameNumber = QStringLiteral("000000");
    QString JackpotText;
    QString PlayerCount;
    QString Balance;
    int SecondsToStart = 0;
    int WinningCall = 75;
    int FinalCall = 0;
    QByteArray CallString;      // 81 codes, index 0..80
    int DrawLength = 0;         // codes the game's draw carried (at most 80)
    QByteArray RecentCalls = QByteArray(5, ' ');
    QString BingoImageName = QStringLiteral("bingo.gif");
    std::array<QString, 77> JackpotTable;
    int WaitingForSales = 0;
    int GameInfoReady = 0;
    int SalesOpen = 0;
    int FirstNotice = 0;
    int BuyingOpen = 0;
    int SelectionOpen = 0;
    int GameRunning = 0;
    int CardsBought = 0;
    int CardsEntered = 0;
    QString WinnersGameNumber = QStringLiteral("000000");

    // clock
    QTimer Timer1;
    QTimer balltimer;
    int StepCountdown = 9;
    int CallSpacing = 9;
    int CallsRunning = 0;
    int BingoShoutDue = 0;
    int ResumePending = 0;
    qint64 ResumeTime = 0;
    int CallCount = 0;

    // board and ball
    int LastBallNumber = 99;
    QString BallSoundName = QStringLiteral("welcome");
    int BoardCellPitch = 17;
    int NumbersPerRow = 15;
    int BoardTextSize = 9;

    // cards
    std::array<BingoCard, 11> Cards;   // 1..10
    int CurrentCard = 1;
    int CardsInUse = 6;
    bool CardsReady = false;
    PatternState Pattern;
    int WinningFaces = 0;
    bool DauberCursor = false;
    // While the recent strip is rebuilt its five numbers are marked once each; the
    // cards re-derive their marks once at the end instead of after every number
    // (marking the same called table again changes nothing).
    bool DeferMarks = false;

    // content-set catalogue windows (0 caller, 1 fun-bingo, 2 announcer)
    std::array<CatalogueState, 3> Catalogues;

    // sound
    bool SoundMuted = false;
    QStringList SoundQueue;

    // skins
    Colour ButtonColour = RGB(0, 128, 128);

signals:
    void stateChanged();

private:
    void FaceCountClick(int kind);
    void LinkConnected(int link, int errorCode);
    void ScheduleReconnect(int link);
    LineSocket* linkSocket(int link) const;
    quint16 linkPort(int link) const;
    void HandleLoginReply(const QByteArray& line);
    bool LoginAccepted(const QByteArray& line);
    void HandleStarterCards(const QByteArray& line);
    void ShowRefusalText(const QByteArray& line, const char* firstPrefix, int firstId);
    void HandleCardReply(const QByteArray& line);
    void HandlePurchaseReply(const QByteArray& line);
    void HandleWinnersReply(const QByteArray& line);
    void HandleAnnouncement(const QByteArray& line);
    void HandleGameStart(int eventCode, const QByteArray& line);
    void HideBuyControls();
    void HideCards();
    void ShowGridGif();
    bool StartPlayer(const QString& file);
    void SoundFailed(const QString& message);
    void PlayPath(const QString& path);
    void EndGame(bool aborted);

    HttpClient* LoginHttp = nullptr;
};
