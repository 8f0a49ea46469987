// The real bingo-hall program: ready line, serving on the ports it names, clean stop.
#include "hallclient.h"
#include "hallprocess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace hallclient;

TEST(HallProgram, ServesItsAccountsOnItsAnnouncedPortsAndStopsOnSigterm)
{
    QTemporaryDir dir;
    const QString accounts = dir.filePath(QStringLiteral("accounts.txt"));
    // Comments and blank lines are skipped, CR LF endings read, a reason may hold colons, and
    // a line replaces the built-in account of the same name.
    WriteFile(accounts, "# extra players\n\nzoe:secret:Zippy Zoe:9.99\nann:pw:Annie:12.5\npenny:pw:Penny:0.05\n"
                        "rich:pw:Rich:250\r\nbob:pw:Bob:0:Sorry Account is closed: see you\r\n"
                        "demo:other:Demo Two:1.00\n");
    HallProcess hall({QStringLiteral("--tick-ms"), QStringLiteral("10"), QStringLiteral("--sales-seconds"),
                      QStringLiteral("30"), QStringLiteral("--wait-seconds"), QStringLiteral("5"),
                      QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--accounts"), accounts});
    ASSERT_TRUE(hall.isReady()) << hall.error().toStdString();
    EXPECT_TRUE(hall.webHost().startsWith(QStringLiteral("127.0.0.1:")));

    const HttpReply directory = Http(hall.webPort(), {PostText("/vexobingo/vxplay466.asp", "username=zoe")});
    EXPECT_EQ(directory.status, 200);
    EXPECT_TRUE(directory.body.contains("files:" + hall.webHost().toLatin1() + "%"));

    ExpectReplies(hall.requestPort(), {
        {Login("zoe", "secret"), "PQZ!LOGINOK$A%A$BZippy Zoe%B$09.99%0"},
        {Login("ann", "pw"), "PQZ!LOGINOK$A%A$BAnnie%B$012.50%0"},
        {Login("penny", "pw"), "PQZ!LOGINOK$A%A$BPenny%B$00.05%0"},
        {Login("rich", "pw"), "PQZ!LOGINOK$A%A$BRich%B$0250.00%0"},
        {Login("bob", "pw"), "PQZ!LOGINNOSorry Account is closed: see you\r\n"},
        {Login("demo", "bingo"), "PQZ!LOGINPW\r\n"},
        {Login("demo", "other"), "PQZ!LOGINOK$A%A$BDemo Two%B$01.00%0"},
    });

    Feed sales(hall.salesPort());
    EXPECT_EQ(sales.waitFor("PQZACKBUY"), "PQZACKBUY1");
    EXPECT_EQ(hall.terminate(), 0);
}

TEST(HallProgram, RefusesBadOptionsAndBusyPorts)
{
    HallProcess bad({QStringLiteral("--tick-ms"), QStringLiteral("fast")}, 5000);
    EXPECT_FALSE(bad.isReady());
    EXPECT_TRUE(bad.error().contains(QStringLiteral("--tick-ms"))) << bad.error().toStdString();

    HallProcess first;
    ASSERT_TRUE(first.isReady()) << first.error().toStdString();
    HallProcess second({QStringLiteral("--web-port"), QString::number(first.webPort())}, 5000);
    EXPECT_FALSE(second.isReady());
    EXPECT_TRUE(second.error().contains(QStringLiteral("web port"))) << second.error().toStdString();
}
