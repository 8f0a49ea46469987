#pragma once
// The design names of the controls and windows the core addresses. A name with a
// window prefix ("Twinners.payout") is a control of that secondary window; a bare
// name is a control of the main window. The windows give their widgets these names.
#include <QString>

namespace Ctl {
inline const QString AdSpace2 = QStringLiteral("AdSpace2");
inline const QString Ani2Panel = QStringLiteral("Ani2Panel");
inline const QString Autodauber = QStringLiteral("Autodauber");
inline const QString BestCardFirst1 = QStringLiteral("BestCardFirst1");
inline const QString BingoBackground = QStringLiteral("BingoBackground");
inline const QString BingoGIF = QStringLiteral("BingoGIF");
inline const QString BottomPanel = QStringLiteral("BottomPanel");
inline const QString CallField = QStringLiteral("CallField");
inline const QString CardLabel = QStringLiteral("CardLabel");
inline const QString ChatLabel = QStringLiteral("ChatLabel");
inline const QString ChatRoom2 = QStringLiteral("ChatRoom2");
inline const QString ChatRoom3 = QStringLiteral("ChatRoom3");
inline const QString ChatRoom4 = QStringLiteral("ChatRoom4");
inline const QString ChatRoom5 = QStringLiteral("ChatRoom5");
inline const QString ChatRoom6 = QStringLiteral("ChatRoom6");
inline const QString ConnecttoGame1 = QStringLiteral("ConnecttoGame1");
inline const QString GameBackground = QStringLiteral("GameBackground");
inline const QString GridBackground = QStringLiteral("GridBackground");
inline const QString GridPanel1 = QStringLiteral("GridPanel1");
inline const QString Image10 = QStringLiteral("Image10");
inline const QString Image10a = QStringLiteral("Image10a");
inline const QString Jackpot = QStringLiteral("Jackpot");
inline const QString JoinChatRoom1 = QStringLiteral("JoinChatRoom1");
inline const QString Label5 = QStringLiteral("Label5");
inline const QString Label7 = QStringLiteral("Label7");
inline const QString Label8 = QStringLiteral("Label8");
inline const QString Label9 = QStringLiteral("Label9");
inline const QString LeftCard = QStringLiteral("LeftCard");
inline const QString ListBox1 = QStringLiteral("ListBox1");
inline const QString MultiPanel = QStringLiteral("MultiPanel");
inline const QString OnlineHelp1 = QStringLiteral("OnlineHelp1");
inline const QString Panel11 = QStringLiteral("Panel11");
inline const QString Panel18 = QStringLiteral("Panel18");
inline const QString Panel7 = QStringLiteral("Panel7");
inline const QString ProgressBar1 = QStringLiteral("ProgressBar1");
inline const QString RightCard = QStringLiteral("RightCard");
inline const QString SidePanel = QStringLiteral("SidePanel");
inline const QString Splitter2 = QStringLiteral("Splitter2");
inline const QString TAliasConfirm = QStringLiteral("TAliasConfirm");
inline const QString TAliasConfirm_Label2 = QStringLiteral("TAliasConfirm.Label2");
inline const QString TForm1 = QStringLiteral("TForm1");
inline const QString TForm2 = QStringLiteral("TForm2");
inline const QString TForm2_RichEdit1 = QStringLiteral("TForm2.RichEdit1");
inline const QString TForm3 = QStringLiteral("TForm3");
inline const QString Tlogindialog = QStringLiteral("Tlogindialog");
inline const QString Tlogindialog_CheckBox1 = QStringLiteral("Tlogindialog.CheckBox1");
inline const QString Tlogindialog_Edit1 = QStringLiteral("Tlogindialog.Edit1");
inline const QString Tlogindialog_Edit2 = QStringLiteral("Tlogindialog.Edit2");
inline const QString Tlogindialog_Edit3 = QStringLiteral("Tlogindialog.Edit3");
inline const QString Tgifdownload = QStringLiteral("Tgifdownload");
inline const QString Tgifdownload_Label2 = QStringLiteral("Tgifdownload.Label2");
inline const QString Tgifdownload_ProgressBar1 = QStringLiteral("Tgifdownload.ProgressBar1");
inline const QString Tmarketdialog = QStringLiteral("Tmarketdialog");
inline const QString TopPanel = QStringLiteral("TopPanel");
inline const QString Twinners = QStringLiteral("Twinners");
inline const QString Twinners_ListBox1 = QStringLiteral("Twinners.ListBox1");
inline const QString Twinners_WC2 = QStringLiteral("Twinners.WC2");
inline const QString Twinners_WC3 = QStringLiteral("Twinners.WC3");
inline const QString Twinners_WC4 = QStringLiteral("Twinners.WC4");
inline const QString Twinners_memo2 = QStringLiteral("Twinners.memo2");
inline const QString Twinners_payout = QStringLiteral("Twinners.payout");
inline const QString Twinners_wc1 = QStringLiteral("Twinners.wc1");
inline const QString Twinners_winbackdrop = QStringLiteral("Twinners.winbackdrop");
inline const QString adpresent = QStringLiteral("adpresent");
inline const QString adspace1 = QStringLiteral("adspace1");
inline const QString announcer = QStringLiteral("announcer");
inline const QString anigrid1 = QStringLiteral("anigrid1");
inline const QString anigrid2 = QStringLiteral("anigrid2");
inline const QString ballpanel = QStringLiteral("ballpanel");
inline const QString board = QStringLiteral("board");
inline const QString button4 = QStringLiteral("button4");
inline const QString calllabel = QStringLiteral("calllabel");
inline const QString cpanel = QStringLiteral("cpanel");
inline const QString cardid1 = QStringLiteral("cardid1");
inline const QString dpresent = QStringLiteral("dpresent");
inline const QString f_credits = QStringLiteral("f_credits");
inline const QString label4 = QStringLiteral("label4");
inline const QString lplayers = QStringLiteral("lplayers");
inline const QString machineimage = QStringLiteral("machineimage");
inline const QString rec1 = QStringLiteral("rec1");
inline const QString rec2 = QStringLiteral("rec2");
inline const QString rec3 = QStringLiteral("rec3");
inline const QString rec4 = QStringLiteral("rec4");
inline const QString rec5 = QStringLiteral("rec5");
inline const QString recent = QStringLiteral("recent");
inline const QString mChat = QStringLiteral("mChat");
inline const QString mtext = QStringLiteral("mtext");
inline const QString s1image = QStringLiteral("s1image");
inline const QString s1text = QStringLiteral("s1text");
inline const QString s2image = QStringLiteral("s2image");
inline const QString s3image = QStringLiteral("s3image");
inline const QString s4image = QStringLiteral("s4image");
inline const QString status = QStringLiteral("status");
inline const QString tbimage = QStringLiteral("tbimage");
inline const QString tbtext = QStringLiteral("tbtext");

// Card panels 1..10 ("Card1").
inline QString Card(int k) { return QStringLiteral("Card") + QString::number(k); }

// Every name the core may address: the constants above, the cards, the captioned
// controls and the set windows' controls.
bool IsKnown(const QString& name);
const QStringList& KnownNames();
}   // namespace Ctl
