// The web login: the POST, the service directory and the three failures.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"
#include "shell/directory.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kReply =
    "instruct:OK%instmsg:%URL&http://127.0.0.1/%chatip1:10.0.0.1%chatport1:47001%chatname1:Main Hall%"
    "chatip2:10.0.0.2%chatport2:47002%chatname2:Night Owls%ChatOK:0%newsurl:/news/news.rtf%"
    "download:http://h/update/%downfile:upd%imageurl:img:1%adminurl:http://site/%files:files:2%"
    "logo:mylogo.gif%adspace2:ad2.gif%winnergif:wb.gif%";

TEST(Directory, ParsesEveryKeyAndLeavesMissingRoomsEmpty)
{
    ServiceDirectory d;
    d.parse(kReply);
    EXPECT_EQ(d.Instruction, QStringLiteral("OK"));
    EXPECT_EQ(d.GameServerHost, QStringLiteral("127.0.0.1"));
    EXPECT_EQ(d.Rooms[1].Address, QStringLiteral("10.0.0.1"));
    EXPECT_EQ(d.Rooms[2].Port, QStringLiteral("47002"));
    EXPECT_EQ(d.Rooms[2].Name, QStringLiteral("Night Owls"));
    EXPECT_TRUE(d.Rooms[3].Address.isEmpty());
    EXPECT_TRUE(d.Rooms[6].Name.isEmpty());
    EXPECT_TRUE(d.ChatAllowed);
    EXPECT_EQ(d.NewsUrl, QStringLiteral("/news/news.rtf"));
    EXPECT_EQ(d.WebBaseUrl, QStringLiteral("http://site/"));
    EXPECT_EQ(d.FilesHost, QStringLiteral("files:2"));
    EXPECT_EQ(d.ImageHost, QStringLiteral("img:1"));
    EXPECT_EQ(d.LogoImage, QStringLiteral("mylogo.gif"));
    EXPECT_EQ(d.WinnersImage, QStringLiteral("wb.gif"));
}

TEST(Directory, ChatAllowedOnlyForZero)
{
    ServiceDirectory d;
    d.parse("ChatOK:1%");
    EXPECT_FALSE(d.ChatAllowed);
    d.parse("nothing");
    EXPECT_FALSE(d.ChatAllowed);
    d.parse("ChatOK:");
    EXPECT_FALSE(d.ChatAllowed);
}

TEST(Directory, ValueLookupRules)
{
    EXPECT_EQ(DirectoryValue("logo:", "x:" + QByteArray(1023, 'a') + "%logo:l.gif%"), QByteArray("l.gif"));
    EXPECT_EQ(DirectoryValue("logo:", "logo:" + QByteArray(1023, 'a') + "%"), QByteArray(1023, 'a'));
    EXPECT_EQ(DirectoryValue("logo:", "logo:" + QByteArray(1024, 'a') + "%"), QByteArray());
    // A key inside an earlier value is found there first.
    EXPECT_EQ(DirectoryValue("files:", "instmsg:see files:here%files:real%"), QByteArray("here"));
    EXPECT_EQ(DirectoryValue("URL&http://", "URL&http://host.example/%", "/%"), QByteArray("host.example"));
    EXPECT_EQ(DirectoryValue("URL&http://", "URL&http://host%", "/%"), QByteArray());
}

struct WebLoginTest : ::testing::Test {
    MiniHttp web;
    ScriptedPeer request;
    ScriptedPeer sales;
    std::unique_ptr<CoreTestbed> bed;
    void SetUp() override
    {
        bed = std::make_unique<CoreTestbed>(20, request.port(), request.port(), sales.port());
        bed->create();
    }
    GameCore& core() { return bed->c(); }
};

TEST_F(WebLoginTest, PostsPlayerIdThenConnectsToTheNamedGameServer)
{
    web.body = kReply;
    core().LoginButton1Click(QStringLiteral("player1"), QStringLiteral("pw"), web.host(), true);
    ASSERT_TRUE(WaitFor([&] { return request.received.size() == 1; }));
    ASSERT_EQ(web.requests.size(), 1);
    const QByteArray& req = web.requests[0];
    EXPECT_TRUE(req.startsWith("POST /vexobingo/vxplay466.asp HTTP/1.1\r\n")) << req.constData();
    EXPECT_TRUE(req.endsWith("\r\n\r\nusername=player1&version=466")) << req.constData();
    EXPECT_TRUE(request.received[0].startsWith("PQZ!G6player1#!PWpw#!AD"));
    EXPECT_EQ(core().DirectoryRead, 1);
    EXPECT_EQ(bed->view.text("JoinChatRoom1"), QStringLiteral("Main Hall"));
    EXPECT_EQ(bed->view.text("ChatRoom2"), QStringLiteral("Night Owls"));
    EXPECT_EQ(bed->view.text("ChatRoom3"), QString());
    EXPECT_EQ(bed->view.text("OnlineHelp1"), QStringLiteral("http://site/"));
    EXPECT_TRUE(bed->view.visible("Jackpot"));
    // The button saved V6 FALSE before the login copied the new password in.
    const QByteArray cfg = bed->readFile("defaults.cfg");
    EXPECT_TRUE(cfg.contains("#V6:FALSE#V7:#")) << cfg.constData();
}

TEST_F(WebLoginTest, EachHttpFailureShowsItsMessageAndTheDialogAgain)
{
    // Request failed: the server answers with an error status.
    web.status = 500;
    core().WebLogin("p", "w", web.host());
    ASSERT_TRUE(WaitFor([&] { return !bed->view.messages.isEmpty(); }));
    EXPECT_EQ(bed->view.messages.last(), QStringLiteral("HTTP Communications Failure: Please try Again"));
    EXPECT_TRUE(bed->view.visible("Tlogindialog"));

    // Connection failed: nobody listens.
    quint16 dead;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        dead = probe.serverPort();
    }
    core().WebLogin("p", "w", "127.0.0.1:" + QString::number(dead));
    ASSERT_TRUE(WaitFor([&] { return bed->view.messages.size() == 2; }));
    EXPECT_EQ(bed->view.messages.last(), QStringLiteral("HTTP Connection Failed: Please try Again"));

    // Host name not found.
    core().WebLogin("p", "w", "no-such-host.invalid");
    ASSERT_TRUE(WaitFor([&] { return bed->view.messages.size() == 3; }, 15000));
    EXPECT_EQ(bed->view.messages.last(), QStringLiteral("HTTP Invalid Host Error: Please try Again"));
    EXPECT_TRUE(bed->view.visible("Tlogindialog"));
    EXPECT_EQ(request.connections, 0);
    EXPECT_EQ(core().DirectoryRead, 0);
}

TEST_F(WebLoginTest, RememberedPasswordSignsInWithoutTheDialog)
{
    web.body = kReply;
    core().Settings.UserName = "saved";
    core().Settings.Password = "pw";
    core().Settings.WebHost = web.host();
    core().Settings.ForgetPassword = "FALSE";
    core().ConnecttoGame1Click();
    ASSERT_TRUE(WaitFor([&] { return request.received.size() == 1; }));
    EXPECT_TRUE(request.received[0].startsWith("PQZ!G6saved#!PWpw#"));
    EXPECT_FALSE(bed->view.shownWindows.contains("Tlogindialog"));

    core().Settings.ForgetPassword = "TRUE";
    core().ConnecttoGame1Click();
    EXPECT_TRUE(bed->view.shownWindows.contains("Tlogindialog"));
    EXPECT_EQ(bed->view.text("Tlogindialog.Edit1"), QStringLiteral("saved"));
}

}   // namespace
