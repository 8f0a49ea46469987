#pragma once
// What the game core tells the screen, one small interface for each area of it. The
// methods say what is shown in the game's own terms; which widget shows it, how it is
// laid out and drawn is the windows' business. Every text that came from a server or
// another player is shown as plain text, whatever it looks like.
#include "rules/bingocard.h"
#include "rules/money.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class LanguageTable;

// The three kinds of content set: caller voices, fun bingos, announcer voices.
enum class SetKind { Caller, FunBingo, Announcer };

// The places a picture is shown in.
enum class Picture {
    Logo,              // the operator's logo in the top band, outside a game
    Advert,            // the second ad space, beside the figures
    BingoBanner,       // the bingo picture, in the advert's place after a bingo
    Pattern,           // the coming game's pattern, in the top band and beside the cards
    Ball,              // the ball rolling in
    BallLanded,        // the ball come to rest
    WinnersBackdrop,   // behind the winners window
    SkinFrame,         // the look's frame around the bands
    SkinBackground,    // the look's background behind the cards
    LeftArrow,         // the paging arrows of the look
    RightArrow,
};

// The status band along the bottom.
class StatusView {
public:
    virtual ~StatusView() = default;
    virtual void showStatus(const QString& text) = 0;
    // Shown in place of the status text until it is cleared (empty); the text kept meanwhile returns.
    virtual void showNotice(const QString& notice) = 0;
    virtual void showConnectAttempts(int attempts) = 0;
    virtual void showAlias(const QString& alias) = 0;
    // A short spoken update for screen readers; nothing changes on screen.
    virtual void announce(const QString& text) = 0;
    // A line of the hidden diagnostic log.
    virtual void log(const QString& line) = 0;
};

// The figures of the coming or running game.
class FiguresView {
public:
    virtual ~FiguresView() = default;
    virtual void showFigures() = 0;   // the jackpot and balance rows, once the directory is read
    virtual void showPlayers(const QString& players) = 0;
    virtual void showJackpot(const QString& jackpot) = 0;
    virtual void showBalance(const Money& balance) = 0;
    virtual void showCountdown(int seconds) = 0;
    virtual void showCallCount(int calls) = 0;
    virtual void showCallCaption(const QString& caption) = 0;
};

// The shop: the face-count choice, Buy, the claim button and the daubers.
class ShopView {
public:
    virtual ~ShopView() = default;
    virtual void showFaceChoice(bool shown) = 0;
    virtual void showBuy(bool shown) = 0;
    virtual void enableCardButtons(bool enabled) = 0;   // the face choice and Buy
    virtual void showClaim(bool shown) = 0;
    virtual void enableClaim(bool enabled) = 0;
    virtual void showClaimWon(bool won) = 0;            // "Winner!" instead of "Bingo!"
    virtual void showButtonColour(Colour colour) = 0;   // the look's colour of the round buttons
    virtual void showDaubColour(Colour colour) = 0;
    virtual void showAutoDaubColour(Colour colour) = 0;
};

// Where the cards lie: the player's cards 1..10, paged one by one outside a game and
// side by side during one. Places are columns 0..2 and rows 0..1 of the table.
class CardTableView {
public:
    virtual ~CardTableView() = default;
    virtual void showTicketName(int card, const QString& name) = 0;
    virtual void placeCard(int card, int column, int row) = 0;
    virtual void hideCard(int card) = 0;
    virtual void showTable(bool shown) = 0;    // the cards' own area (shown once sales open)
    virtual void showSidePanel(bool shown) = 0;
    virtual void showPageArrows(bool left, bool right) = 0;
    virtual void showPageNumber(int page) = 0;
    virtual void showCardId(const QString& shortId) = 0;
    virtual void redrawCard(int card) = 0;
    virtual void showLargeNumbers(bool large) = 0;   // the Fonts menu, cards and board alike
    virtual void showDauberCursor(bool dauber) = 0;
};

// The call display: the board, the strip of recent calls, the ball and the machine.
class CallView {
public:
    virtual ~CallView() = default;
    virtual void redrawBoard() = 0;
    virtual void showBoard(bool shown) = 0;
    // The five newest calls, newest first (0: no call there yet); cleared: all empty.
    virtual void showRecentCalls(const std::array<int, 5>& numbers) = 0;
    virtual void clearRecentCalls() = 0;
    virtual void rollBall(int number) = 0;
    virtual void landBall() = 0;
    virtual void restBall() = 0;          // no ball in the window, the resting picture shown
    virtual void clearBallNumber() = 0;
    virtual void showMachine(bool shown) = 0;
    virtual void showDrum(bool shown) = 0;
    virtual void showBallWindow(bool shown) = 0;
    virtual void showBanner(bool shown) = 0;
    virtual void showAdvert(bool shown) = 0;
    virtual void showLogo(bool shown) = 0;
};

// Pictures from the program folder.
class PictureView {
public:
    virtual ~PictureView() = default;
    // False when the file cannot be read; the place keeps what it showed.
    virtual bool showPicture(Picture place, const QString& path) = 0;
};

// The winners of a game, as the game server reported them.
struct Winners {
    QString payout;
    QStringList names;
    QString note;
};

class WinnersView {
public:
    virtual ~WinnersView() = default;
    virtual void clearWinners() = 0;
    virtual void showWinners(const Winners& winners) = 0;
};

// The chat panel beside the cards.
class ChatView {
public:
    virtual ~ChatView() = default;
    virtual void showChatPanel(bool shown) = 0;
    virtual void showRoomName(const QString& name) = 0;
    virtual void clearInput() = 0;
    // Puts text back into the input box: what could not be sent.
    virtual void keepInput(const QString& text) = 0;
    virtual void clearChatLog() = 0;
    virtual void addChatLine(const QString& line) = 0;
    virtual void clearMembers() = 0;
    virtual void addMember(const QString& name) = 0;
};

// The three windows that list the content sets (callers, fun bingos, announcers).
class SetWindowsView {
public:
    virtual ~SetWindowsView() = default;
    virtual void showSetWindow(SetKind kind, bool shown) = 0;
    virtual void showSetMessage(SetKind kind, const QString& text) = 0;
    virtual void showSetItems(SetKind kind, const QStringList& items) = 0;
    virtual void enableSetList(SetKind kind, bool enabled) = 0;
    virtual void showSetClose(SetKind kind, bool shown) = 0;
    virtual void showSetProgress(SetKind kind, int percent) = 0;
};

// What the login dialog starts with.
struct LoginForm {
    QString user;
    QString password;
    QString webHost;
    bool remember = false;
};

// The small windows: login, alias, news, download, the communications alert, the thanks.
class DialogsView {
public:
    virtual ~DialogsView() = default;
    virtual void showLogin(const LoginForm& form) = 0;
    virtual void hideLogin() = 0;
    virtual void showAliasConfirm(const QString& alias) = 0;
    virtual void showNews(bool shown) = 0;
    virtual void showNewsText(const QString& text) = 0;
    // Reads a rich-text file into the news window; false when it cannot be read.
    virtual bool showNewsFile(const QString& path) = 0;
    virtual void showDownload(const QString& name) = 0;
    virtual void showDownloadProgress(int percent) = 0;
    virtual void hideDownload() = 0;
    virtual void showCommsAlert(bool shown) = 0;
    virtual void showThanks() = 0;
};

// The menus' states and texts that change while the program runs.
class MenuView {
public:
    virtual ~MenuView() = default;
    virtual void showTitle(const QString& title) = 0;
    // Every caption, hint and reader's text from the language file.
    virtual void showLanguage(const LanguageTable& language) = 0;
    virtual void enableConnect(bool enabled) = 0;
    virtual void checkAutoDaub(bool on) = 0;
    virtual void checkBestCardFirst(bool on) = 0;
    virtual void showRoomNames(const QStringList& names) = 0;   // rooms 2.. of the Chat Room menu
    virtual void showHelpAddress(const QString& address) = 0;
};

// The player's boxes and questions.
class PlayerView {
public:
    virtual ~PlayerView() = default;
    virtual void message(const QString& text) = 0;   // returns at once
    virtual void error(const QString& text) = 0;     // returns at once
    virtual bool ask(const QString& question) = 0;   // Yes/No; true only for Yes
    virtual bool chooseColour(Colour initial, Colour* chosen) = 0;
    virtual void beep() = 0;
};

// The desktop around the program.
class SystemView {
public:
    virtual ~SystemView() = default;
    virtual void openAddress(const QString& url) = 0;
    virtual bool startProgram(const QString& program, const QStringList& arguments) = 0;
    virtual void quit() = 0;
};

// The player's own bounds on play: the limits, the reality check and auto-buy.
enum class LimitKind { DailySpend, SessionSpend, DailyLoss };
constexpr int kLimitKinds = 3;

// One limit as it stands: the amount in force (none: no limit) and a change that waits,
// with the moment it takes effect.
struct LimitState {
    std::optional<Money> amount;
    bool changing = false;
    std::optional<Money> next;   // the waiting amount (none: the limit goes)
    QDateTime from;              // when the waiting amount takes effect
};

struct LimitsForm {
    std::array<LimitState, kLimitKinds> limits;   // in LimitKind's order
    int realityMinutes = 0;                       // 0 (off), 15, 30 or 60
    QDateTime now;                                // the moment the form describes
};

// What the reality check shows: this session's time and money.
struct RealityFigures {
    qint64 playedSeconds = 0;
    Money spent;
    Money won;
};

class PlayLimitsView {
public:
    virtual ~PlayLimitsView() = default;
    // Auto-buy runs: the game it buys for and how many it will buy ("game 3 of 10"), with Cancel.
    virtual void showAutoBuy(int game, int games) = 0;
    virtual void hideAutoBuy() = 0;
    // The Play Limits window, filled with the limits as they stand.
    virtual void showLimits(const LimitsForm& form) = 0;
    virtual void showRealityCheck(const RealityFigures& figures) = 0;
};

// The views the core is handed; each part keeps the ones it speaks to.
struct Views {
    StatusView* status = nullptr;
    FiguresView* figures = nullptr;
    ShopView* shop = nullptr;
    CardTableView* table = nullptr;
    CallView* calls = nullptr;
    PictureView* pictures = nullptr;
    WinnersView* winners = nullptr;
    ChatView* chat = nullptr;
    SetWindowsView* sets = nullptr;
    DialogsView* dialogs = nullptr;
    MenuView* menus = nullptr;
    PlayerView* player = nullptr;
    SystemView* system = nullptr;
    PlayLimitsView* limits = nullptr;
};

// The sales countdown as the figures show it: minutes, a colon and two-digit seconds ("2:05").
inline QString CountdownText(int seconds)
{
    const int m = seconds / 60;
    const int r = seconds - 60 * m;
    return QString::number(m) + QLatin1Char(':') + (r < 10 ? QStringLiteral("0") : QString()) + QString::number(r);
}
