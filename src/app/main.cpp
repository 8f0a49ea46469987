// The Vexo Bingo client: makes the windows in their fixed order around the game core
// and runs the event loop.
#include "components/media/mediawaveplayer.h"
#include "components/media/pictures.h"
#include "session/gamecore.h"
#include "windows/dialogs.h"
#include "windows/mainwindow.h"
#include "windows/viewhub.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <QFile>
#include <cstdio>
#include <ctime>
#include <memory>
#include <sys/resource.h>
#include <unistd.h>

namespace {
bool ParsePorts(const QString& text, CoreConfig* config)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 3)
        return false;
    quint16 ports[3];
    for (int k = 0; k < 3; ++k) {
        bool ok = false;
        const uint v = parts[k].trimmed().toUInt(&ok);
        if (!ok || v == 0 || v > 65535)
            return false;
        ports[k] = quint16(v);
    }
    config->requestPort = ports[0];
    config->gameFeedPort = ports[1];
    config->salesFeedPort = ports[2];
    return true;
}

// Whether files can be made in folder (asked of the system, as permission bits do not tell
// the whole story).
bool FolderIsWritable(const QString& folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

void Say(const char* text)
{
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// Screenshot aid: buys the first `count` cards as soon as sales open, by the same
// commands the player's buttons give, and reports the game's phases on stdout.
class ScreenTest : public QObject {
public:
    ScreenTest(GameCore* core, ViewHub* hub, int count) : core_(core), hub_(hub), count_(count)
    {
        // The whole screen, so the in-game layout has room for its cards.
        if (QWidget* form = hub_->window(QStringLiteral("TForm1")))
            form->resize(1024, 768 - 2);
        connect(&timer_, &QTimer::timeout, this, [this] { step(); });
        timer_.start(100);
    }

private:
    void phase(int p, const char* text)
    {
        if (phase_ >= p)
            return;
        phase_ = p;
        Say(text);
    }

    void step()
    {
        GameCore& c = *core_;
        // Pop-ups would hide the main window on a screen without a window manager.
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible() && (qobject_cast<QMessageBox*>(w) || w->objectName() == QLatin1String("TForm2")
                                   || w->objectName() == QLatin1String("TAliasConfirm")))
                w->hide();
        if (c.round().phase() == Phase::SalesOpen && c.round().secondsToStart() >= 60 && hub_->isVisible(QStringLiteral("Panel18")))
            phase(1, "screen-test: sales");
        if (phase_ >= 1 && phase_ < 3)
            ++salesSteps_;
        if (c.round().running() && c.round().callCount() >= 3)
            phase(3, "screen-test: game");
        if (c.round().running() && hub_->isVisible(QStringLiteral("BingoGIF")))
            phase(4, "screen-test: bingo");
        if (phase_ >= 4 && !c.round().running())
            phase(5, "screen-test: over");
        buy();
    }

    void buy()
    {
        GameCore& c = *core_;
        if (!c.round().buyingOpen() || c.links().busy() || salesSteps_ < 25)
            return;
        if (next_ > count_ || next_ > CardRack::kInUse) {
            if (c.rack().currentCard() > 1 && !c.round().running())
                c.table().LeftCardClick();   // back to the first card for the picture
            return;
        }
        if (c.rack().currentCard() < next_) {
            c.table().RightCardClick();
            return;
        }
        const BingoCard& card = c.rack().card(c.rack().currentCard());
        if (card.Entered) {
            if (++next_ > count_)
                phase(2, "screen-test: bought");
            return;
        }
        if (!card.Loaded && c.round().selectionOpen())
            c.shop().chooseFaces(4);
        else if (card.Loaded)
            c.shop().Button3Click();
    }

    GameCore* core_;
    ViewHub* hub_;
    int count_;
    int next_ = 1;
    int phase_ = 0;
    int salesSteps_ = 0;
    QTimer timer_;
};
}

// Milliseconds since this process was started (from the kernel's record, so the
// loading of the program and its libraries counts too).
double MillisecondsSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20)
        return -1;
    const double startTicks = fields[19].toDouble();   // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (now.tv_sec + now.tv_nsec / 1e9) * 1000.0 - startTicks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

// Reports start-up to the first paint of the login dialog, then ends the program.
class StartupProbe : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !done_) {
            done_ = true;
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            std::printf("startup: login dialog painted after %.1f ms, peak memory %.1f MB\n", MillisecondsSinceProcessStart(),
                        usage.ru_maxrss / 1024.0);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool done_ = false;
};

int main(int argc, char** argv)
{
    EnsureRuntimeFolder();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexo Bingo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vexo Bingo"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Vexo Bingo client"));
    parser.addHelpOption();
    const QCommandLineOption portsOption(QStringLiteral("ports"),
        QStringLiteral("Game-server ports: request, game feed, sales feed (default 1000,6000,9990)."), QStringLiteral("R,G,S"));
    const QCommandLineOption webHostOption(QStringLiteral("web-host"),
        QStringLiteral("Web service host for a fresh settings file."), QStringLiteral("HOST:PORT"));
    const QCommandLineOption tickOption(QStringLiteral("tick-ms"),
        QStringLiteral("Real milliseconds per game second (default 1000)."), QStringLiteral("N"), QStringLiteral("1000"));
    const QCommandLineOption connectOption(QStringLiteral("connect"), QStringLiteral("Sign in with the saved account at start."));
    const QCommandLineOption noSoundOption(QStringLiteral("no-sound"), QStringLiteral("Play no sound."));
    const QCommandLineOption screenTestOption(QStringLiteral("screen-test"),
        QStringLiteral("Screenshot aid: buy N cards when sales open and report the phases."), QStringLiteral("N"));
    const QCommandLineOption skinOption(QStringLiteral("skin"),
        QStringLiteral("Screenshot aid: apply skin ROW (0..11) after start-up."), QStringLiteral("ROW"));
    const QCommandLineOption measureOption(QStringLiteral("measure-startup"),
        QStringLiteral("Benchmark aid: print the time to the login dialog's first paint and the peak memory, then quit."));
    const QCommandLineOption updateResultOption(QStringLiteral("update-result"),
        QStringLiteral("Show TEXT in a message box after start-up (the updater tells here what it did)."),
        QStringLiteral("TEXT"));
    parser.addOptions({portsOption, webHostOption, tickOption, connectOption, noSoundOption, screenTestOption, skinOption,
                       measureOption, updateResultOption});
    parser.process(app);

    CoreConfig config;
    config.languageFolder = QDir::currentPath();
    // An installed copy reads its files where it was installed and writes in the player's own folder.
    const QString exeFolder = QCoreApplication::applicationDirPath();
    const ProgramFolders folders = ChooseProgramFolders(
        exeFolder, FolderIsWritable(exeFolder), QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    config.folder = folders.root;
    config.installedFolder = folders.installed;
    if (!QDir().mkpath(config.folder) || !QDir::setCurrent(config.folder)) {
        std::fprintf(stderr, "vexobingo: cannot use the folder %s\n", qPrintable(config.folder));
        return 1;
    }
    if (parser.isSet(portsOption) && !ParsePorts(parser.value(portsOption), &config)) {
        std::fprintf(stderr, "vexobingo: --ports needs three port numbers, e.g. 1000,6000,9990\n");
        return 2;
    }
    if (parser.isSet(webHostOption))
        config.defaultWebHost = parser.value(webHostOption);
    bool tickOk = false;
    const int tickMs = parser.value(tickOption).toInt(&tickOk);
    if (!tickOk || tickMs < 1 || tickMs > 60000) {
        std::fprintf(stderr, "vexobingo: --tick-ms needs a number of milliseconds (1..60000)\n");
        return 2;
    }

    GameClock clock(tickMs);
    std::unique_ptr<WavePlayer> player;
    if (parser.isSet(noSoundOption))
        player = std::make_unique<NullWavePlayer>();
    else
        player = std::make_unique<MediaWavePlayer>();

    TForm1 form;
    bool cursorOk = false;
    const QCursor dauber =
        LoadCursorFile(ProgramFolder(config.folder, config.installedFolder).path(QStringLiteral("dab4.cur")), &cursorOk);
    form.setDauberCursor(dauber, cursorOk);
    ViewHub hub(&form);
    GameCore core(config, &hub, &clock, player.get());
    form.attach(&core, &hub);

    // Every window exists before the core starts; only the login dialog shows at start.
    Tlogindialog login(&core);
    hub.addWindow(QStringLiteral("Tlogindialog"), &login);
    TAboutDialog about(&form);
    hub.addWindow(QStringLiteral("TAboutDialog"), &about);
    Tmarketdialog market(&core);
    hub.addWindow(QStringLiteral("Tmarketdialog"), &market);
    TForm2 news;
    hub.addWindow(QStringLiteral("TForm2"), &news);
    TAliasConfirm alias(&core);
    hub.addWindow(QStringLiteral("TAliasConfirm"), &alias);
    Tgifdownload download;
    hub.addWindow(QStringLiteral("Tgifdownload"), &download);
    Tgetcset callers(&core);
    hub.addWindow(QStringLiteral("Tgetcset"), &callers);
    Tgetbings funBingos(&core);
    hub.addWindow(QStringLiteral("Tgetbings"), &funBingos);
    Twinners winners(&form);
    hub.addWindow(QStringLiteral("Twinners"), &winners);
    Tgetaset announcers(&core);
    hub.addWindow(QStringLiteral("Tgetaset"), &announcers);
    TForm3 alert(&core);
    hub.addWindow(QStringLiteral("TForm3"), &alert);

    StartupProbe probe;
    if (parser.isSet(measureOption))
        login.installEventFilter(&probe);
    form.show();
    core.FormCreate();
    login.move(form.geometry().center() - login.rect().center());

    bool rowOk = false;
    const int skin = parser.value(skinOption).toInt(&rowOk);
    if (parser.isSet(skinOption) && rowOk)
        core.table().ChooseSkin(skin);
    std::unique_ptr<ScreenTest> screenTest;
    if (parser.isSet(screenTestOption)) {
        hub.setSilent(true);
        screenTest = std::make_unique<ScreenTest>(&core, &hub, qBound(0, parser.value(screenTestOption).toInt(), 6));
        Say("screen-test: started");
    }
    if (parser.isSet(connectOption))
        QTimer::singleShot(0, &core, [&core] { core.ConnecttoGame1Click(); });
    if (parser.isSet(updateResultOption))
        QTimer::singleShot(0, &form, [&hub, text = parser.value(updateResultOption)] { hub.messageBox(text); });

    const int rc = app.exec();
    screenTest.reset();
    return rc;
}
