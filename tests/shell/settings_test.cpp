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

TEST(SettingsLine, TheWriterMakesTheExactLineAndTheReaderTakesEveryFieldButTheAliasBack)
{
    ClientSettings s{"joe", "web:8080", "Jo", "TRUE", "FALSE", "x", "bset2", 3, "cs1", 4, "/news", "FALSE", "pw"};
    const QByteArray line = SettingsLine(s);
    EXPECT_EQ(line, "UN:joe#WS:web:8080#AL:Jo#DM:TRUE#SO:FALSE#V0:x#V1:bset2#V2:3#V3:cs1#V4:4#V5:/news#V6:FALSE#V7:pw#"
                    "V8:#V9:#");
    s.Alias.clear();   // the alias is the server's to give
    EXPECT_EQ(SettingsLine(Read(line)), SettingsLine(s));
}

TEST(SettingsLine, TheReaderKeepsAPasswordOnlyWhenToldAndSetsOnlyWithLongEnoughNames)
{
    // user | web host | password | forget | fun-bingo set | its shout | shouts | caller
    const std::pair<QByteArray, QString> cases[] = {
        {"V6:FALSE#V7:pw#", "||pw|FALSE||0|0|"},
        {"V6:false#V7:pw#", "|||TRUE||0|0|"},
        {"V1:bs#V2:3#V4:5#V3:c#", "|||TRUE||0|0|"},
        {"V1:bst#V2:3#V4:5#V3:cs#", "|||TRUE|bst|3|5|cs"},
        {"V1:bset1#V2:x#V4:y#", "|||TRUE|bset1|1|1|"},   // hand-edited counts do not break the set
        {"V1:bset1#V4:2#", "|||TRUE|bset1|0|2|"},
        {"UN:aWS:evil#WS:good#", "aWS:evil|evil||TRUE||0|0|"},   // a key inside an earlier value is found there
        {"UN:" + QByteArray(255, 'x') + "#", QString(255, 'x') + "|||TRUE||0|0|"},
        {"UN:" + QByteArray(256, 'x') + "#", "|||TRUE||0|0|"},   // no "#" within 256 characters
    };
    for (const auto& [line, expected] : cases) {
        const ClientSettings s = Read(line);
        const QStringList fields = {s.UserName, s.WebHost, s.Password, s.ForgetPassword, s.FunBingoSet,
                                    QString::number(s.FunBingoIndex), QString::number(s.FunBingoCount), s.CallerSet};
        EXPECT_EQ(fields.join(QLatin1Char('|')).toStdString(), expected.toStdString()) << line.left(40).constData();
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
    EXPECT_EQ(bed.view.text("TForm1") + '|' + bed.view.text("Quit1"), "My Hall v466|T133");
    // No web host in the file: the compiled-in one.
    EXPECT_EQ(bed.view.text("Tlogindialog.Edit1") + '/' + bed.view.text("Tlogindialog.Edit2") + '/'
                  + bed.view.text("Tlogindialog.Edit3"), "joe/pw/127.0.0.1:1");
    EXPECT_TRUE(bed.view.controls.value(QStringLiteral("Autodauber")).checked && bed.c().rack().card(1).AutoDaubOn);
    for (const char* key : {"bset", "cset", "aset"}) {
        EXPECT_FALSE(QFile::exists(bed.filePath(QLatin1String(key) + QStringLiteral("20.exe")))) << key;
        EXPECT_TRUE(QFile::exists(bed.filePath(QLatin1String(key) + QStringLiteral("21.exe")))) << key;
    }
    // The server's alias is shown as it is, but written without the settings' syntax.
    const QByteArray alias = "x#V6:TRUE#V7:#DM:FALSE#SO:TRUE#V3:../../outside/#";
    bed.line(Link::Request, "PQZ!LOGINOK$05.00%0$1A01000001%1$B" + alias + "%B$5120%5");
    EXPECT_EQ(bed.view.text(QStringLiteral("Label9")), alias);
    bed.c().sounds().TurnSoundOff();   // saves
    const ClientSettings back = Read(bed.readFile(QStringLiteral("defaults.cfg")));
    EXPECT_EQ(back.WebHost + back.AutoDaub + back.SoundOn + back.Password + back.CallerSet, "127.0.0.1:1TRUEFALSEpw");
    const QString file = bed.filePath(QStringLiteral("defaults.cfg"));
    ASSERT_TRUE(QFile::remove(file) && QDir().mkdir(file));   // a file that cannot be written, even by root
    bed.c().sounds().TurnSoundOn();
    EXPECT_TRUE(bed.view.errors.size() == 1 && bed.view.errors[0].startsWith("Settings not saved: "));
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

// Every text of the language table lands on its own control: captions and window texts
// by id, hints from 1200 on ("T<id>" in the test's language file).
TEST(Captions, EveryIdLandsOnItsOwnControl)
{
    CoreTestbed bed;
    bed.create();
    const QStringList map = QStringLiteral(
        "100:TForm1 101:Label1 102:Label6 103:s1text 104:tbtext 105:tbimage 106:button4 108:Panel9 109:Panel4 "
        "110:Panel17 111:Panel19 112:Panel20 113:Panel22 114:Panel23 115:Panel24 116:Panel25 117:Panel21 "
        "118:ChatQuit 119:pllls 120:calllabel 121:label4 122:Label7 123:status 124:Connect1 126:MarkerColor1 "
        "127:Fonts1 128:Sound1 129:CHATROOM1 130:Skins1 131:About1 132:ConnecttoGame1 133:Quit1 138:Autodauber "
        "139:Shape6 140:BingoMarker1 141:Small1 142:Large1 143:TurnSoundON1 144:OFF1 145:GetNewSounds1 "
        "146:GetFunBingos1 147:Get1 149:logo1 150:si1 151:Woody1 152:Blue1 153:Green1 154:Classic1 155:Neon1 "
        "156:Stucco1 157:Linen1 158:Pinky1 159:Walls1 160:Water1 161:PopUpNews1 162:ShowLastGamesWinners1 "
        "163:OnlineHelp1 164:NewoftheDay1 165:UPDATE1 166:UpdateAllFiles1 167:OpenaTroubleTicket1 168:About2 "
        "169:Label3 170:Label2 1200:dpresent 1201:adpresent 1203:Panel9 1204:Panel4 1205:mtext 1206:Panel17 "
        "1207:Panel19 1208:Panel20 1211:Panel24 1212:Panel25 1214:ChatQuit 1215:Panel22 1216:LeftCard "
        "1217:RightCard 1218:anigrid1 1219:anigrid2 1220:Panel23 200:Tlogindialog 201:Tlogindialog.Label4 "
        "202:Tlogindialog.Label3 203:Tlogindialog.Label1 204:Tlogindialog.Label2 205:Tlogindialog.Button1 "
        "206:Tlogindialog.Button2 300:TAliasConfirm 301:TAliasConfirm.Label1 302:TAliasConfirm.Label3 "
        "303:TAliasConfirm.OKBtn 304:TAliasConfirm.CancelBtn 400:Tgetaset 401:Tgetaset.Label1 "
        "402:Tgetaset.Label2 403:Tgetaset.Button1 500:Tgetbings 501:Tgetbings.Label1 502:Tgetbings.Label2 "
        "503:Tgetbings.Button1 600:Tgetcset 601:Tgetcset.Label1 602:Tgetcset.Label2 603:Tgetcset.Button1 "
        "700:Tgifdownload.Label1 800:TForm2 900:Twinners 1000:Tmarketdialog 1001:Tmarketdialog.ThankT "
        "1002:Tmarketdialog.Label1 1003:Tmarketdialog.Label2 1004:Tmarketdialog.Label3 1100:TForm3 "
        "1101:TForm3.Label1 1102:TForm3.Label2 1103:TForm3.Label3 1104:TForm3.Label4 1105:TForm3.Label5 "
        "1106:TForm3.Label6 1107:TForm3.Label7 1108:TForm3.Label8 1109:TForm3.Label9 1110:TForm3.Button1").split(' ');
    ASSERT_EQ(map.size(), 124);
    for (const QString& pair : map) {
        const int id = pair.section(QLatin1Char(':'), 0, 0).toInt();
        const QString control = pair.section(QLatin1Char(':'), 1);
        const bool rewritten = QStringList{"TForm1", "button4", "status"}.contains(control);   // by the start-up
        const QString shown = id >= 1200 ? bed.view.c(control).hint : bed.view.text(control);
        EXPECT_TRUE(shown == QStringLiteral("T%1").arg(id) || (rewritten && id < 1200)) << control.toStdString();
    }
}
