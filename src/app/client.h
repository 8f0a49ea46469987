#pragma once
// The start of the client: the command line, the program folders, every window in its fixed
// order around the game core, and the event loop. The program is this alone; the aids that
// drive a real client (the screenshot driver, the start-up probe) add their part through hooks.
#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <functional>

class GameCore;
class GameHistory;
class QCommandLineParser;
class MainWindow;
class LoginDialog;
class ViewHub;

// The running client as a hook sees it.
struct ClientParts {
    MainWindow& form;
    ViewHub& hub;
    GameCore& core;
    LoginDialog& login;
    GameHistory* history = nullptr;   // the player's record of games
};

// What an aid adds to the client's start. Every member may be left as it is.
struct ClientHooks {
    // The name said in usage errors and by --version.
    QString program = QStringLiteral("vexobingo");
    // A paragraph added to the help, and options besides the client's own.
    QString about;
    QList<QCommandLineOption> options;
    // The program folder of the client an aid drives (where the client's executable would lie);
    // set, the aid also takes --program-folder DIR to name another. Left empty, the folder is the
    // executable's own, as for the program.
    QString programFolder;
    // Reads the added options once the command line is parsed, before any window exists: the text
    // of a usage error, or an empty string.
    std::function<QString(const QCommandLineParser& parser)> readOptions;
    // Every window and the core exist, nothing shows yet and the core has not started.
    std::function<void(const ClientParts& parts)> beforeFormCreate;
    // The main window shows and the core has started (FormCreate); the event loop is next.
    std::function<void(const ClientParts& parts)> afterFormCreate;
    // The event loop has ended; the windows and the core still exist.
    std::function<void()> finished;
};

// Runs the client to its end and returns the process's exit status (2 for a usage error).
int RunClient(int argc, char** argv, const ClientHooks& hooks = {});

// The text of a usage error for an option's bad value: "bad value 'x' for --skin: it needs ...".
QString BadValueText(const QCommandLineOption& option, const QString& value, const char* needs);
