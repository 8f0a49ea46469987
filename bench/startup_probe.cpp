// vexobingo-startup: the client started as the program starts it, timed from the start of the
// process to the first paint of the login dialog; prints that time and the peak memory, then
// quits. bench/startup_bench.sh runs it several times for the median.
#include "app/client.h"
#include "windows/dialogs.h"

#include "startupprobe.h"

int main(int argc, char** argv)
{
    startup::Probe probe;
    ClientHooks hooks;
    hooks.program = QStringLiteral("vexobingo-startup");
    hooks.about = QStringLiteral("This is the client with a start-up probe: it prints the time to the login dialog's "
                                 "first paint\nand the peak memory, then quits.");
    hooks.programFolder = QStringLiteral(BINGO_APP_DIR);
    hooks.beforeFormCreate = [&probe](const ClientParts& parts) { parts.login.installEventFilter(&probe); };
    return RunClient(argc, argv, hooks);
}
