// The real bingo-hall program: ready line, serving on the ports it names, clean stop.
#include "hallclient.h"
#include "hallprocess.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace hallclient;

TEST(HallProgram, ServesOnItsAnnouncedPortsAndStopsOnSigterm)
{
    QTemporaryDir dir;
    const QString accounts = dir.filePath(QStringLiteral("accounts.txt"));
    {
        QFile file(accounts);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("zoe:secret:Zippy Zoe:9.99\n");
    }
    HallProcess hall({QStringLiteral("--tick-ms"), QStringLiteral("10"), QStringLiteral("--sales-seconds"),
                      QStringLiteral("30"), QStringLiteral("--wait-seconds"), QStringLiteral("5"),
                      QStringLiteral("--seed"), QStringLiteral("3"), QStringLiteral("--accounts"), accounts});
    ASSERT_TRUE(hall.isReady()) << hall.error().toStdString();
    EXPECT_TRUE(hall.webHost().startsWith(QStringLiteral("127.0.0.1:")));

    const HttpReply directory = Post(hall.webPort(), "/vexobingo/vxplay466.asp", "username=zoe&version=466");
    EXPECT_EQ(directory.status, 200);
    EXPECT_TRUE(directory.body.contains("files:" + hall.webHost().toLatin1() + "%"));

    const QByteArray login = Request(hall.requestPort(), "PQZ!G6zoe#!PWsecret#!ADQZWIN466#!LAEN#");
    EXPECT_EQ(Field('B', login), "Zippy Zoe");
    EXPECT_EQ(Field('0', login), "9.99");

    Feed sales(hall.salesPort());
    EXPECT_EQ(sales.waitFor("PQZACKBUY", 3000), "PQZACKBUY1");

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
