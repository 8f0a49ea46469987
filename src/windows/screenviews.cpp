#include "windows/screenviews.h"

#include "shell/language.h"
#include "windows/boardwidget.h"
#include "windows/captions.h"
#include "windows/cardwidgets.h"
#include "windows/limitswindows.h"
#include "windows/mainwindow.h"
#include "windows/viewhub.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

QString Name(const char* name) { return QLatin1String(name); }

class StatusBand : public StatusView {
public:
    StatusBand(MainWindow* main, ViewHub* hub) : main_(main), hub_(hub) {}
    void showStatus(const QString& text) override { hub_->setText(Name("status"), text); }
    void showNotice(const QString& notice) override { hub_->setStatusNotice(notice); }
    void showConnectAttempts(int attempts) override { hub_->setProgress(Name("ProgressBar1"), attempts); }
    void showAlias(const QString& alias) override { hub_->setText(Name("Label9"), alias); }
    void announce(const QString& text) override { hub_->announce(text); }
    // The newest line first; the memo keeps the last kLogLines.
    void log(const QString& line) override
    {
        QPlainTextEdit* memo = main_->memo();
        if (!memo || !memo->isVisible())
            return;
        QTextDocument* document = memo->document();
        QTextCursor top(document);
        top.insertText(line + QLatin1Char('\n'));
        while (document->blockCount() > kLogLines + 1) {
            QTextCursor last(document->lastBlock().previous());
            last.select(QTextCursor::BlockUnderCursor);
            last.removeSelectedText();
        }
    }
    static constexpr int kLogLines = 500;

private:
    MainWindow* main_;
    ViewHub* hub_;
};

class GameFigures : public FiguresView {
public:
    explicit GameFigures(ViewHub* hub) : hub_(hub) {}
    void showFigures() override
    {
        for (const char* c : {"label4", "Label7", "Jackpot", "f_credits"})
            hub_->setVisible(Name(c), true);
    }
    void showPlayers(const QString& players) override { hub_->setText(Name("lplayers"), players); }
    void showJackpot(const QString& jackpot) override { hub_->setText(Name("Jackpot"), jackpot); }
    void showBalance(const Money& balance) override { hub_->setText(Name("f_credits"), balance.text()); }
    void showCountdown(int seconds) override { hub_->setText(Name("CallField"), CountdownText(seconds)); }
    void showCallCount(int calls) override { hub_->setText(Name("CallField"), QString::number(calls)); }
    void showCallCaption(const QString& caption) override { hub_->setText(Name("calllabel"), caption); }

private:
    ViewHub* hub_;
};

class ShopControls : public ShopView {
public:
    explicit ShopControls(ViewHub* hub) : hub_(hub) {}
    void showFaceChoice(bool shown) override
    {
        for (const char* c : {"s1image", "s2image", "s3image", "s4image", "s1text"})
            hub_->setVisible(Name(c), shown);
    }
    void showBuy(bool shown) override
    {
        for (const char* c : {"tbimage", "tbtext", "AutoBuyGames", "AutoBuy"})
            hub_->setVisible(Name(c), shown);
    }
    void enableCardButtons(bool enabled) override
    {
        for (const char* c : {"s1image", "s2image", "s3image", "s4image", "tbimage", "AutoBuy"})
            hub_->setEnabled(Name(c), enabled);
    }
    void showClaim(bool shown) override { hub_->setVisible(Name("button4"), shown); }
    void enableClaim(bool enabled) override { hub_->setEnabled(Name("button4"), enabled); }
    void showClaimWon(bool won) override
    {
        hub_->setText(Name("button4"), won ? QStringLiteral("Winner!") : QStringLiteral("Bingo!"));
    }
    void showButtonColour(Colour colour) override
    {
        for (const char* c : {"button4", "tbimage", "s1image", "s2image", "s3image", "s4image"})
            hub_->setFaceColour(Name(c), colour);
    }
    void showDaubColour(Colour colour) override { hub_->setFaceColour(Name("dpresent"), colour); }
    void showAutoDaubColour(Colour colour) override { hub_->setFaceColour(Name("adpresent"), colour); }

private:
    ViewHub* hub_;
};

class CardTable : public CardTableView {
public:
    CardTable(MainWindow* main, ViewHub* hub) : main_(main), hub_(hub) {}
    void showTicketName(int card, const QString& name) override
    {
        if (CardPanel* panel = main_->cardPanel(card))
            panel->card()->setTicketName(name);
    }
    void placeCard(int card, int column, int row) override
    {
        CardPanel* panel = main_->cardPanel(card);
        if (!panel)
            return;
        const QPoint at = CardPlace(column, row);
        panel->move(at);
        panel->show();
        panel->raise();
    }
    void hideCard(int card) override
    {
        if (CardPanel* panel = main_->cardPanel(card))
            panel->hide();
    }
    void showTable(bool shown) override
    {
        if (shown)
            main_->widenCardTable();
        hub_->setVisible(Name("GridPanel1"), shown);
    }
    void showSidePanel(bool shown) override { hub_->setVisible(Name("Panel18"), shown); }
    void showPageArrows(bool left, bool right) override
    {
        hub_->setVisible(Name("LeftCard"), left);
        hub_->setVisible(Name("RightCard"), right);
    }
    void showPageNumber(int page) override { hub_->setText(Name("CardLabel"), QString::number(page)); }
    void showCardId(const QString& shortId) override { hub_->setText(Name("cardid1"), shortId); }
    void redrawCard(int card) override
    {
        if (CardPanel* panel = main_->cardPanel(card))
            panel->card()->redrawFaces();
    }
    // The table redraws the cards and the board after it (Refresh1Click).
    void showLargeNumbers(bool large) override { SetLargeNumbers(large); }
    void showDauberCursor(bool dauber) override
    {
        const QCursor cursor = dauber && main_->dauberLoaded() ? main_->dauberCursor() : QCursor(Qt::ArrowCursor);
        for (int k = 1; k <= 6; ++k)
            if (CardPanel* panel = main_->cardPanel(k))
                panel->card()->setFaceCursor(cursor);
    }

private:
    MainWindow* main_;
    ViewHub* hub_;
};

class CallDisplay : public CallView, public PictureView {
public:
    CallDisplay(MainWindow* main, ViewHub* hub) : main_(main), hub_(hub) {}
    void redrawBoard() override
    {
        if (main_->board())
            main_->board()->update();
    }
    void showBoard(bool shown) override
    {
        for (const char* c : {"Panel11", "recent", "board", "anigrid1"})
            hub_->setVisible(Name(c), shown);
    }
    void showRecentCalls(const std::array<int, 5>& numbers) override
    {
        for (int k = 0; k < 5; ++k) {
            const int n = numbers[size_t(k)];
            hub_->setText(Strip(k), n >= 1 && n <= 75 ? ColumnLetter(n) + QString::number(n) : QStringLiteral("."));
        }
    }
    void clearRecentCalls() override
    {
        for (int k = 0; k < 5; ++k)
            hub_->setText(Strip(k), QString());
    }
    void rollBall(int number) override
    {
        hub_->setGeometry(Name("Image10"), -10, -4, 127, 100);
        hub_->setVisible(Name("Image10"), true);
        const std::pair<const char*, QString> labels[] = {{"Label5", ColumnLetter(number)},
                                                          {"Label8", QString::number(number)}};
        for (const auto& [label, text] : labels) {
            hub_->setVisible(Name(label), false);
            hub_->setText(Name(label), text);
            hub_->setFontColour(Name(label), kBlack);
        }
    }
    void landBall() override
    {
        restBall();
        hub_->setVisible(Name("Label5"), true);
        hub_->setVisible(Name("Label8"), true);
    }
    void restBall() override
    {
        hub_->setGeometry(Name("Image10"), -10, -4, 0, 0);
        hub_->setVisible(Name("Image10"), false);
        hub_->setVisible(Name("Image10a"), true);
    }
    void clearBallNumber() override
    {
        hub_->setText(Name("Label5"), QString());
        hub_->setText(Name("Label8"), QString());
    }
    void showMachine(bool shown) override { hub_->setVisible(Name("Panel7"), shown); }
    void showDrum(bool shown) override { hub_->setVisible(Name("Ani2Panel"), shown); }
    void showBallWindow(bool shown) override { hub_->setVisible(Name("ballpanel"), shown); }
    void showBanner(bool shown) override { hub_->setVisible(Name("BingoGIF"), shown); }
    void showAdvert(bool shown) override { hub_->setVisible(Name("AdSpace2"), shown); }
    void showLogo(bool shown) override { hub_->setVisible(Name("adspace1"), shown); }

    bool showPicture(Picture place, const QString& path) override
    {
        switch (place) {
        case Picture::Logo: return hub_->loadPicture(Name("adspace1"), path);
        case Picture::Advert: return hub_->loadPicture(Name("AdSpace2"), path);
        case Picture::BingoBanner: return hub_->loadPicture(Name("BingoGIF"), path);
        case Picture::Pattern:
            return hub_->loadPicture(Name("anigrid1"), path) & hub_->loadPicture(Name("anigrid2"), path);
        case Picture::Ball: return hub_->loadPicture(Name("Image10"), path);
        case Picture::BallLanded: return hub_->loadPicture(Name("Image10a"), path);
        case Picture::WinnersBackdrop: return hub_->loadPicture(Name("Twinners.winbackdrop"), path);
        case Picture::SkinFrame: return hub_->loadTiles({"TopPanel", "SidePanel", "BottomPanel"}, path);
        case Picture::SkinBackground:
            return hub_->loadTiles({"GridBackground", "GameBackground", "BingoBackground"}, path);
        case Picture::LeftArrow: return hub_->loadPicture(Name("LeftCard"), path);
        case Picture::RightArrow: return hub_->loadPicture(Name("RightCard"), path);
        }
        return false;
    }

private:
    static QString Strip(int k) { return QStringLiteral("rec") + QString::number(k + 1); }
    MainWindow* main_;
    ViewHub* hub_;
};

// The winners window: every text in it came from the game server and is shown as it is.
class WinnersShow : public WinnersView {
public:
    explicit WinnersShow(ViewHub* hub) : hub_(hub) {}
    void clearWinners() override
    {
        hub_->setVisible(Name("Twinners.ListBox1"), false);
        hub_->setItems(Name("Twinners.ListBox1"), {});
        for (const char* label : kLabels)
            hub_->setText(Name(label), QString());
    }
    void showWinners(const Winners& w) override
    {
        hub_->setText(Name("Twinners.payout"), QStringLiteral("$") + w.payout);
        for (int i = 0; i < 4 && i < w.names.size(); ++i)
            hub_->setText(Name(kLabels[i]), w.names[i]);
        hub_->setItems(Name("Twinners.ListBox1"), w.names);
        hub_->setText(Name("Twinners.memo2"), w.note);
        if (w.names.size() > 4)
            hub_->setVisible(Name("Twinners.ListBox1"), true);
        hub_->showWindow(Name("Twinners"));
    }

private:
    static constexpr const char* kLabels[4] = {"Twinners.wc1", "Twinners.WC2", "Twinners.WC3", "Twinners.WC4"};
    ViewHub* hub_;
};

class ChatPanel : public ChatView {
public:
    ChatPanel(MainWindow* main, ViewHub* hub) : main_(main), hub_(hub) {}
    void showChatPanel(bool shown) override { main_->dockChat(shown); }
    void showRoomName(const QString& name) override { hub_->setText(Name("ChatLabel"), name); }
    void clearInput() override { hub_->setText(Name("mtext"), QString()); }
    void keepInput(const QString& text) override { hub_->setText(Name("mtext"), text); }
    void clearChatLog() override { hub_->setItems(Name("mChat"), {}); }
    void addChatLine(const QString& line) override { hub_->appendLine(Name("mChat"), line); }
    void clearMembers() override { hub_->setItems(Name("ListBox1"), {}); }
    void addMember(const QString& name) override { hub_->appendLine(Name("ListBox1"), name); }

private:
    MainWindow* main_;
    ViewHub* hub_;
};

class SetWindows : public SetWindowsView {
public:
    explicit SetWindows(ViewHub* hub) : hub_(hub) {}
    void showSetWindow(SetKind kind, bool shown) override
    {
        shown ? hub_->showWindow(Window(kind)) : hub_->hideWindow(Window(kind));
    }
    void showSetMessage(SetKind kind, const QString& text) override { hub_->setText(Control(kind, "Label1"), text); }
    void showSetItems(SetKind kind, const QStringList& items) override
    {
        hub_->setItems(Control(kind, "ListBox1"), items);
    }
    void enableSetList(SetKind kind, bool enabled) override { hub_->setEnabled(Control(kind, "ListBox1"), enabled); }
    void showSetClose(SetKind kind, bool shown) override { hub_->setVisible(Control(kind, "Button1"), shown); }
    void showSetProgress(SetKind kind, int percent) override
    {
        hub_->setProgress(Control(kind, "ProgressBar1"), percent);
    }

private:
    static QString Window(SetKind kind)
    {
        static const char* const names[] = {"Tgetcset", "Tgetbings", "Tgetaset"};
        return Name(names[int(kind)]);
    }
    static QString Control(SetKind kind, const char* name) { return Window(kind) + QLatin1Char('.') + Name(name); }
    ViewHub* hub_;
};

class SmallWindows : public DialogsView {
public:
    explicit SmallWindows(ViewHub* hub) : hub_(hub) {}
    void showLogin(const LoginForm& form) override
    {
        hub_->setText(Name("Tlogindialog.Edit1"), form.user);
        hub_->setText(Name("Tlogindialog.Edit2"), form.password);
        hub_->setText(Name("Tlogindialog.Edit3"), form.webHost);
        if (form.remember)
            hub_->setChecked(Name("Tlogindialog.CheckBox1"), true);
        hub_->showWindow(Name("Tlogindialog"));
    }
    void hideLogin() override { hub_->hideWindow(Name("Tlogindialog")); }
    void showAliasConfirm(const QString& alias) override
    {
        hub_->setText(Name("TAliasConfirm.Label2"), alias);
        hub_->showWindow(Name("TAliasConfirm"));
    }
    void showNews(bool shown) override { shown ? hub_->showWindow(Name("TForm2")) : hub_->hideWindow(Name("TForm2")); }
    void showNewsText(const QString& text) override { hub_->setText(Name("TForm2.RichEdit1"), text); }
    bool showNewsFile(const QString& path) override { return hub_->loadRichText(Name("TForm2.RichEdit1"), path); }
    void showDownload(const QString& name) override
    {
        hub_->showWindow(Name("Tgifdownload"));
        hub_->setText(Name("Tgifdownload.Label2"), name);
    }
    void showDownloadProgress(int percent) override { hub_->setProgress(Name("Tgifdownload.ProgressBar1"), percent); }
    void hideDownload() override { hub_->hideWindow(Name("Tgifdownload")); }
    void showCommsAlert(bool shown) override
    {
        shown ? hub_->showWindow(Name("TForm3")) : hub_->hideWindow(Name("TForm3"));
    }
    void showThanks() override { hub_->showWindow(Name("Tmarketdialog")); }

private:
    ViewHub* hub_;
};

class Menus : public MenuView {
    static QString Literal(QString text) { return text.replace(QLatin1Char('&'), QStringLiteral("&&")); }

public:
    explicit Menus(ViewHub* hub) : hub_(hub) {}
    void showTitle(const QString& title) override { hub_->setText(Name("TForm1"), title); }
    void showLanguage(const LanguageTable& language) override { ShowCaptions(language, hub_); }
    void enableConnect(bool enabled) override { hub_->setEnabled(Name("ConnecttoGame1"), enabled); }
    void checkAutoDaub(bool on) override { hub_->setChecked(Name("Autodauber"), on); }
    void checkBestCardFirst(bool on) override { hub_->setChecked(Name("BestCardFirst1"), on); }
    // The hall names the rooms and the help page: an ampersand in them is a character, not a key.
    void showRoomNames(const QStringList& names) override
    {
        for (int n = 1; n <= 6 && n <= names.size(); ++n)
            hub_->setText(n == 1 ? Name("JoinChatRoom1") : QStringLiteral("ChatRoom") + QString::number(n),
                          Literal(names[n - 1]));
    }
    void showHelpAddress(const QString& address) override { hub_->setText(Name("OnlineHelp1"), Literal(address)); }

private:
    ViewHub* hub_;
};

class LimitsWindows : public PlayLimitsView {
public:
    LimitsWindows(MainWindow* main, ViewHub* hub) : main_(main), hub_(hub) {}
    void showAutoBuy(int game, int games) override
    {
        main_->showAutoBuy(QStringLiteral("Auto-buy: game %1 of %2").arg(game).arg(games));
    }
    void hideAutoBuy() override { main_->showAutoBuy(QString()); }
    void showLimits(const LimitsForm& form) override
    {
        if (auto* window = qobject_cast<PlayLimitsWindow*>(hub_->window(Name("TPlayLimits")))) {
            window->fill(form);
            hub_->showWindow(Name("TPlayLimits"));
        }
    }
    void showRealityCheck(const RealityFigures& figures) override
    {
        if (auto* window = qobject_cast<RealityCheckWindow*>(hub_->window(Name("TRealityCheck")))) {
            window->fill(figures);
            hub_->showWindow(Name("TRealityCheck"));
        }
    }

private:
    MainWindow* main_;
    ViewHub* hub_;
};

class PlayerBoxes : public PlayerView, public SystemView {
public:
    explicit PlayerBoxes(ViewHub* hub) : hub_(hub) {}
    void message(const QString& text) override { hub_->messageBox(text); }
    void error(const QString& text) override { hub_->errorBox(text); }
    bool ask(const QString& question) override { return hub_->question(question); }
    bool chooseColour(Colour initial, Colour* chosen) override { return hub_->chooseColour(initial, chosen); }
    void beep() override { hub_->beep(); }
    void openAddress(const QString& url) override { hub_->openUrl(url); }
    bool startProgram(const QString& program, const QStringList& arguments) override
    {
        return hub_->startProgram(program, arguments);
    }
    void quit() override { hub_->quit(); }

private:
    ViewHub* hub_;
};

}   // namespace

struct ScreenViews::Parts {
    Parts(MainWindow* main, ViewHub* hub)
        : status(main, hub), figures(hub), shop(hub), table(main, hub), calls(main, hub), winners(hub), chat(main, hub),
          sets(hub), dialogs(hub), menus(hub), player(hub), limits(main, hub)
    {
    }
    StatusBand status;
    GameFigures figures;
    ShopControls shop;
    CardTable table;
    CallDisplay calls;
    WinnersShow winners;
    ChatPanel chat;
    SetWindows sets;
    SmallWindows dialogs;
    Menus menus;
    PlayerBoxes player;
    LimitsWindows limits;
};

ScreenViews::ScreenViews(MainWindow* mainWindow, ViewHub* hub) : parts_(std::make_unique<Parts>(mainWindow, hub)) {}

ScreenViews::~ScreenViews() = default;

Views ScreenViews::views() const
{
    Parts& p = *parts_;
    return Views{&p.status, &p.figures, &p.shop,  &p.table,   &p.calls,  &p.calls,  &p.winners,
                 &p.chat,   &p.sets,    &p.dialogs, &p.menus, &p.player, &p.player, &p.limits};
}
