// The chat against scripted rooms on loopback: every line the player's client sends,
// byte for byte, and what each line of a room does to the panel.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"
#include "session/playevents.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kAlias = "Abcdefghijklmno";   // the first 15 of the 20 the settings hold

struct Chat : ::testing::Test {
    ScriptedPeer room1, room3;
    MiniHttp web;
    CoreTestbed bed;
    ChatRecord& panel = bed.screen.chat;
    PlayerRecord& player = bed.screen.player;
    ChatSession& chat() { return bed.c().chat(); }
    const QStringList& log() const { return panel.lines; }
    const QStringList& members() const { return panel.members; }

    void SetUp() override
    {
        bed.writeFile(QStringLiteral("defaults.cfg"), "UN:player1#V6:TRUE#\r\n");
        bed.remake();
        bed.create();
        bed.c().table().FormResize(TableRoom{3, true});
        signIn("0");
        bed.line(Link::Request, "PQZ!LOGINOK$05.00%0$1A01000001%1$B" + kAlias + "pqrst%B$5120%5");
    }
    void signIn(const char* chatOk)
    {
        web.body = "instruct:OK%instmsg:%chatip1:127.0.0.1%chatport1:" + QByteArray::number(room1.port())
                   + "%chatname1:Main Hall%chatip2:nc%chatport2:47002%chatname2:Shut%chatip3:127.0.0.1%chatport3:"
                   + QByteArray::number(room3.port()) + "%chatname3:Early Birds%ChatOK:" + chatOk + "%";
        web.requests.clear();
        chat().LeaveChatRoom();
        bed.c().signIn().LoginButton1Click(QStringLiteral("player1"), QStringLiteral("pw"), web.host(), false);
        ASSERT_TRUE(WaitFor([&] { return !web.requests.isEmpty() && bed.c().signIn().directoryRead(); }));
        Spin(50);
    }
    // Joins a room and waits for its welcome block.
    void join(int room, ScriptedPeer& peer)
    {
        const int before = peer.connections;
        chat().JoinChatRoom(room);
        ASSERT_TRUE(WaitFor([&] { return peer.connections > before && chat().connected() && log().size() == 11; }));
    }
    void send(ScriptedPeer& peer, const QByteArray& bytes, int expectLines)
    {
        const int before = peer.received.size();
        peer.broadcast(bytes);
        WaitFor([&] { return peer.received.size() >= before + expectLines; }, expectLines ? 3000 : 200);
    }
    QByteArray sent(ScriptedPeer& peer, int last = 1) const
    {
        return peer.received.mid(peer.received.size() - last).join('|');
    }
};

}   // namespace

TEST_F(Chat, EveryRoomCodeAndEveryPlayerLineOnTheWire)
{
    join(1, room1);
    EXPECT_TRUE(panel.panelShown && panel.roomName == "Main Hall");
    EXPECT_EQ(log().mid(0, 3).join('|'), "T1500|" + QString(48, QLatin1Char('-')) + "|T1501");

    // The greeting, the keep-alive, the members; anything else changes nothing.
    send(room1, "SLOld\r\nS1\r\nSQ\r\nSAAnn\r\nSLAnn\r\nSLBob\r\nSRAnn\r\nXY\r\nS\r\nS9z\r\n", 2);
    EXPECT_EQ(sent(room1, 2), "G" + kAlias + "%1player1%2|Q" + kAlias);
    EXPECT_EQ(members(), QStringList({"Ann", "Ann", "Bob"}));
    EXPECT_EQ(log().mid(11).join('|'), "Ann T1509|Ann T1510");

    // Typed lines in order (an empty one too), quick phrases as their buttons' hints give them, the list.
    const int cleared = panel.inputCleared;
    chat().SendTypedLines(QStringLiteral("hello\r\n\nsee you\n"));
    chat().SendQuickPhrase(QStringLiteral("T1206"));
    chat().SendQuickPhrase(QStringLiteral("BINGO!!!"));
    chat().RefreshMembers();
    ASSERT_TRUE(WaitFor([&] { return room1.received.size() == 8; }));
    EXPECT_EQ(sent(room1, 6), "B" + kAlias + ": hello|B" + kAlias + ": |B" + kAlias + ": see you|B" + kAlias
                                  + ": T1206|B" + kAlias + ": BINGO!!!|L");
    EXPECT_TRUE(panel.inputCleared == cleared + 1 && members().isEmpty());

    // Room text is plain text; a line too long for the read buffer goes, the next one stays.
    send(room1, "S0Eve: <img src=x><b>hi</b>\r\nS0" + QByteArray(2100, 'x') + "\r\nS0Eve: after\tall\r\n", 0);
    ASSERT_TRUE(WaitFor([&] { return log().last().startsWith(QLatin1String("Eve: after")); }));
    EXPECT_EQ(log().mid(log().size() - 2).join('|'), "Eve: <img src=x><b>hi</b>|Eve: after all");

    // Ignoring: exact case, within the sender and the start of the text; "No" forgets the name.
    chat().ToggleIgnore(QStringLiteral("  Bob "));
    EXPECT_EQ(player.messages.last(), "Bob T1514");
    send(room1, "S0Bob: one\r\nS0bob: two\r\nS0Ann: hi Bob\r\nS0Ann: 12345678901234567Bob\r\n"
                "S0Ann: 123456789012345678Bob\r\nS0Ann: 123456789012345678901 Bob\r\n", 0);
    ASSERT_TRUE(WaitFor([&] { return log().last().endsWith(QLatin1String(" Bob")); }));
    // Characters 3 to 27 of the line: a name ending at 27 is seen, one ending at 28 is not.
    EXPECT_EQ(log().mid(log().size() - 3).join('|'),
              "bob: two|Ann: 123456789012345678Bob|Ann: 123456789012345678901 Bob");
    // A name with a control character is listed with a blank in its place, and that is the
    // name ignored.
    send(room1, "SLBad\x01Guy\r\n", 0);
    ASSERT_TRUE(WaitFor([&] { return members().contains(QLatin1String("Bad Guy")); }));
    chat().ToggleIgnore(members().last());
    send(room1, "S0Bad\x01Guy: spam\r\nS0Ann: fine\r\n", 0);
    ASSERT_TRUE(WaitFor([&] { return log().last() == QLatin1String("Ann: fine"); }));
    EXPECT_FALSE(log().join('|').contains(QLatin1String("spam")));
    player.questionAnswer = false;
    chat().ToggleIgnore(QStringLiteral("Bob"));
    player.questionAnswer = true;
    send(room1, "S0Bob: three\r\n", 0);
    ASSERT_TRUE(WaitFor([&] { return log().last() == QLatin1String("Bob: three"); }));
    for (int k = 0; k <= 10; ++k)
        chat().ToggleIgnore(QStringLiteral("P") + QString::number(k));
    EXPECT_EQ(player.messages.last(), "T1516");

    // The room closes the chat: the panel goes, lines read with "SX" are not shown.
    send(room1, "SX\r\nS0Eve: late\r\n", 0);
    ASSERT_TRUE(WaitFor([&] { return !chat().open(); }));
    EXPECT_FALSE(panel.panelShown || log().last().contains("late"));
}

// What the link cannot take now (more than it may hold unsent) stays in the input box with a
// word to the player; the room stays open, for that is no time-out.
TEST_F(Chat, WhatCannotBeSentStaysInTheBoxAndTheRoomStaysOpen)
{
    join(1, room1);
    const QString huge(70 * 1024, QLatin1Char('x'));
    chat().SendTypedLines(QStringLiteral("first\n") + huge + QStringLiteral("\r\nlast\n"));
    EXPECT_EQ(panel.kept, huge + QStringLiteral("\nlast"));
    EXPECT_TRUE(player.messages.last().startsWith(QLatin1String("The chat room is not taking")));
    EXPECT_TRUE(chat().open() && chat().connected());
    chat().SendTypedLines(QStringLiteral("again"));
    ASSERT_TRUE(WaitFor([&] { return room1.received.contains("B" + kAlias + ": again"); }));
    EXPECT_TRUE(room1.received.contains("B" + kAlias + ": first") && !player.messages.contains(QLatin1String("T1515")));
}

TEST_F(Chat, SwitchingRoomsDisconnectsAndRefusals)
{
    join(1, room1);
    join(3, room3);   // leaves room 1 first
    EXPECT_EQ(sent(room1), "R" + kAlias);
    EXPECT_TRUE(WaitFor([&] { return room1.clients.isEmpty(); }));
    EXPECT_EQ(panel.roomName, "Early Birds");

    chat().JoinChatRoom(2);   // an "nc" address: a notice, and room 3 was left
    EXPECT_EQ(player.messages.last(), "T1511");
    EXPECT_TRUE(WaitFor([&] { return sent(room3) == "R" + kAlias; }));
    const int beeps = player.beeps;
    chat().JoinChatRoom(4);   // not in the directory
    EXPECT_EQ(player.beeps, beeps + 1);

    // The room ends the connection: the panel closes; Refresh then only clears the list.
    join(1, room1);
    room1.dropClients();
    ASSERT_TRUE(WaitFor([&] { return !chat().open() && !panel.panelShown; }));
    const int lines = room1.received.size();
    panel.members = QStringList{"Ann"};
    chat().RefreshMembers();
    Spin(100);
    EXPECT_TRUE(members().isEmpty() && room1.received.size() == lines);

    // A room that does not listen; chat the login does not allow.
    room3.stop();
    chat().JoinChatRoom(3);
    EXPECT_TRUE(WaitFor([&] { return log().value(0) == QLatin1String("T1517"); }));
    signIn("1");
    chat().JoinChatRoom(1);
    EXPECT_EQ(player.messages.last(), "T1512");
    EXPECT_FALSE(chat().open());
}

// A room line whose text names the player is told as a mention; the player's own line, an
// ignored member's and a name that only contains the alias are not.
TEST_F(Chat, ALineNamingThePlayerIsAMention)
{
    struct Mentions : PlayListener {
        QStringList lines;
        void mentioned(const QString& line) override { lines << line; }
    } heard;
    bed.c().events().listen(&heard);
    join(1, room1);
    const auto from = [](const char* who, const QByteArray& text) {
        return "S0" + QByteArray(who).leftJustified(25, ' ') + text + "\r\n";
    };
    chat().ToggleIgnore(QStringLiteral("Eve"));
    send(room1, from("Ann", "well done " + kAlias.toLower() + "!") + from(kAlias.constData(), "thanks " + kAlias)
                    + from("Eve", "hey " + kAlias) + from("Bo", "nothing for you") + from("Cy", "Abcdefghijklmn"), 0);
    ASSERT_TRUE(WaitFor([&] { return log().size() >= 15; }));
    ASSERT_EQ(heard.lines.size(), 1) << heard.lines.join('|').toStdString();
    EXPECT_TRUE(heard.lines[0].startsWith(QLatin1String("Ann")) && heard.lines[0].endsWith(QLatin1String("!")));
    bed.c().events().forget(&heard);
}
