#pragma once
// Brings a core to a running sales period with six bought four-face cards, by the
// lines the game server sends and the commands the player gives.
#include "game/coreparts.h"
#include "game/gamecore.h"

#include <QByteArray>

// Four faces of numbers: face f, column c, row r holds 15c + (r + 3f) % 15 + 1.
inline QByteArray BenchNumbers()
{
    QByteArray text;
    for (int f = 0; f < 4; ++f)
        for (int c = 0; c < 5; ++c)
            for (int r = 0; r < 5; ++r)
                text += char(15 * c + (r + 3 * f) % 15 + 1 + 50);
    return text;
}

inline void BuySixCards(GameCore& core)
{
    core.ServerLineReceived(Link::Request, "PQZ!LOGINOK$0500.00%0$1A02000002%1$BBench%B$5120%5");
    core.ServerLineReceived(Link::SalesFeed, "PQZACKBUY1");
    core.ServerLineReceived(Link::GameFeed, "PQZ$0A%0$8100001%8$4100%4$7A02000002%7");
    if (!core.settings().autoDaub())
        core.table().AutodauberClick();
    for (int k = 1; k <= 6; ++k) {
        while (core.rack().currentCard() < k)
            core.table().RightCardClick();
        const QByteArray id = QByteArray::number(k);
        core.shop().chooseFaces(4);
        core.ServerLineReceived(Link::Request, "PQZ!CARDRG1$A" + id + "%A$B" + BenchNumbers() + "%B");
        core.shop().Button3Click();
        core.ServerLineReceived(Link::Request, "PQZ!LOGINOK100001.00001.0000" + id + "$0500.00%0$B" + BenchNumbers()
                                                   + "%B$C" + id + "%C");
    }
}
