#include "shell/controlnames.h"

#include "shell/captions.h"

#include <QSet>
#include <QStringList>

namespace Ctl {

const QStringList& KnownNames()
{
    static const QStringList names = [] {
        QStringList all = {
            AdSpace2, Ani2Panel, Autodauber, BingoBackground, BingoGIF, BottomPanel, CallField, CardLabel, ChatLabel,
            ChatRoom2, ChatRoom3, ChatRoom4, ChatRoom5, ChatRoom6, ConnecttoGame1, GameBackground, GridBackground,
            GridPanel1, Image10, Image10a, Jackpot, JoinChatRoom1, Label5, Label7, Label8, Label9, LeftCard, ListBox1,
            MultiPanel, OnlineHelp1, Panel11, Panel18, Panel7, ProgressBar1, RightCard, SidePanel, Splitter2,
            TAliasConfirm, TAliasConfirm_Label2, TForm1, TForm2, TForm2_RichEdit1, TForm3, Tlogindialog,
            Tlogindialog_CheckBox1, Tlogindialog_Edit1, Tlogindialog_Edit2, Tlogindialog_Edit3, Tgifdownload,
            Tgifdownload_Label2, Tgifdownload_ProgressBar1, Tmarketdialog, TopPanel, Twinners, Twinners_ListBox1,
            Twinners_WC2, Twinners_WC3, Twinners_WC4, Twinners_memo2, Twinners_payout, Twinners_wc1,
            Twinners_winbackdrop, adpresent, adspace1, anigrid1, anigrid2, ballpanel, board, button4, calllabel,
            cardid1, cpanel, dpresent, f_credits, label4, lplayers, machineimage, mChat, mtext, rec1, rec2, rec3, rec4,
            rec5, recent, s1image, s1text, s2image, s3image, s4image, status, tbimage, tbtext,
        };
        for (int k = 1; k <= 10; ++k)
            all << Card(k) << Card(k) + QStringLiteral(".ticketid");
        for (const char* window : {"Tgetcset", "Tgetbings", "Tgetaset"})
            for (const char* control : {"", ".Button1", ".ListBox1", ".Label1", ".ProgressBar1"})
                all << QLatin1String(window) + QLatin1String(control);
        all << CaptionedControls();
        all.removeDuplicates();
        return all;
    }();
    return names;
}

bool IsKnown(const QString& name)
{
    static const QSet<QString> known(KnownNames().begin(), KnownNames().end());
    return known.contains(name);
}

}   // namespace Ctl
