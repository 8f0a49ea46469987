// The client's start: makes the windows in their fixed order around the game core and runs the
// event loop.
#include "app/client.h"

#include "components/media/loadedwaveplayer.h"
#include "components/media/wavefiles.h"
#include "components/media/pictures.h"
#include "components/net/installjournal.h"
#include "game/gamecore.h"
#include "history/gamehistory.h"
#include "shell/gameclock.h"
#include "shell/programfolder.h"
#include "windows/dialogs.h"
#include "windows/limitswindows.h"
#include "windows/mainwindow.h"
#include "windows/notifymenu.h"
#include "windows/mygamesondemand.h"
#include "windows/screenviews.h"
#include "windows/viewhub.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <memory>
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
    config->ports.request = ports[0];
    config->ports.gameFeed = ports[1];
    config->ports.salesFeed = ports[2];
    return true;
}

// Whether files can be made in folder (asked of the system, as permission bits do not tell
// the whole story).
bool FolderIsWritable(const QString& folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK) == 0;
}

const char kVersion[] = "4.66";

// The client's options. Made twice at most: before the windows to answer --help and --version
// without a display, and with the application for everything else.
struct CommandLine {
    explicit CommandLine(const ClientHooks& hooks)
    {
        QString description = QStringLiteral(
            "Vexo Bingo, the player's program of an online 75-ball bingo hall.\n\n"
            "The program reads its files from its own folder. When that folder is not writable (a copy\n"
            "installed for everyone), settings and downloads go to $XDG_DATA_HOME/vexobingo\n"
            "(~/.local/share/vexobingo) and files found there are used before the installed ones.");
        if (!hooks.about.isEmpty())
            description += QStringLiteral("\n\n") + hooks.about;
        parser.setApplicationDescription(description);
        parser.addOptions({help, version, ports, webHost, tick, connect, noSound, updateResult});
        if (!hooks.programFolder.isEmpty())
            parser.addOption(QCommandLineOption(
                programFolder, QStringLiteral("The client's program folder (default %1).").arg(hooks.programFolder),
                QStringLiteral("DIR"), hooks.programFolder));
        parser.addOptions(hooks.options);
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
    const QCommandLineOption updateResult{QStringLiteral("update-result"),
        QStringLiteral("Show TEXT in a message box after start-up (the updater tells here what it did)."),
        QStringLiteral("TEXT")};
    const QString programFolder = QStringLiteral("program-folder");
};

// A mistake in the command line: said on stderr, exit status 2 as usual for usage errors.
int UsageError(const ClientHooks& hooks, const QString& text)
{
    const QByteArray program = hooks.program.toLocal8Bit();
    std::fprintf(stderr, "%s: %s\nTry '%s --help' for more information.\n", program.constData(), qPrintable(text),
                 program.constData());
    return 2;
}

// --help and --version, answered before any window system is opened so that they work without a
// display; -1 when neither is asked for. Qt's own options are not known here: they and any other
// mistake are left to the full check once the application exists.
int AnswerWithoutWindows(int argc, char** argv, const ClientHooks& hooks)
{
    static const char* const kAnswers[] = {"-h", "--help", "-v", "--version"};
    bool asked = false;
    for (int i = 1; i < argc && !asked; ++i)
        for (const char* answer : kAnswers)
            asked = asked || std::strcmp(argv[i], answer) == 0;
    if (!asked)
        return -1;
    QCoreApplication probe(argc, argv);
    CommandLine line(hooks);
    line.parser.parse(QCoreApplication::arguments());
    if (line.parser.isSet(line.help)) {
        std::fputs(qPrintable(line.parser.helpText()), stdout);
        return 0;
    }
    if (line.parser.isSet(line.version)) {
        std::printf("%s %s\n", qPrintable(hooks.program), kVersion);
        return 0;
    }
    return -1;
}
}

QString BadValueText(const QCommandLineOption& option, const QString& value, const char* needs)
{
    return QStringLiteral("bad value '%1' for --%2: it needs %3")
        .arg(value, option.names().constLast(), QString::fromLatin1(needs));
}

int RunClient(int argc, char** argv, const ClientHooks& hooks)
{
    if (const int rc = AnswerWithoutWindows(argc, argv, hooks); rc >= 0)
        return rc;
    EnsureRuntimeFolder();
    // The menus stay in the window, where the skin draws them; asking the desktop for a menu bar
    // of its own would also cost a round of the session bus before the first window shows.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexo Bingo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vexo Bingo"));
    // The desktop matches the windows to the menu entry (and its icon) by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.vexobingo.VexoBingo"));

    // Qt has taken its own options (-platform, -display, ...) out of the arguments by now.
    CommandLine line(hooks);
    const QCommandLineParser& parser = line.parser;
    if (!line.parser.parse(QCoreApplication::arguments()))
        return UsageError(hooks, line.parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return UsageError(hooks, QStringLiteral("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    CoreConfig config;
    if (parser.isSet(line.ports) && !ParsePorts(parser.value(line.ports), &config))
        return UsageError(hooks, BadValueText(line.ports, parser.value(line.ports),
                                              "three port numbers, e.g. 1000,6000,9990"));
    bool tickOk = false;
    const int tickMs = parser.value(line.tick).toInt(&tickOk);
    if (!tickOk || tickMs < 1 || tickMs > 60000)
        return UsageError(hooks, BadValueText(line.tick, parser.value(line.tick),
                                              "a number of milliseconds (1..60000)"));
    if (hooks.readOptions)
        if (const QString error = hooks.readOptions(parser); !error.isEmpty())
            return UsageError(hooks, error);

    config.languageFolder = QDir::currentPath();
    // An installed copy reads its files where it was installed and writes in the player's own folder.
    const QString exeFolder = hooks.programFolder.isEmpty()
                                  ? QCoreApplication::applicationDirPath()
                                  : QDir(parser.value(line.programFolder)).absolutePath();
    // An update stopped half-way is finished or undone before any file of the folder is read.
    const QString recovered = RecoverInterruptedInstall(exeFolder);
    const ProgramFolders folders = ChooseProgramFolders(
        exeFolder, FolderIsWritable(exeFolder), QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    config.folder = folders.root;
    config.installedFolder = folders.installed;
    if (!QDir().mkpath(config.folder) || !QDir::setCurrent(config.folder)) {
        std::fprintf(stderr, "%s: cannot use the folder %s\n", qPrintable(hooks.program), qPrintable(config.folder));
        return 1;
    }
    if (parser.isSet(line.webHost))
        config.defaultWebHost = parser.value(line.webHost);

    // The program's own libraries (sound, My Games): in lib/ of the program's folder, or of the
    // build's program folder for the aids that run the client from elsewhere.
    const QString moduleFolder =
        (hooks.programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : hooks.programFolder)
        + QStringLiteral("/lib");
    GameClock clock(tickMs);
    std::unique_ptr<WavePlayer> player;
    if (parser.isSet(line.noSound))
        player = std::make_unique<NullWavePlayer>();
    else
        player = std::make_unique<LoadedWavePlayer>(moduleFolder);

    MainWindow form;
    bool cursorOk = false;
    const QCursor dauber = LoadCursorFile(
        ProgramFolder(config.folder, config.installedFolder).path(QStringLiteral("dab4.cur")), &cursorOk);
    form.setDauberCursor(dauber, cursorOk);
    ViewHub hub(&form);
    ScreenViews screen(&form, &hub);
    GameCore core(config, screen.views(), &clock, player.get());
    form.attach(&core, &hub);

    // Every window exists before the core starts; only the login dialog shows at start.
    LoginDialog login(&core);
    AboutDialog about(&form);
    ThanksDialog market(&core);
    NewsDialog news;
    AliasDialog alias(&core);
    DownloadWindow download;
    CallerSetWindow callers(&core);
    FunBingoWindow funBingos(&core);
    WinnersWindow winners(&form);
    AnnouncerSetWindow announcers(&core);
    CommsAlert alert(&core);
    PlayLimitsWindow limits(&core);
    RealityCheckWindow reality(&core);
    // Each window is known to the views by its design name, which it carries as its objectName.
    for (QWidget* window : std::initializer_list<QWidget*>{&login, &about, &market, &news, &alias, &download, &callers,
                                                         &funBingos, &winners, &announcers, &alert, &limits, &reality})
        hub.addWindow(window->objectName(), window);

    // Desktop notices of the player's games while the main window is not the active one; the
    // Sounds menu switches each kind, kept in the player's folder.
    DesktopNotices notices({}, [&screen](const QString& said) { screen.views().status->log(said); });
    MainWindowFocus focus(&form);
    Notifier notifier(core.events(), notices, focus,
                      ProgramFolder(config.folder, config.installedFolder).writePath(QLatin1String(Notifier::kFileName)));
    if (auto* sounds = form.findChild<QMenu*>(QStringLiteral("Sound1")))
        AddNotificationsMenu(sounds, &notifier);

    // The player's record of games: fed by the core's play events, shown in My Games (Help menu).
    MyGamesOnDemand myGames(&form, moduleFolder);
    GameHistory history(ProgramFolder(config.folder, config.installedFolder)
                            .writePath(QString::fromLatin1(GameHistory::kFileName)),
                        screen.views().status, &myGames);
    myGames.attach(&history);
    form.setMyGamesCommand([&history] { history.ShowMyGames(); });
    core.events().listen(&history);
    const struct Forget {
        GameCore& core;
        GameHistory& history;
        ~Forget() { core.events().forget(&history); }
    } forget{core, history};

    const ClientParts parts{form, hub, core, login, &history};
    if (hooks.beforeFormCreate)
        hooks.beforeFormCreate(parts);
    // The login dialog shows first, then the main window behind it: the player can sign in
    // while the main window is drawn.
    login.move(form.geometry().center() - login.rect().center());
    core.FormCreate();
    form.show();
    login.raise();
    login.activateWindow();
    if (hooks.afterFormCreate)
        hooks.afterFormCreate(parts);

    if (parser.isSet(line.connect))
        QTimer::singleShot(0, &core, [&core] { core.ConnecttoGame1Click(); });
    if (parser.isSet(line.updateResult) || !recovered.isEmpty()) {
        const QString text = parser.isSet(line.updateResult) ? parser.value(line.updateResult) : recovered;
        QTimer::singleShot(0, &form, [&hub, text] { hub.messageBox(text); });
    }

    const int rc = app.exec();
    if (hooks.finished)
        hooks.finished();
    return rc;
}
