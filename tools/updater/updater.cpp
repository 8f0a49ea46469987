// qzupdate.exe: the program updater. The client starts it with three parameters (the
// download address, the name to save it as and the program to run) and ends itself.
// The updater shows a small window with its progress and a Cancel button, fetches the
// package and its detached signature within an overall deadline, checks the signature
// against the public key built into it and the package's version against the installed
// one, installs the package's files into its own folder all or nothing, and in every case
// starts the client again with a line saying what happened (also on stderr when it failed).
// Without a display it runs on Qt's offscreen platform.
//
// The save-as name and the program to run are the client's names on another system;
// here nothing is saved under a name from the network and the program started is
// always the client beside the updater.
#include "updaterun.h"

#include "components/net/installjournal.h"

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <cstdio>
#include <sodium.h>

namespace {
constexpr char kClient[] = "vexobingo";
}

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexo Bingo update"));
    const QString folder = QCoreApplication::applicationDirPath();
    // An install an earlier run could not end is finished or undone before anything else.
    if (const QString recovered = RecoverInterruptedInstall(folder); !recovered.isEmpty())
        std::fprintf(stderr, "qzupdate.exe: %s\n", qPrintable(recovered));

    const QStringList arguments = QCoreApplication::arguments();
    QString reason;
    if (arguments.size() != 4) {
        reason = QStringLiteral("the updater needs three parameters: download address, save-as name, program to run");
    } else if (sodium_init() < 0) {
        reason = QStringLiteral("the signature check cannot start");
    } else {
        UpdateRun run(folder, arguments[1]);
        reason = run.run();
    }
    const QString result = reason.isEmpty()
        ? QStringLiteral("Vexo Bingo has been updated.")
        : QStringLiteral("The update was not installed: ") + reason + QLatin1Char('.');

    const QString client = QDir(folder).filePath(QLatin1String(kClient));
    const bool restarted = QProcess::startDetached(client, {QStringLiteral("--update-result"), result}, folder);
    if (!restarted)
        std::fprintf(stderr, "qzupdate.exe: %s %s cannot be started.\n", qPrintable(result), qPrintable(client));
    else if (!reason.isEmpty())
        std::fprintf(stderr, "qzupdate.exe: %s\n", qPrintable(result));
    return !reason.isEmpty() ? 1 : restarted ? 0 : 3;
}
