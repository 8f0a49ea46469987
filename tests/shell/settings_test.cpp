// The settings file defaults.cfg (the exact line, the reader's rules, atomic and private
// writes), what start-up does with it, and the language file.
#include "coretestbed.h"
#include "shell/language.h"
#include "shell/settings.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace {

ClientSettings Read(const QByteArray& line)
{
    ClientSettings s;
    ApplySettingsLine(line, s, nullptr);
    return s;
}

}   // namespace

TEST(SettingsLine, WrittenExactlyAndReadBackButTheAliasWithAPasswordOnlyWhenToldAndSetsOnlyWithLongEnoughNames)
{
    ClientSettings s{"joe", "web:8080", "Jo", "TRUE", "FALSE", "x", "bset2", 3, "cs1", 4, "/news", "FALSE", "pw"};
    const QByteArray line = SettingsLine(s);
    EXPECT_EQ(line, "UN:joe#WS:web:8080#AL:Jo#DM:TRUE#SO:FALSE#V0:x#V1:bset2#V2:3#V3:cs1#V4:4#V5:/news#V6:FALSE#V7:pw#"
                    "V8:#V9:#");
    s.Alias.clear();   // the alias is the server's to give
    EXPECT_EQ(SettingsLine(Read(line)), SettingsLine(s));

    // user | web host | password | forget | fun-bingo set | its shout | shouts | caller
    const std::pair<QByteArray, QString> cases[] = {
        {"V6:FALSE#V7:pw#", "||pw|FALSE||0|0|"},
        {"V6:false#V7:pw#", "|||TRUE||0|0|"},
        {"V1:bs#V2:3#V4:5#V3:c#", "|||TRUE||0|0|"},
        {"V1:bst#V2:3#V4:5#V3:cs#", "|||TRUE|bst|3|5|cs"},
        {"V1:bset1#V2:x#V4:y#", "|||TRUE|bset1|1|1|"},   // hand-edited counts do not break the set
        {"V1:bset1#V4:2#", "|||TRUE|bset1|0|2|"},
        {"UN:aWS:evil#WS:good#", "aWS:evil|good||TRUE||0|0|"},   // a key inside a value is no key
        {"V6:FALSE#V7:pw#V7:stolen#V6:TRUE#", "||pw|FALSE||0|0|"},   // each key once: the first
        {"V1:bset1#V2:2147483647#V4:2147483647#", "|||TRUE|bset1|1|1|"},   // numbers out of range
        {"V1:bset1#V2:7#V4:5#", "|||TRUE|bset1|1|5|"},
        {"V1:bset1#V2:5#V4:999#", "|||TRUE|bset1|5|999|"},
        {"V1:bset1#V2:-1#V4:1000#", "|||TRUE|bset1|1|1|"},
        {"UN:" + QByteArray(255, 'x') + "#", QString(255, 'x') + "|||TRUE||0|0|"},
        {"UN:" + QByteArray(256, 'x') + "#", "|||TRUE||0|0|"},   // no "#" within 256 characters
    };
    for (const auto& [text, expected] : cases) {
        const ClientSettings r = Read(text);
        const QStringList fields = {r.UserName, r.WebHost, r.Password, r.ForgetPassword, r.FunBingoSet,
                                    QString::number(r.FunBingoIndex), QString::number(r.FunBingoCount), r.CallerSet};
        EXPECT_EQ(fields.join(QLatin1Char('|')).toStdString(), expected.toStdString()) << text.left(40).constData();
    }
}

// Whatever a server or a player put in a value, the line keeps its fields: a value cannot end
// its own field or the line, so it cannot set another key when the file is read again.
TEST(SettingsLine, NoValueCanEndItsFieldOrStartAnother)
{
    const QString hostile = QStringLiteral("/news.rtf#DM:FALSE#SO:TRUE#V6:FALSE#V7:stolen#V3:../../x#\r\nUN:evil");
    QString ClientSettings::*const fields[] = {&ClientSettings::UserName, &ClientSettings::WebHost,
                                               &ClientSettings::Alias, &ClientSettings::AutoDaub,
                                               &ClientSettings::SoundOn, &ClientSettings::V0Value,
                                               &ClientSettings::FunBingoSet, &ClientSettings::CallerSet,
                                               &ClientSettings::LastNewsUrl, &ClientSettings::ForgetPassword,
                                               &ClientSettings::Password};
    for (QString ClientSettings::*field : fields) {
        ClientSettings s{"joe", "web:8080", "Jo", "TRUE", "FALSE", "x", "bset2", 3, "cs1", 4, "/news", "FALSE", "pw"};
        s.*field = hostile;
        const QByteArray line = SettingsLine(s);
        EXPECT_EQ(line.count('#'), 15) << line.constData();
        EXPECT_FALSE(line.contains('\r') || line.contains('\n'));
        const ClientSettings r = Read(line);
        for (QString ClientSettings::*other : fields) {
            // (the password is kept only while V6 says FALSE)
            const bool forgot = field == &ClientSettings::ForgetPassword && other == &ClientSettings::Password;
            if (other != field && other != &ClientSettings::Alias && !forgot) {
                EXPECT_EQ(r.*other, s.*other) << line.constData();
            }
        }
        EXPECT_TRUE(r.FunBingoIndex == 3 && r.FunBingoCount == 4) << line.constData();
    }
}

TEST(SettingsFile, SavingIsAtomicPrivateAndEndsWithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("defaults.cfg"));
    ClientSettings s;
    s.UserName = QStringLiteral("a");
    QString error;
    ASSERT_TRUE(SaveSettings(path, s, &error)) << error.toStdString();
    auto read = [&] {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    EXPECT_EQ(read(), SettingsLine(s) + "\r\n");
    using P = QFileDevice;
    EXPECT_FALSE(QFile::permissions(path) & (P::ReadGroup | P::ReadOther | P::WriteGroup | P::WriteOther));
    // A write that fails leaves the old file whole (root can write anyway: nothing to see then).
    QFile::setPermissions(dir.path(), P::ReadOwner | P::ExeOwner);
    s.UserName = QStringLiteral("b");
    const bool written = SaveSettings(path, s, &error);
    QFile::setPermissions(dir.path(), P::ReadOwner | P::WriteOwner | P::ExeOwner);
    EXPECT_TRUE(written || read().startsWith("UN:a#"));
}

TEST(SettingsFile, StartUpReadsTheFileIntoCaptionDialogAndCardsAndRemovesOldInstallersAndSavesKeepTheirKeys)
{
    CoreTestbed bed;
    QTemporaryDir elsewhere;   // launched from another folder: the language file is found beside the program
    bed.config.languageFolder = elsewhere.path();
    bed.remake();
    bed.writeFile(QStringLiteral("defaults.cfg"), "UN:joe#DM:TRUE#SO:TRUE#V6:FALSE#V7:pw#V8:My Hall#\r\n");
    for (const char* key : {"bset", "cset", "aset"})
        for (int n = 1; n <= 21; ++n)
            bed.writeFile(QLatin1String(key) + QString::number(n) + QStringLiteral(".exe"), "x");
    bed.create();
    const RecordingScreen& screen = bed.screen;
    ASSERT_TRUE(screen.menus.language);
    EXPECT_EQ(screen.menus.title + '|' + screen.menus.language->text(133), "My Hall v466|T133");
    // No web host in the file: the compiled-in one.
    const LoginForm& form = screen.dialogs.login;
    EXPECT_EQ(form.user + '/' + form.password + '/' + form.webHost, "joe/pw/127.0.0.1:1");
    EXPECT_TRUE(form.remember && screen.dialogs.loginShown);
    EXPECT_TRUE(screen.menus.autoDaubChecked && bed.c().rack().card(1).AutoDaubOn);
    for (const char* key : {"bset", "cset", "aset"})
        EXPECT_TRUE(!QFile::exists(bed.filePath(key + QStringLiteral("20.exe")))
                    && QFile::exists(bed.filePath(key + QStringLiteral("21.exe")))) << key;
    // The server's alias is shown as it is, but written without the settings' syntax.
    const QByteArray alias = "x#V6:TRUE#V7:#DM:FALSE#SO:TRUE#V3:../../outside/#";
    bed.line(Link::Request, "PQZ!LOGINOK$05.00%0$1A01000001%1$B" + alias + "%B$5120%5");
    EXPECT_EQ(screen.status.alias, alias);
    bed.c().sounds().TurnSoundOff();   // saves
    const ClientSettings back = Read(bed.readFile(QStringLiteral("defaults.cfg")));
    EXPECT_EQ(back.WebHost + back.AutoDaub + back.SoundOn + back.Password + back.CallerSet, "127.0.0.1:1TRUEFALSEpw");
    const QString file = bed.filePath(QStringLiteral("defaults.cfg"));
    ASSERT_TRUE(QFile::remove(file) && QDir().mkdir(file));   // a file that cannot be written, even by root
    bed.c().sounds().TurnSoundOn();
    EXPECT_TRUE(screen.player.errors.size() == 1 && screen.player.errors[0].startsWith("Settings not saved: "));
}

TEST(Language, LinesFillSlotsInOrderUpTo501)
{
    LanguageTable t;
    t.parse("100 Vexo Bingo\r\nxx\r\n120 Time\n120 Second\nnot an id\n\n1600 Card \n");
    // The first text of an id used twice; spaces kept; "-" for an id no line has.
    EXPECT_EQ(t.text(100) + '|' + t.text(120) + '|' + t.text(1600) + '|' + t.text(999), "Vexo Bingo|Time|Card |-");
    QByteArray data;
    for (int i = 0; i < 600; ++i)
        data += QByteArray::number(1000 + i) + " t" + QByteArray::number(i) + "\n";
    t.parse(data);
    EXPECT_EQ(t.text(1500) + '|' + t.text(1501), "t500|-");
}

// The windows take their captions, hints and readers' texts from the language table the
// start-up read; a file in the folder current at launch comes before the one beside the
// program (which the start-up test above falls back to).
TEST(Language, StartUpHandsTheTableReadInTheLaunchFolderToTheWindows)
{
    CoreTestbed bed;
    QTemporaryDir launch;
    bed.config.languageFolder = launch.path();
    bed.remake();
    QFile file(QDir(launch.path()).filePath(QStringLiteral("english.TXT")));   // in any letter case
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("10 fr\r\n133 Quitter\r\n") > 0);
    file.close();
    bed.create();
    const std::optional<LanguageTable>& shown = bed.screen.menus.language;
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->text(10) + '|' + shown->text(133) + '|' + shown->text(1867), "fr|Quitter|-");
}
