#include "components/notify/desktopnotices.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

#include <utility>

namespace {
const char kService[] = "org.freedesktop.Notifications";
const char kPath[] = "/org/freedesktop/Notifications";
const char kInterface[] = "org.freedesktop.Notifications";
}   // namespace

DesktopNotices::DesktopNotices(QString busAddress, std::function<void(const QString&)> log, int replyMs,
                               QObject* parent)
    : QObject(parent), address_(std::move(busAddress)), log_(std::move(log)), replyMs_(replyMs)
{
}

DesktopNotices::~DesktopNotices()
{
    if (!connectionName_.isEmpty())
        QDBusConnection::disconnectFromBus(connectionName_);
}

QString DesktopNotices::PlainBody(const QString& text)
{
    return text.toHtmlEscaped();
}

void DesktopNotices::quiet(const QString& why)
{
    if (told_)
        return;
    told_ = true;
    if (log_)
        log_(QStringLiteral("Desktop notifications not shown: ") + why);
}

bool DesktopNotices::joinBus()
{
    if (bus_ == Bus::NotJoined) {
        if (address_.isEmpty()) {
            connectionName_.clear();
            bus_ = QDBusConnection::sessionBus().isConnected() ? Bus::Joined : Bus::Missing;
        } else {
            connectionName_ = QStringLiteral("vexobingo-notices-%1").arg(quintptr(this), 0, 16);
            bus_ = QDBusConnection::connectToBus(address_, connectionName_).isConnected() ? Bus::Joined : Bus::Missing;
        }
        if (bus_ == Bus::Missing)
            quiet(QStringLiteral("no session bus"));
    }
    return bus_ == Bus::Joined;
}

int DesktopNotices::waiting() const
{
    int calls = 0;
    for (const auto& [slot, state] : slots_)
        calls += state.calling ? 1 : 0;
    return calls;
}

void DesktopNotices::notify(int slot, const QString& summary, const QString& body)
{
    if (!joinBus())
        return;
    Slot& state = slots_[slot];
    if (state.calling) {
        state.held = true;
        state.summary = summary;
        state.body = body;
        return;
    }
    call(slot, summary, body);
}

void DesktopNotices::call(int slot, const QString& summary, const QString& body)
{
    const QDBusConnection bus = connectionName_.isEmpty() ? QDBusConnection::sessionBus()
                                                          : QDBusConnection(connectionName_);
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface), QStringLiteral("Notify"));
    Slot& state = slots_[slot];
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("org.vexobingo.VexoBingo"));
    call << QStringLiteral("Vexo Bingo") << state.shown << QStringLiteral("vexobingo") << summary << PlainBody(body)
         << QStringList() << hints << int(-1);
    state.calling = true;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, replyMs_), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, slot](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (reply.isError())
            quiet(reply.error().name() + QStringLiteral(" ") + reply.error().message());
        answered(slot, reply.isError() ? 0 : reply.value());
        w->deleteLater();
    });
}

void DesktopNotices::answered(int slot, uint id)
{
    Slot& state = slots_[slot];
    state.calling = false;
    state.shown = id;
    if (std::exchange(state.held, false))
        call(slot, std::exchange(state.summary, {}), std::exchange(state.body, {}));
}
