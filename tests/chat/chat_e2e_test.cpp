// Two players in the demo hall's chat rooms over real sockets: what one types, the other
// reads; the member list, ignoring, and moving to another room.
#include "coretestbed.h"
#include "hall.h"
#include "scriptedpeer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct Player {
    CoreTestbed bed;
    Player(Hall& hall, const char* user) : bed(20, hall.requestPort(), hall.gamePort(), hall.salesPort())
    {
        bed.clock.running = true;
        bed.writeFile("defaults.cfg", "UN:" + QByteArray(user) + "#WS:" + hall.webHost().toLatin1()
                                          + "#V6:FALSE#V7:bingo#\r\n");
        bed.create();
        bed.c().ConnecttoGame1Click();
    }
    ChatSession& chat() { return bed.c().chat(); }
    bool reads(const QString& line) const { return bed.screen.chat.lines.contains(line); }
};

}   // namespace

TEST(HallChat, TwoPlayersTalkListEachOtherIgnoreAndMoveOn)
{
    QTemporaryDir www;
    HallConfig config;
    config.webPort = config.requestPort = config.salesPort = config.gamePort = 0;
    config.chatPorts = {0, 0, 0};
    config.wwwDir = www.path();
    config.dbPath = www.filePath(QStringLiteral("hall.db"));   // its own, not one beside the temporary folder
    config.game.tickMs = 20;
    Hall hall(config);
    QString error;
    ASSERT_TRUE(hall.start(&error)) << error.toStdString();
    Player ann(hall, "demo"), bob(hall, "guest");
    for (Player* p : {&ann, &bob}) {
        ASSERT_TRUE(WaitFor([&] { return !p->bed.c().settings().values().Alias.isEmpty(); }));
        p->chat().JoinChatRoom(1);
        ASSERT_TRUE(WaitFor([&] { return p->chat().connected(); }));
    }
    ASSERT_TRUE(WaitFor([&] { return ann.reads(QStringLiteral("Guest Player T1509")); }));

    ann.chat().SendTypedLines(QStringLiteral("hello Bob\n"));
    bob.chat().SendQuickPhrase(QStringLiteral("Good luck!"));
    for (Player* p : {&ann, &bob})
        EXPECT_TRUE(WaitFor([&] { return p->reads("Lucky Star: hello Bob") && p->reads("Guest Player: Good luck!"); }));
    bob.chat().RefreshMembers();
    EXPECT_TRUE(WaitFor([&] {
        const QStringList& members = bob.bed.screen.chat.members;
        return members.contains("Lucky Star") && members.contains("Guest Player");
    }));

    bob.chat().ToggleIgnore(QStringLiteral("Lucky Star"));
    ann.chat().SendTypedLines(QStringLiteral("can you hear me?\n"));
    bob.chat().SendTypedLines(QStringLiteral("quiet here\n"));
    ASSERT_TRUE(WaitFor([&] { return ann.reads("Guest Player: quiet here") && bob.reads("Guest Player: quiet here"); }));
    EXPECT_TRUE(ann.reads("Lucky Star: can you hear me?") && !bob.reads("Lucky Star: can you hear me?"));

    // Ann moves to room 3: room 1 says she left, and she is in the other room.
    ann.chat().JoinChatRoom(3);
    EXPECT_TRUE(WaitFor([&] { return bob.reads("Lucky Star T1510") && ann.chat().connected(); }));
    EXPECT_EQ(ann.bed.screen.chat.roomName, QString::fromLatin1(kRoomNames[2]));
}
