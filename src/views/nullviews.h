#pragma once
// Views that show nothing: the core runs headless behind them (fuzzing, benchmarks).
#include "views/views.h"

namespace nullviews {
struct NullStatus : StatusView {
    void showStatus(const QString&) override {}
    void showNotice(const QString&) override {}
    void showConnectAttempts(int) override {}
    void showAlias(const QString&) override {}
    void announce(const QString&) override {}
    void log(const QString&) override {}
};
struct NullFigures : FiguresView {
    void showFigures() override {}
    void showPlayers(const QString&) override {}
    void showJackpot(const QString&) override {}
    void showBalance(const Money&) override {}
    void showCountdown(int) override {}
    void showCallCount(int) override {}
    void showCallCaption(const QString&) override {}
};
struct NullShop : ShopView {
    void showFaceChoice(bool) override {}
    void showBuy(bool) override {}
    void enableCardButtons(bool) override {}
    void showClaim(bool) override {}
    void enableClaim(bool) override {}
    void showClaimWon(bool) override {}
    void showButtonColour(Colour) override {}
    void showDaubColour(Colour) override {}
    void showAutoDaubColour(Colour) override {}
};
struct NullCardTable : CardTableView {
    void showTicketName(int, const QString&) override {}
    void placeCard(int, int, int) override {}
    void hideCard(int) override {}
    void showTable(bool) override {}
    void showSidePanel(bool) override {}
    void showPageArrows(bool, bool) override {}
    void showPageNumber(int) override {}
    void showCardId(const QString&) override {}
    void redrawCard(int) override {}
    void showLargeNumbers(bool) override {}
    void showDauberCursor(bool) override {}
};
struct NullCall : CallView {
    void redrawBoard() override {}
    void showBoard(bool) override {}
    void showRecentCalls(const std::array<int, 5>&) override {}
    void clearRecentCalls() override {}
    void rollBall(int) override {}
    void landBall() override {}
    void restBall() override {}
    void clearBallNumber() override {}
    void showMachine(bool) override {}
    void showDrum(bool) override {}
    void showBallWindow(bool) override {}
    void showBanner(bool) override {}
    void showAdvert(bool) override {}
    void showLogo(bool) override {}
};
struct NullPicture : PictureView {
    bool showPicture(Picture, const QString&) override { return true; }
};
struct NullWinners : WinnersView {
    void clearWinners() override {}
    void showWinners(const Winners&) override {}
};
struct NullChat : ChatView {
    void showChatPanel(bool) override {}
    void showRoomName(const QString&) override {}
    void clearInput() override {}
    void keepInput(const QString&) override {}
    void clearChatLog() override {}
    void addChatLine(const QString&) override {}
    void clearMembers() override {}
    void addMember(const QString&) override {}
};
struct NullSetWindows : SetWindowsView {
    void showSetWindow(SetKind, bool) override {}
    void showSetMessage(SetKind, const QString&) override {}
    void showSetItems(SetKind, const QStringList&) override {}
    void enableSetList(SetKind, bool) override {}
    void showSetClose(SetKind, bool) override {}
    void showSetProgress(SetKind, int) override {}
};
struct NullDialogs : DialogsView {
    void showLogin(const LoginForm&) override {}
    void hideLogin() override {}
    void showAliasConfirm(const QString&) override {}
    void showNews(bool) override {}
    void showNewsText(const QString&) override {}
    bool showNewsFile(const QString&) override { return true; }
    void showDownload(const QString&) override {}
    void showDownloadProgress(int) override {}
    void hideDownload() override {}
    void showCommsAlert(bool) override {}
    void showThanks() override {}
};
struct NullMenu : MenuView {
    void showTitle(const QString&) override {}
    void showLanguage(const LanguageTable&) override {}
    void enableConnect(bool) override {}
    void checkAutoDaub(bool) override {}
    void checkBestCardFirst(bool) override {}
    void showRoomNames(const QStringList&) override {}
    void showHelpAddress(const QString&) override {}
};
struct NullPlayer : PlayerView {
    void message(const QString&) override {}
    void error(const QString&) override {}
    bool ask(const QString&) override { return false; }
    bool chooseColour(Colour, Colour*) override { return false; }
    void beep() override {}
};
struct NullSystem : SystemView {
    void openAddress(const QString&) override {}
    bool startProgram(const QString&, const QStringList&) override { return false; }
    void quit() override {}
};
struct NullPlayLimits : PlayLimitsView {
    void showAutoBuy(int, int) override {}
    void hideAutoBuy() override {}
    void showLimits(const LimitsForm&) override {}
    void showRealityCheck(const RealityFigures&) override {}
};
}   // namespace nullviews

struct NullViews {
    nullviews::NullStatus status;
    nullviews::NullFigures figures;
    nullviews::NullShop shop;
    nullviews::NullCardTable cardTable;
    nullviews::NullCall call;
    nullviews::NullPicture picture;
    nullviews::NullWinners winners;
    nullviews::NullChat chat;
    nullviews::NullSetWindows setWindows;
    nullviews::NullDialogs dialogs;
    nullviews::NullMenu menu;
    nullviews::NullPlayer player;
    nullviews::NullSystem systemView;
    nullviews::NullPlayLimits limits;

    Views views()
    {
        return Views{&status, &figures,    &shop,    &cardTable, &call,   &picture,   &winners,
                     &chat,   &setWindows, &dialogs, &menu,      &player, &systemView, &limits};
    }
};
