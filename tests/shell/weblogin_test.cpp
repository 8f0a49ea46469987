// The web login: the service directory it brings, and the core's login against a web
// server and a scripted game server.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"
#include "shell/directory.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

const QByteArray kReply =
    "instruct:OK%instmsg:%URL&http://127.0.0.1/%chatip1:10.0.0.1%chatport1:47001%chatname1:Main Hall%"
    "chatip2:10.0.0.2%chatport2:47002%chatname2:Night Owls%ChatOK:0%newsurl:/news/news.rtf%"
    "download:http://h/update/%downfile:upd%imageurl:img:1%adminurl:http://site/%files:files:2%"
    "logo:mylogo.gif%adspace2:ad2.gif%winnergif:wb.gif%";

struct WebLogin : ::testing::Test {
    MiniHttp web;
    ScriptedPeer server;   // the game server's request link
    CoreTestbed bed{20, server.port(), server.port(), server.port()};
    GameCore& core() { return bed.c(); }
    // Starts the core with this settings line; the game host it knows before any login leads nowhere.
    void start(const QByteArray& settings = {})
    {
        bed.writeFile(QStringLiteral("defaults.cfg"), settings + "\r\n");
        bed.config.defaultGameHost = QStringLiteral("no-such-host.invalid");
        bed.remake();
        bed.create();
    }
};

}   // namespace

TEST(Directory, EveryKeyIsReadWithinItsBoundAndMissingRoomsStayEmpty)
{
    ServiceDirectory d;
    d.parse(kReply);
    const QStringList fields = {d.Instruction, d.GameServerHost, d.Rooms[1].Address, d.Rooms[2].Port, d.Rooms[2].Name,
                                d.Rooms[3].Address, d.Rooms[6].Name, d.NewsUrl, d.WebBaseUrl, d.FilesHost,
                                d.ImageHost, d.LogoImage, d.AdSpace2Image, d.WinnersImage};
    EXPECT_EQ(fields.join(QLatin1Char('|')).toStdString(), "OK|127.0.0.1|10.0.0.1|47002|Night Owls|||/news/news.rtf|"
                                                           "http://site/|files:2|img:1|mylogo.gif|ad2.gif|wb.gif");
    const auto chat = [&d](const char* reply) { return d.parse(reply), d.ChatAllowed; };
    EXPECT_TRUE(chat("ChatOK:0%") && !chat("ChatOK:1%") && !chat("nothing") && !chat("ChatOK:"));
    // A value ends at its "%" within 1024 characters; a key inside an earlier value is found there.
    EXPECT_EQ(DirectoryValue("logo:", "logo:" + QByteArray(1024, 'a') + "%"), "");
    EXPECT_EQ(DirectoryValue("files:", "instmsg:see files:here%files:real%"), "here");
}

TEST_F(WebLogin, ThePlayersIdIsPostedAndTheCoreSignsInAtTheGameServerTheDirectoryNames)
{
    start();
    web.body = kReply;
    core().signIn().LoginButton1Click(QStringLiteral("player1"), QStringLiteral("pw"), web.host(), true);
    ASSERT_TRUE(WaitFor([&] { return server.received.size() == 1; }));
    const QByteArray post = web.requests.value(0);
    EXPECT_TRUE(web.requests.size() == 1 && post.startsWith("POST /vexobingo/vxplay466.asp HTTP/1.1\r\n")
                && post.endsWith("\r\n\r\nusername=player1&version=466")) << post.constData();
    const MenusRecord& menus = bed.screen.menus;
    EXPECT_EQ(menus.roomNames, QStringList({"Main Hall", "Night Owls", "", "", "", ""}));
    EXPECT_TRUE(menus.helpAddress == "http://site/" && bed.screen.figures.shown);
    // The button saved "remember" before the login took the new password in.
    EXPECT_TRUE(bed.readFile(QStringLiteral("defaults.cfg")).contains("#V6:FALSE#V7:#"));
}

TEST_F(WebLogin, EachHttpFailureShowsItsMessageAndAnUpgradeAsksItsOwn)
{
    start();
    // A reply that drips one byte at a time still ends at the deadline (900 ms at 20 ms a second).
    ScriptedPeer drip;
    QTimer byte;
    QObject::connect(&drip, &ScriptedPeer::clientConnected,
                     [&] { drip.broadcast("HTTP/1.1 200 OK\r\nContent-Length: 9999\r\n\r\n"); });
    QObject::connect(&byte, &QTimer::timeout, [&] { drip.broadcast("x"); });
    byte.start(20);
    const QString dripHost = QStringLiteral("127.0.0.1:") + QString::number(drip.port());
    web.status = 500;
    const std::pair<QString, QString> cases[] = {
        {web.host(), QStringLiteral("HTTP Communications Failure: Please try Again")},
        {QStringLiteral("127.0.0.1:1"), QStringLiteral("HTTP Connection Failed: Please try Again")},
        {QStringLiteral("no-such-host.invalid"), QStringLiteral("HTTP Invalid Host Error: Please try Again")},
        {dripHost, QStringLiteral("HTTP Communications Failure: Please try Again")},
    };
    for (const auto& [host, message] : cases) {
        bed.screen.dialogs.loginShown = false;
        core().signIn().LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), host, true);
        ASSERT_TRUE(WaitFor([&] { return bed.screen.dialogs.loginShown; }, 15000)) << host.toStdString();
        EXPECT_EQ(bed.screen.player.messages.last(), message);
    }
    // An upgrade hands over to the program update (which asks its message) and opens no game link.
    web.status = 200;
    bed.writeFile(QStringLiteral("qzupdate.exe"), "updater");
    bed.screen.player.questionAnswer = false;
    web.body = "instruct:UPGRADE%instmsg:Get version 5%URL&http://127.0.0.1/%";
    core().signIn().LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), web.host(), true);
    ASSERT_TRUE(WaitFor([&] { return bed.screen.events.contains("question:Get version 5"); }));
    bed.screen.player.messages.clear();
    EXPECT_EQ(server.connections, 0);
    // A second login replaces a dripping one without a word about it.
    web.body = kReply;
    core().signIn().LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), dripHost, true);
    ASSERT_TRUE(WaitFor([&] { return drip.received.count("POST /vexobingo/vxplay466.asp HTTP/1.1") == 2; }));
    core().signIn().LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), web.host(), true);
    ASSERT_TRUE(WaitFor([&] { return server.received.size() == 1; }));
    EXPECT_TRUE(bed.screen.player.messages.isEmpty());
}

TEST_F(WebLogin, ARememberedPasswordSignsInWithoutTheDialog)
{
    start("UN:saved#WS:" + web.host().toLatin1() + "#V6:FALSE#V7:pw#");
    web.body = kReply;
    core().ConnecttoGame1Click();
    ASSERT_TRUE(WaitFor([&] { return server.received.size() == 1; }));
    EXPECT_TRUE(server.received[0].startsWith("PQZ!G6saved#!PWpw#")) << server.received[0].constData();
    EXPECT_EQ(bed.screen.events.count("show:Tlogindialog"), 1);   // only at start-up

    start("UN:saved#WS:" + web.host().toLatin1() + "#V6:TRUE#V7:pw#");
    core().ConnecttoGame1Click();
    EXPECT_EQ(bed.screen.events.count("show:Tlogindialog"), 3);
    EXPECT_EQ(bed.screen.dialogs.login.user, "saved");
}

TEST_F(WebLogin, WebPagesOpenOnTheSiteOfTheMomentAndOnlyShortWebAddresses)
{
    start();
    SignIn& signIn = core().signIn();
    signIn.OnlineHelp1Click();   // before the web login: the compiled-in site
    web.body = kReply;   // "adminurl:http://site/"
    signIn.LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), web.host(), true);
    ASSERT_TRUE(WaitFor([&] { return signIn.directoryRead(); }));
    signIn.NewoftheDay1Click();
    signIn.OpenaTroubleTicket1Click();
    signIn.adspace1DblClick();
    QStringList& opened = bed.screen.system.opened;
    EXPECT_EQ(opened, QStringList({bed.config.defaultWebSite, "http://site/whatsnew.htm", "http://site/message.htm",
                                   "http://site/"}));
    for (const QByteArray& site : {"http://" + QByteArray(50, 's') + "/", QByteArray("file:///home/")}) {
        opened.clear();
        web.body = "adminurl:" + site + "%";
        signIn.LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), web.host(), true);
        ASSERT_TRUE(WaitFor([&] { return signIn.directory().WebBaseUrl == QLatin1String(site); }));
        signIn.AliasOkClick();   // refused: the program does not end either
        EXPECT_TRUE(opened.isEmpty() && bed.screen.system.quits == 0) << site.constData();
        EXPECT_TRUE(bed.screen.player.messages.last().endsWith(QLatin1String(site + "chalform.htm")));
    }
}
