#pragma once
// The demo hall in a test's own process: every port free (0), its www folder and its file in a
// folder of the test's own (never beside the system's temporary folder, where two tests at once
// would share it), and its clock at `tickMs` real milliseconds a game second.
#include "coretestbed.h"
#include "hall.h"

#include <QTemporaryDir>

inline HallConfig FastHallConfig(const QTemporaryDir& folder, int tickMs, int salesSeconds = 70, quint64 seed = 7,
                                 int chatRooms = 2)
{
    HallConfig config;
    config.webPort = config.requestPort = config.salesPort = config.gamePort = 0;
    config.chatPorts = QList<quint16>(chatRooms, 0);
    config.wwwDir = folder.path();
    config.dbPath = folder.filePath(QStringLiteral("hall.db"));
    config.game.tickMs = tickMs;
    config.game.salesSeconds = salesSeconds;
    config.game.waitSeconds = 1;
    config.game.seed = seed;
    return config;
}

// The demo account with its password remembered for this hall: the client signs in with no dialog.
inline void RememberDemoPlayer(CoreTestbed& bed, const Hall& hall)
{
    bed.writeFile("defaults.cfg", "UN:demo#WS:" + hall.webHost().toLatin1() + "#V6:FALSE#V7:bingo#\r\n");
}
