// Any line on any link in any session state: the dispatcher must neither crash
// nor leave the game clock unable to go on.
#include "fuzzsupport.h"
#include "rules/wire.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzInitialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    GameCore& core = FuzzCore();
    core.CLEARALL();
    core.GameRunning = core.CallsRunning = core.ResumePending = core.CardsBought = 0;
    core.CallCount = 0;
    core.RecentCalls = QByteArray(5, ' ');
    // The first byte picks a state, the second how the lines arrive.
    const uint8_t state = data[0];
    const uint8_t route = data[1];
    core.WaitingForSales = state & 1;
    core.FirstNotice = (state >> 1) & 1;
    core.PendingRequest = (state >> 2) & 15;
    core.SalesOpen = (state >> 6) & 1;
    core.GameInfoReady = 1;
    core.SecondsToStart = 60;
    if (state & 0x80) {
        core.Cards[1].FaceCount = 1;
        core.Cards[1].LoadNumbers(QByteArray(25, 'A'), QStringLiteral("1"));
        core.Cards[1].Entered = true;
        core.Cards[1].CardId = QStringLiteral("123456.00001.00001");
    }
    const QByteArray input(reinterpret_cast<const char*>(data + 2), int(size - 2));
    for (const QByteArray& line : input.split('\n')) {
        (void)FieldValue(line.isEmpty() ? '0' : line[0], line);
        switch (route % 5) {
        case 0: core.RequestLinkLine(line); break;
        case 1: core.GameFeedLine(line); break;
        case 2: core.SalesFeedLine(line); break;
        default: core.DispatchServerLine(route % 16, line); break;
        }
    }
    // The clock must go on whatever the lines left behind.
    for (int i = 0; i < 200; ++i) {
        core.Timer1Timer();
        if (core.balltimer.isActive())
            core.FinishBallAnimation();
        if (core.ResumePending)
            break;   // the next sign-in goes to the web service: not for fuzzing
    }
    return 0;
}
