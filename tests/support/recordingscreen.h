#pragma once
// A screen that records what the core shows, area by area, for tests. Each view keeps the
// state it was last told in the game's terms; the player's boxes, the desktop and the
// windows whose order matters also go, in order, into one list of events:
// "message:<text>", "error:<text>", "question:<text>", "beep", "open:<url>",
// "start:<program> <arguments>", "quit", and "show:"/"hide:" with "Tlogindialog" (the login
// dialog), "TForm2" (the news) and "TForm3" (the communications alert). What no test reads
// (the board's redraws, the ticket names, the fonts, ...) is taken and forgotten.
#include "shell/language.h"
#include "views/views.h"

#include <QList>
#include <QMap>
#include <array>
#include <functional>
#include <optional>

class StatusRecord : public StatusView {
public:
    QString text;
    QStringList history;   // every status text, in the order shown
    QString notice;
    int connectAttempts = 0;
    QString alias;
    QStringList announced;
    QStringList logLines;

    void showStatus(const QString& t) override
    {
        text = t;
        history << t;
    }
    void showNotice(const QString& n) override { notice = n; }
    void showConnectAttempts(int attempts) override { connectAttempts = attempts; }
    void showAlias(const QString& a) override { alias = a; }
    void announce(const QString& t) override { announced << t; }
    void log(const QString& line) override { logLines << line; }
};

class FiguresRecord : public FiguresView {
public:
    bool shown = false;   // the jackpot and balance rows
    QString players, jackpot;
    std::optional<Money> balance;
    int countdown = -1;
    int calls = -1;

    void showFigures() override { shown = true; }
    void showPlayers(const QString& p) override { players = p; }
    void showJackpot(const QString& j) override { jackpot = j; }
    void showBalance(const Money& b) override { balance = b; }
    void showCountdown(int seconds) override { countdown = seconds; }
    void showCallCount(int count) override { calls = count; }
    void showCallCaption(const QString&) override {}
};

class ShopRecord : public ShopView {
public:
    bool faceChoiceShown = false, buyShown = false, cardButtonsEnabled = true;
    bool claimShown = false, claimEnabled = true, claimWon = false;
    Colour buttonColour = 0, daubColour = 0;

    void showFaceChoice(bool s) override { faceChoiceShown = s; }
    void showBuy(bool s) override { buyShown = s; }
    void enableCardButtons(bool e) override { cardButtonsEnabled = e; }
    void showClaim(bool s) override { claimShown = s; }
    void enableClaim(bool e) override { claimEnabled = e; }
    void showClaimWon(bool won) override { claimWon = won; }
    void showButtonColour(Colour c) override { buttonColour = c; }
    void showDaubColour(Colour c) override { daubColour = c; }
    void showAutoDaubColour(Colour) override {}
};

class TableRecord : public CardTableView {
public:
    struct Card {
        int column = -1, row = -1;   // where it lies; -1: hidden
        int redraws = 0;
        bool shown() const { return column >= 0; }
    };
    std::array<Card, 11> cards;   // 1..10
    bool tableShown = false, sidePanelShown = false, leftArrow = false, rightArrow = false;
    int page = 0;
    QString cardId;

    // The card that lies in this place; 0 when none does.
    int at(int column, int row) const
    {
        for (int k = 1; k < int(cards.size()); ++k)
            if (cards[size_t(k)].column == column && cards[size_t(k)].row == row)
                return k;
        return 0;
    }

    void showTicketName(int, const QString&) override {}
    void placeCard(int card, int column, int row) override
    {
        cards.at(size_t(card)).column = column;
        cards.at(size_t(card)).row = row;
    }
    void hideCard(int card) override { cards.at(size_t(card)).column = cards.at(size_t(card)).row = -1; }
    void showTable(bool s) override { tableShown = s; }
    void showSidePanel(bool s) override { sidePanelShown = s; }
    void showPageArrows(bool left, bool right) override
    {
        leftArrow = left;
        rightArrow = right;
    }
    void showPageNumber(int p) override { page = p; }
    void showCardId(const QString& id) override { cardId = id; }
    void redrawCard(int card) override { ++cards.at(size_t(card)).redraws; }
    void showLargeNumbers(bool) override {}
    void showDauberCursor(bool) override {}
};

class CallsRecord : public CallView {
public:
    enum class Ball { Resting, Rolling, Landed };
    std::array<int, 5> recent{};
    Ball ball = Ball::Resting;
    int ballNumber = 0;
    bool machineShown = false, drumShown = false, ballWindowShown = false, bannerShown = false;

    void redrawBoard() override {}
    void showBoard(bool) override {}
    void showRecentCalls(const std::array<int, 5>& numbers) override { recent = numbers; }
    void clearRecentCalls() override { recent = {}; }
    void rollBall(int number) override
    {
        ball = Ball::Rolling;
        ballNumber = number;
    }
    void landBall() override { ball = Ball::Landed; }
    void restBall() override { ball = Ball::Resting; }
    void clearBallNumber() override { ballNumber = 0; }
    void showMachine(bool s) override { machineShown = s; }
    void showDrum(bool s) override { drumShown = s; }
    void showBallWindow(bool s) override { ballWindowShown = s; }
    void showBanner(bool s) override { bannerShown = s; }
    void showAdvert(bool) override {}
    void showLogo(bool) override {}
};

class PicturesRecord : public PictureView {
public:
    QMap<Picture, QString> shown;   // the path each place shows
    QStringList missing;            // files that cannot be read (matched at the end of the path)

    bool showPicture(Picture place, const QString& path) override
    {
        for (const QString& m : missing)
            if (path.endsWith(m, Qt::CaseInsensitive))
                return false;
        shown[place] = path;
        return true;
    }
};

class WinnersRecord : public WinnersView {
public:
    bool shown = false;
    Winners last;

    void clearWinners() override { last = Winners{}; }
    void showWinners(const Winners& w) override
    {
        last = w;
        shown = true;
    }
};

class ChatRecord : public ChatView {
public:
    bool panelShown = false;
    QString roomName;
    int inputCleared = 0;
    QString kept;   // what was put back into the input box
    QStringList lines, members;

    void showChatPanel(bool s) override { panelShown = s; }
    void showRoomName(const QString& name) override { roomName = name; }
    void clearInput() override { ++inputCleared; }
    void keepInput(const QString& text) override { kept = text; }
    void clearChatLog() override { lines.clear(); }
    void addChatLine(const QString& line) override { lines << line; }
    void clearMembers() override { members.clear(); }
    void addMember(const QString& name) override { members << name; }
};

class SetsRecord : public SetWindowsView {
public:
    struct Window {
        bool shown = false, listEnabled = true, closeShown = false;
        QString message;
        QStringList items;
        int progress = 0;
    };
    std::array<Window, 3> windows;   // by SetKind
    Window& operator[](SetKind kind) { return windows.at(size_t(kind)); }

    void showSetWindow(SetKind kind, bool s) override { (*this)[kind].shown = s; }
    void showSetMessage(SetKind kind, const QString& text) override { (*this)[kind].message = text; }
    void showSetItems(SetKind kind, const QStringList& items) override { (*this)[kind].items = items; }
    void enableSetList(SetKind kind, bool e) override { (*this)[kind].listEnabled = e; }
    void showSetClose(SetKind kind, bool s) override { (*this)[kind].closeShown = s; }
    void showSetProgress(SetKind kind, int percent) override { (*this)[kind].progress = percent; }
};

class DialogsRecord : public DialogsView {
public:
    explicit DialogsRecord(QStringList& events) : events_(events) {}
    bool loginShown = false, downloadShown = false, commsAlertShown = false, thanksShown = false;
    LoginForm login;
    QStringList aliasConfirms;   // each alias the player was asked to confirm
    QString newsText, newsFile, downloadName;
    int downloadProgress = 0;

    void showLogin(const LoginForm& form) override
    {
        login = form;
        loginShown = true;
        events_ << QStringLiteral("show:Tlogindialog");
    }
    void hideLogin() override
    {
        loginShown = false;
        events_ << QStringLiteral("hide:Tlogindialog");
    }
    void showAliasConfirm(const QString& alias) override { aliasConfirms << alias; }
    void showNews(bool s) override { events_ << (s ? QStringLiteral("show:TForm2") : QStringLiteral("hide:TForm2")); }
    void showNewsText(const QString& text) override { newsText = text; }
    bool showNewsFile(const QString& path) override
    {
        newsFile = path;
        return true;
    }
    void showDownload(const QString& name) override
    {
        downloadName = name;
        downloadShown = true;
    }
    void showDownloadProgress(int percent) override { downloadProgress = percent; }
    // Runs as the download window closes, when a fetch's file has arrived and is not yet in place.
    std::function<void()> onHideDownload;
    void hideDownload() override
    {
        downloadShown = false;
        if (onHideDownload)
            onHideDownload();
    }
    void showCommsAlert(bool s) override
    {
        commsAlertShown = s;
        events_ << (s ? QStringLiteral("show:TForm3") : QStringLiteral("hide:TForm3"));
    }
    void showThanks() override { thanksShown = true; }

private:
    QStringList& events_;
};

class MenusRecord : public MenuView {
public:
    QString title, helpAddress;
    std::optional<LanguageTable> language;   // as it was handed over
    bool connectEnabled = true, autoDaubChecked = false, bestFirstChecked = false;
    QStringList roomNames;

    void showTitle(const QString& t) override { title = t; }
    void showLanguage(const LanguageTable& table) override { language = table; }
    void enableConnect(bool e) override { connectEnabled = e; }
    void checkAutoDaub(bool on) override { autoDaubChecked = on; }
    void checkBestCardFirst(bool on) override { bestFirstChecked = on; }
    void showRoomNames(const QStringList& names) override { roomNames = names; }
    void showHelpAddress(const QString& address) override { helpAddress = address; }
};

class PlayerRecord : public PlayerView {
public:
    explicit PlayerRecord(QStringList& events) : events_(events) {}
    QStringList messages, errors;
    int beeps = 0;
    // The player's answers: those in `answers` in turn, then `questionAnswer`.
    bool questionAnswer = true;
    QList<bool> answers;
    bool colourAnswer = false;
    Colour colourToChoose = 0;

    void message(const QString& text) override
    {
        messages << text;
        events_ << QStringLiteral("message:") + text;
    }
    void error(const QString& text) override
    {
        errors << text;
        events_ << QStringLiteral("error:") + text;
    }
    bool ask(const QString& question) override
    {
        events_ << QStringLiteral("question:") + question;
        return answers.isEmpty() ? questionAnswer : answers.takeFirst();
    }
    bool chooseColour(Colour, Colour* chosen) override
    {
        if (colourAnswer)
            *chosen = colourToChoose;
        return colourAnswer;
    }
    void beep() override
    {
        ++beeps;
        events_ << QStringLiteral("beep");
    }

private:
    QStringList& events_;
};

class SystemRecord : public SystemView {
public:
    explicit SystemRecord(QStringList& events) : events_(events) {}
    QStringList opened, started;   // addresses; "<program> <arguments>"
    int quits = 0;
    bool startsPrograms = true;    // what startProgram answers

    void openAddress(const QString& url) override
    {
        opened << url;
        events_ << QStringLiteral("open:") + url;
    }
    bool startProgram(const QString& program, const QStringList& arguments) override
    {
        started << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
        events_ << QStringLiteral("start:") + started.last();
        return startsPrograms;
    }
    void quit() override
    {
        ++quits;
        events_ << QStringLiteral("quit");
    }

private:
    QStringList& events_;
};

class LimitsRecord : public PlayLimitsView {
public:
    QStringList autoBuy;             // "3/10" for each progress shown, "-" when hidden
    QList<LimitsForm> forms;         // each Play Limits window shown
    QList<RealityFigures> checks;    // each reality check shown

    void showAutoBuy(int game, int games) override { autoBuy << QStringLiteral("%1/%2").arg(game).arg(games); }
    void hideAutoBuy() override { autoBuy << QStringLiteral("-"); }
    void showLimits(const LimitsForm& form) override { forms << form; }
    void showRealityCheck(const RealityFigures& figures) override { checks << figures; }
};

struct RecordingScreen {
    QStringList events;
    StatusRecord status;
    FiguresRecord figures;
    ShopRecord shop;
    TableRecord table;
    CallsRecord calls;
    PicturesRecord pictures;
    WinnersRecord winners;
    ChatRecord chat;
    SetsRecord sets;
    DialogsRecord dialogs{events};
    MenusRecord menus;
    PlayerRecord player{events};
    SystemRecord system{events};
    LimitsRecord limits;

    RecordingScreen() = default;
    RecordingScreen(const RecordingScreen&) = delete;
    RecordingScreen& operator=(const RecordingScreen&) = delete;

    Views views()
    {
        return Views{&status, &figures, &shop, &table, &calls, &pictures, &winners, &chat, &sets, &dialogs, &menus,
                     &player, &system, &limits};
    }
};
