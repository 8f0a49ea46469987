#include "notify/notifier.h"

#include <QFile>
#include <QSaveFile>
#include <QStringList>

Notifier::Notifier(PlayEvents& events, DesktopNotices& notices, const WindowFocus& focus, QString switchesPath)
    : events_(events), notices_(notices), focus_(focus), path_(std::move(switchesPath))
{
    on_.fill(true);
    load();
    events_.listen(this);
}

Notifier::~Notifier() { events_.forget(this); }

QString Notifier::Key(NoticeKind kind)
{
    static const char* const keys[kNoticeKinds] = {"sales-closing", "game-started", "one-to-go", "won", "mentioned"};
    return QLatin1String(keys[size_t(kind)]);
}

// One "key=on" or "key=off" a line; anything else is passed over, a missing file leaves all on.
void Notifier::load()
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QList<QByteArray> lines = file.read(kMaxFileBytes).split('\n');
    for (const QByteArray& line : lines) {
        const int eq = line.indexOf('=');
        if (eq < 0)
            continue;
        const QString key = QString::fromLatin1(line.left(eq).trimmed());
        const QByteArray value = line.mid(eq + 1).trimmed();
        for (int k = 0; k < kNoticeKinds; ++k)
            if (key == Key(NoticeKind(k)) && (value == "on" || value == "off"))
                on_[size_t(k)] = value == "on";
    }
}

bool Notifier::setEnabled(NoticeKind kind, bool on)
{
    on_[size_t(kind)] = on;
    QByteArray text = "# Desktop notifications of Vexo Bingo, each kind on or off\n";
    for (int k = 0; k < kNoticeKinds; ++k)
        text += Key(NoticeKind(k)).toLatin1() + (on_[size_t(k)] ? "=on\n" : "=off\n");
    QSaveFile file(path_);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit();
}

void Notifier::send(NoticeKind kind, const QString& summary, const QString& body)
{
    if (enabled(kind) && !focus_.mainWindowActive())
        notices_.notify(int(kind), summary, body);
}

void Notifier::salesSecond(int secondsLeft, bool cardsBought)
{
    if (secondsLeft == 30 && !cardsBought)
        send(NoticeKind::SalesClosing, QStringLiteral("Sales close in 30 seconds"),
             QStringLiteral("You have no card for the next game."));
}

void Notifier::gameStarted(const QString& game, int cardsInPlay)
{
    if (cardsInPlay > 0)
        send(NoticeKind::GameStarted, QStringLiteral("The game has started"),
             cardsInPlay == 1 ? QStringLiteral("Game %1: you play 1 card.").arg(game)
                              : QStringLiteral("Game %1: you play %2 cards.").arg(game).arg(cardsInPlay));
}

void Notifier::oneToGo(int card)
{
    send(NoticeKind::OneToGo, QStringLiteral("One to go"), QStringLiteral("Card %1 needs one more number.").arg(card));
}

void Notifier::gameEnded(const GameOutcome& outcome)
{
    won_ = outcome;
}

void Notifier::winnersHeard(const QString& payout, const QStringList& /*names*/)
{
    if (won_.winningCards.isEmpty())
        return;
    QStringList cards;
    for (int card : won_.winningCards)
        cards << QString::number(card);
    const QString who = cards.size() == 1 ? QStringLiteral("Card %1 won").arg(cards[0])
                                          : QStringLiteral("Cards %1 won").arg(cards.join(QStringLiteral(", ")));
    send(NoticeKind::Won, QStringLiteral("Bingo! Your card won"),
         QStringLiteral("%1 game %2. Prize: $%3").arg(who, won_.game, payout));
    won_ = {};
}

void Notifier::mentioned(const QString& line)
{
    // The room pads the sender's name to its column; the notice needs no columns.
    send(NoticeKind::Mentioned, QStringLiteral("You were mentioned in the chat room"), line.simplified());
}
