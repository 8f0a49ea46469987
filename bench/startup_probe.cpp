// vexobingo-startup: the client started as the program starts it, timed from the start of the
// process to the first paint of the login dialog; prints that time and the peak memory, then
// quits. bench/startup_bench.sh runs it several times for the median.
#include "app/client.h"
#include "windows/dialogs.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace {
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
            std::printf("startup: login dialog painted after %.1f ms, peak memory %.1f MB\n",
                        MillisecondsSinceProcessStart(), usage.ru_maxrss / 1024.0);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool done_ = false;
};
}

int main(int argc, char** argv)
{
    StartupProbe probe;
    ClientHooks hooks;
    hooks.program = QStringLiteral("vexobingo-startup");
    hooks.about = QStringLiteral("This is the client with a start-up probe: it prints the time to the login dialog's "
                                 "first paint\nand the peak memory, then quits.");
    hooks.programFolder = QStringLiteral(BINGO_APP_DIR);
    hooks.beforeFormCreate = [&probe](const ClientParts& parts) { parts.login.installEventFilter(&probe); };
    return RunClient(argc, argv, hooks);
}
