// The settings file: the exact line, the reader's rules, atomic and private writes.
#include "coretestbed.h"
#include "shell/language.h"
#include "shell/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

ClientSettings Read(const QByteArray& line)
{
    ClientSettings s;
    ApplySettingsLine(line, s, nullptr);
    return s;
}

TEST(SettingsLine, WriterProducesTheExactSequence)
{
    ClientSettings s;
    s.UserName = "joe";
    s.WebHost = "web:8080";
    s.Alias = "Jo";
    s.AutoDaub = "TRUE";
    s.SoundOn = "FALSE";
    s.V0Value = "x";
    s.FunBingoSet = "bset2";
    s.FunBingoIndex = 3;
    s.CallerSet = "cs1";
    s.FunBingoCount = 4;
    s.LastNewsUrl = "/news";
    s.ForgetPassword = "FALSE";
    s.Password = "pw";
    EXPECT_EQ(SettingsLine(s),
              QByteArray("UN:joe#WS:web:8080#AL:Jo#DM:TRUE#SO:FALSE#V0:x#V1:bset2#V2:3#V3:cs1#V4:4#V5:/news#V6:FALSE#V7:pw#V8:#V9:#"));
}

TEST(SettingsLine, RoundTripRestoresEveryFieldTheReaderTakes)
{
    ClientSettings s;
    s.UserName = "player123";
    s.WebHost = "127.0.0.1:48080";
    s.Alias = "NotReadBack";
    s.AutoDaub = "TRUE";
    s.SoundOn = "TRUE";
    s.V0Value = "keep";
    s.FunBingoSet = "bset3";
    s.FunBingoIndex = 2;
    s.CallerSet = "cs2";
    s.FunBingoCount = 5;
    s.LastNewsUrl = "http://h/news.rtf";
    s.ForgetPassword = "FALSE";
    s.Password = "secret";
    const ClientSettings r = Read(SettingsLine(s));
    EXPECT_EQ(r.UserName, s.UserName);
    EXPECT_EQ(r.WebHost, s.WebHost);
    EXPECT_EQ(r.Alias, QString());
    EXPECT_EQ(r.AutoDaub, s.AutoDaub);
    EXPECT_EQ(r.SoundOn, s.SoundOn);
    EXPECT_EQ(r.V0Value, s.V0Value);
    EXPECT_EQ(r.FunBingoSet, s.FunBingoSet);
    EXPECT_EQ(r.FunBingoIndex, 2);
    EXPECT_EQ(r.CallerSet, s.CallerSet);
    EXPECT_EQ(r.FunBingoCount, 5);
    EXPECT_EQ(r.LastNewsUrl, s.LastNewsUrl);
    EXPECT_EQ(r.ForgetPassword, QStringLiteral("FALSE"));
    EXPECT_EQ(r.Password, QStringLiteral("secret"));
}

TEST(SettingsReader, PasswordIsKeptOnlyWhenForgetIsExactlyFalse)
{
    EXPECT_EQ(Read("V6:FALSE#V7:pw#").Password, QStringLiteral("pw"));
    for (const QByteArray& line : {QByteArray("V6:TRUE#V7:pw#"), QByteArray("V7:pw#"), QByteArray("V6:false#V7:pw#")}) {
        const ClientSettings s = Read(line);
        EXPECT_TRUE(s.Password.isEmpty()) << line.constData();
        EXPECT_EQ(s.ForgetPassword, QStringLiteral("TRUE")) << line.constData();
    }
}

TEST(SettingsReader, FunBingoAndCallerLengthRules)
{
    ClientSettings s = Read("V1:bs#V2:3#V4:5#V3:c#");
    EXPECT_TRUE(s.FunBingoSet.isEmpty());
    EXPECT_EQ(s.FunBingoIndex, 0);
    EXPECT_EQ(s.FunBingoCount, 0);
    EXPECT_TRUE(s.CallerSet.isEmpty());
    s = Read("V1:bst#V2:3#V4:5#V3:cs#");
    EXPECT_EQ(s.FunBingoSet, QStringLiteral("bst"));
    EXPECT_EQ(s.FunBingoCount, 5);
    EXPECT_EQ(s.FunBingoIndex, 3);
    EXPECT_EQ(s.CallerSet, QStringLiteral("cs"));
    // A hand-edited count that is not a number does not break the set.
    s = Read("V1:bset1#V2:x#V4:y#");
    EXPECT_EQ(s.FunBingoCount, 1);
    EXPECT_EQ(s.FunBingoIndex, 1);
}

TEST(SettingsReader, ValueLookupIsUnanchoredAndBounded)
{
    // A key text inside an earlier value is found there first.
    EXPECT_EQ(SettingValue("WS:", "UN:aWS:evil#WS:good#"), QByteArray("evil"));
    // No "#" within 256 characters: empty.
    EXPECT_EQ(SettingValue("UN:", "UN:" + QByteArray(256, 'x') + "#"), QByteArray());
    EXPECT_EQ(SettingValue("UN:", "UN:" + QByteArray(255, 'x') + "#"), QByteArray(255, 'x'));
    EXPECT_EQ(SettingValue("ZZ:", "UN:a#"), QByteArray());
}

TEST(SettingsFile, SaveIsAtomicPrivateAndEndsWithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("defaults.cfg");
    ClientSettings s;
    s.UserName = "a";
    QString error;
    ASSERT_TRUE(SaveSettings(path, s, &error)) << error.toStdString();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), SettingsLine(s) + "\r\n");
    EXPECT_EQ(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther), QFileDevice::Permissions());
    // A failed write leaves the old file whole.
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    s.UserName = "b";
    const bool rootCanWrite = SaveSettings(path, s, &error);
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!rootCanWrite) {
        QFile again(path);
        again.open(QIODevice::ReadOnly);
        EXPECT_TRUE(again.readAll().startsWith("UN:a#"));
    }
}

TEST(SettingsFile, StartUpReadsTheFileAndSetsTheCaption)
{
    CoreTestbed bed;
    bed.writeFile("defaults.cfg", "UN:joe#WS:h:1#DM:TRUE#SO:TRUE#V6:FALSE#V7:pw#V8:My Hall#\r\n");
    bed.create();
    EXPECT_EQ(bed.c().Settings.UserName, QStringLiteral("joe"));
    EXPECT_EQ(bed.c().Settings.Password, QStringLiteral("pw"));
    EXPECT_EQ(bed.view.text("TForm1"), QStringLiteral("My Hall v466"));
    // Automatic daubing restored: swatch, menu item and cards.
    EXPECT_TRUE(bed.view.c("Autodauber").checked);
    EXPECT_TRUE(bed.c().Cards[1].AutoDaubOn);
}

TEST(SettingsFile, StartUpRemovesTwentyInstallersOfEachKind)
{
    CoreTestbed bed;
    for (const char* key : {"bset", "cset", "aset"})
        for (int n = 1; n <= 21; ++n)
            bed.writeFile(QString::fromLatin1(key) + QString::number(n) + ".exe", "x");
    bed.create();
    for (const char* key : {"bset", "cset", "aset"}) {
        EXPECT_FALSE(QFile::exists(bed.filePath(QString::fromLatin1(key) + "20.exe")));
        EXPECT_TRUE(QFile::exists(bed.filePath(QString::fromLatin1(key) + "21.exe")));
    }
}

TEST(Language, LinesFillSlotsByPosition)
{
    LanguageTable t;
    t.parse("100 Vexo Bingo\r\nxx\r\n120 Time\n120 Second\nnot an id\n\n1600 Card \n");
    EXPECT_EQ(t.text(100), QStringLiteral("Vexo Bingo"));
    EXPECT_EQ(t.text(120), QStringLiteral("Time"));   // first of a duplicated id
    EXPECT_EQ(t.text(1600), QStringLiteral("Card "));
    EXPECT_EQ(t.text(999), QStringLiteral("-"));
}

TEST(Language, AtMost501LinesAreRead)
{
    QByteArray data;
    for (int i = 0; i < 600; ++i)
        data += QByteArray::number(1000 + i) + " t" + QByteArray::number(i) + "\n";
    LanguageTable t;
    t.parse(data);
    EXPECT_EQ(t.text(1500), QStringLiteral("t500"));
    EXPECT_EQ(t.text(1501), QStringLiteral("-"));
}

TEST(Language, MissingFileTurnsEveryCaptionIntoDash)
{
    CoreTestbed bed;
    QFile::remove(bed.filePath("English.txt"));
    bed.create();
    EXPECT_EQ(bed.view.text("Quit1"), QStringLiteral("-"));
    EXPECT_EQ(bed.view.text("Tlogindialog"), QStringLiteral("-"));
    EXPECT_EQ(bed.view.c("Panel21").hint, QStringLiteral("BINGO!!!"));
    EXPECT_EQ(bed.c().LanguageCode, QStringLiteral("-"));
}

TEST(Language, ProgramFolderIsTheFallbackWhenLaunchedElsewhere)
{
    CoreTestbed bed;
    QTemporaryDir elsewhere;
    bed.c().Config.languageFolder = elsewhere.path();
    bed.create();
    EXPECT_EQ(bed.view.text("Quit1"), QStringLiteral("T133"));
    EXPECT_EQ(bed.c().LanguageCode, QStringLiteral("en"));
}

}   // namespace
