#include "session/gamecore.h"

#include "components/net/filenames.h"

#include <QDir>
#include <QFile>

GameCore::GameCore(const CoreConfig& config, MainView* view, GameClock* clock, WavePlayer* player, QObject* parent)
    : QObject(parent), Config(config), View(view), Clock(clock), Player(player)
{
    CallString = QByteArray(81, '0');
    RequestLink = new LineSocket(this);
    GameFeed = new LineSocket(this);
    SalesFeed = new LineSocket(this);
    GameFeed->setConnectTimeout(15);
    SalesFeed->setConnectTimeout(15);
    connect(RequestLink, &LineSocket::connected, this, &GameCore::BasicClientSocket1Connect);
    connect(GameFeed, &LineSocket::connected, this, &GameCore::BasicClientSocket3Connect);
    connect(SalesFeed, &LineSocket::connected, this, &GameCore::BasicClientSocket4Connect);
    connect(RequestLink, &LineSocket::lineReceived, this, &GameCore::RequestLinkLine);
    connect(GameFeed, &LineSocket::lineReceived, this, &GameCore::GameFeedLine);
    connect(SalesFeed, &LineSocket::lineReceived, this, &GameCore::SalesFeedLine);
    for (int link : {1, 3, 4}) {
        RetryTimer[link].setSingleShot(true);
        connect(&RetryTimer[link], &QTimer::timeout, this, [this, link] { OpenServerLink(link); });
    }

    Timer1.setInterval(Clock->realMs(1000));
    connect(&Timer1, &QTimer::timeout, this, &GameCore::Timer1Timer);
    balltimer.setInterval(Clock->realMs(2500));
    balltimer.setSingleShot(true);
    connect(&balltimer, &QTimer::timeout, this, &GameCore::FinishBallAnimation);

    if (Player)
        connect(Player, &WavePlayer::notify, this, &GameCore::OnPlayerNotify);
    LoginHttp = new HttpClient(this);
    GameServerHost = Config.defaultGameHost;
    Directory.WebBaseUrl = Config.defaultWebSite;
}

GameCore::~GameCore() = default;

QString GameCore::path(const QString& relative) const
{
    return ResolveFileCaseInsensitive(Config.folder, relative);
}

bool GameCore::fileExists(const QString& relative) const
{
    return !relative.isEmpty() && QFileInfo::exists(path(relative)) && QFileInfo(path(relative)).isFile();
}

void GameCore::FormCreate()
{
    // Language first: read from the folder that was current at launch, and from the
    // program's folder when it is not there (a player may start us from anywhere).
    const QString languageFile = Config.language + QStringLiteral(".txt");
    const QString langDir = Config.languageFolder.isEmpty() ? Config.folder : Config.languageFolder;
    if (!Language.load(ResolveFileCaseInsensitive(langDir, languageFile)))
        Language.load(ResolveFileCaseInsensitive(Config.folder, languageFile));
    ApplyLanguage();

    BingoImageName = QStringLiteral("bingo.gif");
    CardsInUse = 6;
    Caption = QStringLiteral("VexoBingo v4.66");
    View->setText(QStringLiteral("TForm1"), Caption);
    for (auto& room : Directory.Rooms)
        room = ChatRoom{};
    View->setGeometry(QStringLiteral("TForm1"), 0, 0, 640, 525);

    Settings.UserName.clear();
    Settings.Password.clear();
    Settings.WebHost = Config.defaultWebHost;
    GameServerHost = Config.defaultGameHost;
    View->moveControl(QStringLiteral("TForm1"), 1, 1);

    LoadSettings();

    View->setVisible(QStringLiteral("tbimage"), false);
    View->setVisible(QStringLiteral("tbtext"), false);
    View->setVisible(QStringLiteral("button4"), false);
    CreateCards();
    CLEARALL();

    // Leftover set installers of earlier downloads.
    for (int n = 1; n <= 20; ++n)
        for (const char* key : {"bset", "cset", "aset"})
            QFile::remove(QDir(Config.folder).filePath(QString::fromLatin1(key) + QString::number(n) + QStringLiteral(".exe")));

    View->setText(QStringLiteral("lplayers"), QString());
    View->setVisible(QStringLiteral("adspace1"), true);
    LoadPicture(QStringLiteral("adspace1"), QStringLiteral("logo.gif"));
    View->setText(QStringLiteral("status"), LanguageText(1300));

    Large1Click();

    HideCards();
    View->setVisible(QStringLiteral("Panel18"), false);
    View->setVisible(QStringLiteral("GridPanel1"), false);

    Directory.LogoImage = QStringLiteral("logo.gif");
    Directory.AdSpace2Image = QStringLiteral("logo.gif");
    Directory.WinnersImage = QStringLiteral("winnerbox.gif");
    Directory.WebBaseUrl = Config.defaultWebSite;
    BallSoundName = QStringLiteral("welcome");

    PlayVoice(QStringLiteral("welcome"));

    View->setVisible(QStringLiteral("Image10"), false);
    View->setVisible(QStringLiteral("Image10a"), true);
    View->setVisible(QStringLiteral("Ani2Panel"), false);
    View->setVisible(QStringLiteral("ballpanel"), false);

    CardsReady = true;
    SetDaubColour(kBlue);
    if (Settings.AutoDaub == QLatin1String("TRUE"))
        SetAutoDaub(kAqua);
    else
        View->setChecked(QStringLiteral("Autodauber"), false);

    ChooseSkin(12);
}

void GameCore::ApplyLanguage()
{
    LanguageCode = QStringLiteral("en");
    LanguageCode = LanguageText(10);
    struct IdControl { int id; const char* control; };
    static const IdControl captions[] = {
        {100, "TForm1"}, {101, "Label1"}, {102, "Label6"}, {103, "s1text"}, {104, "tbtext"}, {105, "tbimage"},
        {106, "button4"}, {108, "Panel9"}, {109, "Panel4"}, {110, "Panel17"}, {111, "Panel19"}, {112, "Panel20"},
        {113, "Panel22"}, {114, "Panel23"}, {115, "Panel24"}, {116, "Panel25"}, {117, "Panel21"}, {118, "ChatQuit"},
        {119, "pllls"}, {120, "calllabel"}, {121, "label4"}, {122, "Label7"}, {123, "status"}, {124, "Connect1"},
        {126, "MarkerColor1"}, {127, "Fonts1"}, {128, "Sound1"}, {129, "CHATROOM1"}, {130, "Skins1"}, {131, "About1"},
        {132, "ConnecttoGame1"}, {133, "Quit1"}, {138, "Autodauber"}, {139, "Shape6"}, {140, "BingoMarker1"},
        {141, "Small1"}, {142, "Large1"}, {143, "TurnSoundON1"}, {144, "OFF1"}, {145, "GetNewSounds1"},
        {146, "GetFunBingos1"}, {147, "Get1"}, {149, "logo1"}, {150, "si1"}, {151, "Woody1"}, {152, "Blue1"},
        {153, "Green1"}, {154, "Classic1"}, {155, "Neon1"}, {156, "Stucco1"}, {157, "Linen1"}, {158, "Pinky1"},
        {159, "Walls1"}, {160, "Water1"}, {161, "PopUpNews1"}, {162, "ShowLastGamesWinners1"}, {163, "OnlineHelp1"},
        {164, "NewoftheDay1"}, {165, "UPDATE1"}, {166, "UpdateAllFiles1"}, {167, "OpenaTroubleTicket1"},
        {168, "About2"}, {169, "Label3"}, {170, "Label2"},
    };
    for (const auto& c : captions)
        View->setText(QLatin1String(c.control), LanguageText(c.id));
    static const IdControl hints[] = {
        {1200, "dpresent"}, {1201, "adpresent"}, {1203, "Panel9"}, {1204, "Panel4"}, {1205, "mtext"},
        {1206, "Panel17"}, {1207, "Panel19"}, {1208, "Panel20"}, {1211, "Panel24"}, {1212, "Panel25"},
        {1214, "ChatQuit"}, {1215, "Panel22"}, {1216, "LeftCard"}, {1217, "RightCard"}, {1218, "anigrid1"},
        {1219, "anigrid2"}, {1220, "Panel23"},
    };
    for (const auto& h : hints)
        View->setHint(QLatin1String(h.control), LanguageText(h.id));
    View->setHint(QStringLiteral("Panel21"), QStringLiteral("BINGO!!!"));

    // The other windows take their texts from their own ranges.
    static const IdControl windows[] = {
        {200, "Tlogindialog"}, {201, "Tlogindialog.Label4"}, {202, "Tlogindialog.Label3"}, {203, "Tlogindialog.Label1"},
        {204, "Tlogindialog.Label2"}, {205, "Tlogindialog.Button1"}, {206, "Tlogindialog.Button2"},
        {300, "TAliasConfirm"}, {301, "TAliasConfirm.Label1"}, {302, "TAliasConfirm.Label3"},
        {303, "TAliasConfirm.OKBtn"}, {304, "TAliasConfirm.CancelBtn"},
        {400, "Tgetaset"}, {401, "Tgetaset.Label1"}, {402, "Tgetaset.Label2"}, {403, "Tgetaset.Button1"},
        {500, "Tgetbings"}, {501, "Tgetbings.Label1"}, {502, "Tgetbings.Label2"}, {503, "Tgetbings.Button1"},
        {600, "Tgetcset"}, {601, "Tgetcset.Label1"}, {602, "Tgetcset.Label2"}, {603, "Tgetcset.Button1"},
        {700, "Tgifdownload.Label1"}, {800, "TForm2"}, {900, "Twinners"},
        {1000, "Tmarketdialog"}, {1001, "Tmarketdialog.ThankT"}, {1002, "Tmarketdialog.Label1"},
        {1003, "Tmarketdialog.Label2"}, {1004, "Tmarketdialog.Label3"},
        {1100, "TForm3"}, {1101, "TForm3.Label1"}, {1102, "TForm3.Label2"}, {1103, "TForm3.Label3"},
        {1104, "TForm3.Label4"}, {1105, "TForm3.Label5"}, {1106, "TForm3.Label6"}, {1107, "TForm3.Label7"},
        {1108, "TForm3.Label8"}, {1109, "TForm3.Label9"}, {1110, "TForm3.Button1"},
    };
    for (const auto& w : windows)
        View->setText(QLatin1String(w.control), LanguageText(w.id));
}

void GameCore::LoadSettings()
{
    QString prefix;
    if (::LoadSettings(path(QStringLiteral("defaults.cfg")), Settings, &prefix)) {
        Caption = prefix + QStringLiteral(" v") + QLatin1String(kVersionNumber);
        View->setText(QStringLiteral("TForm1"), Caption);
    }
}

void GameCore::SaveSettings()
{
    QString error;
    if (!::SaveSettings(path(QStringLiteral("defaults.cfg")), Settings, &error))
        View->setText(QStringLiteral("status"), QStringLiteral("Settings not saved: ") + error);
}
