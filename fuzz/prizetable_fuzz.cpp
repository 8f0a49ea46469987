// The prize table of a progressive jackpot, as the sign-in carries it, shown call by call.
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzInitialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto core = FuzzCore();
    const QByteArray table(reinterpret_cast<const char*>(data), int(size));
    core->ServerLineReceived(Link::Request, "PQZ!LOGINOK$05.00%0$1A11000007%1$C" + table + "%C$560%5");
    QByteArray draw;
    for (int n = 1; n <= 5; ++n)
        draw += char(n + 50);
    core->ServerLineReceived(Link::GameFeed, "PQZ$0B%0$8000000%8$A" + draw + "%A$7A11000007%7$570%5$675%6");
    for (int i = 0; i < 60; ++i) {
        core->Timer1Timer();
        if (core->board().ballRolling())
            core->FinishBallAnimation();
    }
    return 0;
}
