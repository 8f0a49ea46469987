// The prize table of a progressive jackpot.
#include "shell/nullview.h"
#include "session/gamecore.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdint>

namespace {
QTemporaryDir* folder = nullptr;
NullView view;
GameClock gameClock(1000);
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    new QCoreApplication(*argc, *argv);
    folder = new QTemporaryDir;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static GameCore* core = [] {
        CoreConfig config;
        config.folder = folder->path();
        return new GameCore(config, &view, &gameClock, nullptr);
    }();
    core->FillJackpotTable(QByteArray(reinterpret_cast<const char*>(data), int(size)));
    core->Pattern.ProgressiveJackpot = true;
    for (int i = 0; i < 3; ++i)
        core->RefreshRecentCalls();
    core->CallCount = 0;
    return 0;
}
