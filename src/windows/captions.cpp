#include "shell/captions.h"

#include <QStringList>

namespace {
struct IdControl { int id; const char* control; };
const IdControl captions[] = {
    {100, "TForm1"}, {101, "Label1"}, {102, "Label6"}, {103, "s1text"}, {104, "tbtext"}, {105, "tbimage"},
    {106, "button4"}, {108, "Panel9"}, {109, "Panel4"}, {110, "Panel17"}, {111, "Panel19"}, {112, "Panel20"},
    {113, "Panel22"}, {114, "Panel23"}, {115, "Panel24"}, {116, "Panel25"}, {117, "Panel21"}, {118, "ChatQuit"},
    {119, "pllls"}, {120, "calllabel"}, {121, "label4"}, {122, "Label7"}, {123, "status"}, {124, "Connect1"},
    {126, "MarkerColor1"}, {127, "Fonts1"}, {128, "Sound1"}, {129, "CHATROOM1"}, {130, "Skins1"}, {131, "About1"},
    {132, "ConnecttoGame1"}, {133, "Quit1"}, {138, "Autodauber"}, {139, "Shape6"}, {140, "BingoMarker1"},
    {141, "Small1"}, {142, "Large1"}, {143, "TurnSoundON1"}, {144, "OFF1"}, {145, "GetNewSounds1"},
    {146, "GetFunBingos1"}, {147, "Get1"}, {149, "logo1"}, {150, "si1"}, {151, "Woody1"}, {152, "Blue1"},
    {153, "Green1"}, {154, "Classic1"}, {155, "Neon1"}, {156, "Stucco1"}, {157, "Linen1"}, {158, "Pinky1"},
    {159, "Walls1"}, {160, "Water1"}, {161, "PopUpNews1"}, {162, "ShowLastGamesWinners1"}, {163, "OnlineHelp1"},
    {164, "NewoftheDay1"}, {165, "UPDATE1"}, {166, "UpdateAllFiles1"}, {167, "OpenaTroubleTicket1"},
    {168, "About2"}, {169, "Label3"}, {170, "Label2"}, {1802, "BestCardFirst1"}, {1815, "KeyboardKeys1"},
};
const IdControl hints[] = {
    {1200, "dpresent"}, {1201, "adpresent"}, {1203, "Panel9"}, {1204, "Panel4"}, {1205, "mtext"},
    {1206, "Panel17"}, {1207, "Panel19"}, {1208, "Panel20"}, {1211, "Panel24"}, {1212, "Panel25"},
    {1214, "ChatQuit"}, {1215, "Panel22"}, {1216, "LeftCard"}, {1217, "RightCard"}, {1218, "anigrid1"},
    {1219, "anigrid2"}, {1220, "Panel23"},
};

// What a screen reader says each control is and what it is for: a name and a description
// (0: the control's caption or hint serves).
struct Reading { const char* control; int name; int description; };
const Reading readings[] = {
    {"board", 1820, 1821}, {"Label8", 1822, 1823}, {"recent", 1824, 1825}, {"button4", 0, 1826},
    {"tbimage", 0, 1827}, {"s1image", 0, 1828}, {"s2image", 0, 1829}, {"s3image", 0, 1830}, {"s4image", 0, 1831},
    {"CardLabel", 1832, 1833}, {"LeftCard", 1216, 1833}, {"RightCard", 1217, 1833}, {"cardid1", 1834, 1835},
    {"dpresent", 1836, 1200}, {"adpresent", 1837, 1201}, {"lplayers", 1838, 1839}, {"Jackpot", 1840, 1841},
    {"CallField", 1842, 1843}, {"f_credits", 1844, 1845}, {"status", 1846, 1847}, {"ProgressBar1", 1848, 1849},
    {"Label9", 1850, 1851}, {"adspace1", 1852, 1853}, {"AdSpace2", 1854, 1855}, {"anigrid1", 1856, 1218},
    {"anigrid2", 1856, 1219}, {"mChat", 1857, 1858}, {"mtext", 1859, 1860}, {"ListBox1", 1861, 1862},
    {"announcer", 1863, 1864}, {"Memo1", 1866, 1867},
};

// The other windows take their texts from their own ranges.
const IdControl windows[] = {
    {200, "Tlogindialog"}, {201, "Tlogindialog.Label4"}, {202, "Tlogindialog.Label3"}, {203, "Tlogindialog.Label1"},
    {204, "Tlogindialog.Label2"}, {205, "Tlogindialog.Button1"}, {206, "Tlogindialog.Button2"},
    {300, "TAliasConfirm"}, {301, "TAliasConfirm.Label1"}, {302, "TAliasConfirm.Label3"},
    {303, "TAliasConfirm.OKBtn"}, {304, "TAliasConfirm.CancelBtn"},
    {400, "Tgetaset"}, {401, "Tgetaset.Label1"}, {402, "Tgetaset.Label2"}, {403, "Tgetaset.Button1"},
    {500, "Tgetbings"}, {501, "Tgetbings.Label1"}, {502, "Tgetbings.Label2"}, {503, "Tgetbings.Button1"},
    {600, "Tgetcset"}, {601, "Tgetcset.Label1"}, {602, "Tgetcset.Label2"}, {603, "Tgetcset.Button1"},
    {700, "Tgifdownload.Label1"}, {800, "TForm2"}, {900, "Twinners"},
    {1000, "Tmarketdialog"}, {1001, "Tmarketdialog.ThankT"}, {1002, "Tmarketdialog.Label1"},
    {1003, "Tmarketdialog.Label2"}, {1004, "Tmarketdialog.Label3"},
    {1100, "TForm3"}, {1101, "TForm3.Label1"}, {1102, "TForm3.Label2"}, {1103, "TForm3.Label3"},
    {1104, "TForm3.Label4"}, {1105, "TForm3.Label5"}, {1106, "TForm3.Label6"}, {1107, "TForm3.Label7"},
    {1108, "TForm3.Label8"}, {1109, "TForm3.Label9"}, {1110, "TForm3.Button1"},
};
}   // namespace

void ShowCaptions(const LanguageTable& language, MainView* view)
{
    for (const auto& c : captions)
        view->setText(QLatin1String(c.control), language.text(c.id));
    for (const auto& h : hints)
        view->setHint(QLatin1String(h.control), language.text(h.id));
    view->setHint(QStringLiteral("Panel21"), HintOf(language, QStringLiteral("Panel21")));
    for (const auto& w : windows)
        view->setText(QLatin1String(w.control), language.text(w.id));
    for (const auto& r : readings)
        view->describe(QLatin1String(r.control), r.name ? language.text(r.name) : QString(),
                       language.text(r.description));
}

QString HintOf(const LanguageTable& language, const QString& control)
{
    if (control == QLatin1String("Panel21"))
        return QStringLiteral("BINGO!!!");
    for (const auto& h : hints)
        if (control == QLatin1String(h.control))
            return language.text(h.id);
    return {};
}

QStringList CaptionedControls()
{
    QStringList names{QStringLiteral("Panel21")};
    for (const auto& c : captions)
        names << QLatin1String(c.control);
    for (const auto& h : hints)
        names << QLatin1String(h.control);
    for (const auto& w : windows)
        names << QLatin1String(w.control);
    for (const auto& r : readings)
        names << QLatin1String(r.control);
    return names;
}
