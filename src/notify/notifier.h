#pragma once
// Desktop notices of what happens in the player's games, while the player looks elsewhere:
// sales about to close with no card for the next game, a game started with the player's
// cards, a card at one to go, a card of the player's that won (with the prize), and the
// player's alias in the chat room. None goes out while the main window is the active window.
// Each kind can be switched off; the switches live in a small file in the player's folder,
// written whole and then renamed.
#include "components/notify/desktopnotices.h"
#include "session/playevents.h"

#include <QList>
#include <QString>

#include <array>

enum class NoticeKind { SalesClosing, GameStarted, OneToGo, Won, Mentioned };
constexpr int kNoticeKinds = 5;

// Whether the player looks at the game: the windows answer, tests pretend.
class WindowFocus {
public:
    virtual ~WindowFocus() = default;
    virtual bool mainWindowActive() const = 0;
};

class Notifier : public PlayListener {
public:
    static constexpr char kFileName[] = "notifications.cfg";
    static constexpr int kMaxFileBytes = 4096;

    // Listens to events from now until it goes; switchesPath: the file of the switches.
    Notifier(PlayEvents& events, DesktopNotices& notices, const WindowFocus& focus, QString switchesPath);
    ~Notifier() override;
    Notifier(const Notifier&) = delete;
    Notifier& operator=(const Notifier&) = delete;

    bool enabled(NoticeKind kind) const { return on_[size_t(kind)]; }
    // Switches a kind on or off and keeps the choice; false when the file could not be written.
    bool setEnabled(NoticeKind kind, bool on);
    // The kind's name in the switches file.
    static QString Key(NoticeKind kind);

    void salesSecond(int secondsLeft, bool cardsBought) override;
    void gameStarted(const QString& game, int cardsInPlay) override;
    void oneToGo(int card) override;
    void gameEnded(const GameOutcome& outcome) override;
    void winnersHeard(const QString& payout, const QStringList& names) override;
    void mentioned(const QString& line) override;

private:
    void send(NoticeKind kind, const QString& summary, const QString& body);
    void load();

    PlayEvents& events_;
    DesktopNotices& notices_;
    const WindowFocus& focus_;
    QString path_;
    std::array<bool, kNoticeKinds> on_;
    // The game just ended with cards of the player's among the winners; told with the prize
    // when the hall names the winners.
    GameOutcome won_;
};
