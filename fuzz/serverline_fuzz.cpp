// Any line on any link in any phase of a session: the parser and the session must
// neither crash nor leave the game clock unable to go on.
#include "fuzzsupport.h"

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    FuzzInitialize(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const auto core = FuzzCore();
    GameCore& c = *core;
    // The first byte picks how far the session got, the second how the lines arrive.
    const uint8_t state = data[0];
    const uint8_t route = data[1];
    if (state & 1)
        c.ServerLineReceived(Link::Request, "PQZ!LOGINOK$05.00%0$1A01000001%1$BFuzz%B$560%5");
    if (state & 2) {
        c.ServerLineReceived(Link::SalesFeed, "PQZACKBUY1");
        c.ServerLineReceived(Link::GameFeed, "PQZ$0A%0$8123456%8$4100%4$7A01000001%7");
    }
    if (state & 4) {
        c.shop().chooseFaces(1);
        c.ServerLineReceived(Link::Request, "PQZ!CARDRG1$A1%A$B" + QByteArray(25, 'A') + "%B");
        c.shop().Button3Click();
        c.ServerLineReceived(Link::Request, "PQZ!LOGINOK123456.00001.00001$04.00%0$B" + QByteArray(25, 'A') + "%B$C1%C");
    }
    switch ((state >> 3) & 3) {   // what the request link waits for
    case 1: c.shop().chooseFaces(1 + (state >> 5) % 4); break;
    case 2: c.shop().Button3Click(); break;
    case 3: c.ShowLastWinners(QStringLiteral("000000")); break;
    default: break;
    }
    static const Link links[] = {Link::Request, Link::GameFeed, Link::SalesFeed};
    const QByteArray input(reinterpret_cast<const char*>(data + 2), int(size - 2));
    int n = 0;
    for (const QByteArray& line : input.split('\n')) {
        for (Request r : {Request::Login, Request::OneFace, Request::Purchase, Request::StarterCards, Request::Winners})
            (void)ParseRequestReply(r, line);
        c.ServerLineReceived(links[(route + n++) % 3], line);
    }
    // The clock must go on whatever the lines left behind.
    for (int i = 0; i < 200 && c.round().phase() != Phase::Pause; ++i) {
        c.Timer1Timer();
        if (c.board().ballRolling())
            c.FinishBallAnimation();
    }
    return 0;
}
