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
#include <cstring>
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

const char kVersion[] = "4.66";

// The client's options. Made twice at most: before the windows to answer --help and --version
// without a display, and with the application for everything else.
struct CommandLine {
    CommandLine()
    {
        parser.setApplicationDescription(QStringLiteral(
            "Vexo Bingo, the player's program of an online 75-ball bingo hall.\n\n"
            "The program reads its files from its own folder. When that folder is not writable (a copy\n"
            "installed for everyone), settings and downloads go to $XDG_DATA_HOME/vexobingo\n"
            "(~/.local/share/vexobingo) and files found there are used before the installed ones."));
        parser.addOptions({help, version, ports, webHost, tick, connect, noSound, screenTest, skin, measure,
                           updateResult});
    }

    QCommandLineParser parser;
    const QCommandLineOption help{{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit.")};
    const QCommandLineOption version{{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit.")};
    const QCommandLineOption ports{QStringLiteral("ports"),
        QStringLiteral("Game-server ports: request, game feed, sales feed (default 1000,6000,9990)."),
        QStringLiteral("R,G,S")};
    const QCommandLineOption webHost{QStringLiteral("web-host"),
        QStringLiteral("Web service host for a fresh settings file."), QStringLiteral("HOST:PORT")};
    const QCommandLineOption tick{QStringLiteral("tick-ms"),
        QStringLiteral("Real milliseconds per game second (default 1000)."), QStringLiteral("N"),
        QStringLiteral("1000")};
    const QCommandLineOption connect{QStringLiteral("connect"),
        QStringLiteral("Sign in with the saved account at start.")};
    const QCommandLineOption noSound{QStringLiteral("no-sound"), QStringLiteral("Play no sound.")};
    const QCommandLineOption screenTest{QStringLiteral("screen-test"),
        QStringLiteral("Screenshot aid: buy N cards (0..6) when sales open and report the phases."),
        QStringLiteral("N")};
    const QCommandLineOption skin{QStringLiteral("skin"),
        QStringLiteral("Screenshot aid: apply skin ROW (0..11) after start-up."), QStringLiteral("ROW")};
    const QCommandLineOption measure{QStringLiteral("measure-startup"),
        QStringLiteral("Benchmark aid: print the time to the login dialog's first paint and the peak memory, "
                       "then quit.")};
    const QCommandLineOption updateResult{QStringLiteral("update-result"),
        QStringLiteral("Show TEXT in a message box after start-up (the updater tells here what it did)."),
        QStringLiteral("TEXT")};
};

// A mistake in the command line: said on stderr, exit status 2 as usual for usage errors.
int UsageError(const QString& text)
{
    std::fprintf(stderr, "vexobingo: %s\nTry 'vexobingo --help' for more information.\n", qPrintable(text));
    return 2;
}

int BadValue(const QCommandLineOption& option, const QString& value, const char* needs)
{
    return UsageError(QStringLiteral("bad value '%1' for --%2: it needs %3")
                          .arg(value, option.names().constLast(), QString::fromLatin1(needs)));
}

// --help and --version, answered before any window system is opened so that they work without a
// display; -1 when neither is asked for. Qt's own options are not known here: they and any other
// mistake are left to the full check once the application exists.
int AnswerWithoutWindows(int argc, char** argv)
{
    static const char* const kAnswers[] = {"-h", "--help", "-v", "--version"};
    bool asked = false;
    for (int i = 1; i < argc && !asked; ++i)
        for (const char* answer : kAnswers)
            asked = asked || std::strcmp(argv[i], answer) == 0;
    if (!asked)
        return -1;
    QCoreApplication probe(argc, argv);
    CommandLine line;
    line.parser.parse(QCoreApplication::arguments());
    if (line.parser.isSet(line.help)) {
        std::fputs(qPrintable(line.parser.helpText()), stdout);
        return 0;
    }
    if (line.parser.isSet(line.version)) {
        std::printf("vexobingo %s\n", kVersion);
        return 0;
    }
    return -1;
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
    if (const int rc = AnswerWithoutWindows(argc, argv); rc >= 0)
        return rc;
    EnsureRuntimeFolder();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexo Bingo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vexo Bingo"));
    // The desktop matches the windows to the menu entry (and its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vexobingo.VexoBingo"));

    // Qt has taken its own options (-platform, -display, ...) out of the arguments by now.
    CommandLine line;
    const QCommandLineParser& parser = line.parser;
    if (!line.parser.parse(QCoreApplication::arguments()))
        return UsageError(line.parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return UsageError(QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    CoreConfig config;
    if (parser.isSet(line.ports) && !ParsePorts(parser.value(line.ports), &config))
        return BadValue(line.ports, parser.value(line.ports), "three port numbers, e.g. 1000,6000,9990");
    bool tickOk = false;
    const int tickMs = parser.value(line.tick).toInt(&tickOk);
    if (!tickOk || tickMs < 1 || tickMs > 60000)
        return BadValue(line.tick, parser.value(line.tick), "a number of milliseconds (1..60000)");
    bool cardsOk = false;
    const int screenTestCards = parser.value(line.screenTest).toInt(&cardsOk);
    if (parser.isSet(line.screenTest) && (!cardsOk || screenTestCards < 0 || screenTestCards > 6))
        return BadValue(line.screenTest, parser.value(line.screenTest), "a number of cards (0..6)");
    bool rowOk = false;
    const int skin = parser.value(line.skin).toInt(&rowOk);
    if (parser.isSet(line.skin) && (!rowOk || skin < 0 || skin > 11))
        return BadValue(line.skin, parser.value(line.skin), "a skin row (0..11)");

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
    if (parser.isSet(line.webHost))
        config.defaultWebHost = parser.value(line.webHost);

    GameClock clock(tickMs);
    std::unique_ptr<WavePlayer> player;
    if (parser.isSet(line.noSound))
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
    if (parser.isSet(line.measure))
        login.installEventFilter(&probe);
    form.show();
    core.FormCreate();
    login.move(form.geometry().center() - login.rect().center());

    if (parser.isSet(line.skin))
        core.table().ChooseSkin(skin);
    std::unique_ptr<ScreenTest> screenTest;
    if (parser.isSet(line.screenTest)) {
        hub.setSilent(true);
        screenTest = std::make_unique<ScreenTest>(&core, &hub, screenTestCards);
        Say("screen-test: started");
    }
    if (parser.isSet(line.connect))
        QTimer::singleShot(0, &core, [&core] { core.ConnecttoGame1Click(); });
    if (parser.isSet(line.updateResult))
        QTimer::singleShot(0, &form, [&hub, text = parser.value(line.updateResult)] { hub.messageBox(text); });

    const int rc = app.exec();
    screenTest.reset();
    return rc;
}
