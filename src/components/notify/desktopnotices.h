#pragma once
// The desktop's notification service (org.freedesktop.Notifications on the session bus).
// Each notice goes in a slot of its own; a new notice of a slot replaces the one the service
// still shows from it (one that comes while the slot's last call has no answer yet waits for
// that answer, the newest only). Nothing waits on the service: every call is asynchronous with a
// deadline, the bus is joined only when the first notice goes out, and a desktop without a
// bus or without the service makes every notice a quiet no-op, said once in the diagnostic log.
#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>
#include <map>

class DesktopNotices : public QObject {
    Q_OBJECT
public:
    static constexpr int kReplyMs = 5000;   // the deadline of a call

    // busAddress: the bus to use, empty for the desktop's session bus. log: a line for the
    // diagnostic log (one at most in a run).
    explicit DesktopNotices(QString busAddress = {}, std::function<void(const QString&)> log = {},
                            int replyMs = kReplyMs, QObject* parent = nullptr);
    ~DesktopNotices() override;

    // summary: our own words; body: plain text, which may hold what a hall or a player wrote.
    void notify(int slot, const QString& summary, const QString& body);
    // Calls without an answer yet.
    int waiting() const;

    // The body as a server that reads markup in it shows it word for word.
    static QString PlainBody(const QString& text);

private:
    bool joinBus();
    void quiet(const QString& why);
    void call(int slot, const QString& summary, const QString& body);
    void answered(int slot, uint id);

    struct Slot {
        uint shown = 0;         // the service's id of the slot's last notice
        bool calling = false;   // a call waits for its answer
        bool held = false;      // a newer notice waits for that answer
        QString summary, body;
    };

    QString address_;
    std::function<void(const QString&)> log_;
    int replyMs_;
    QString connectionName_;
    enum class Bus { NotJoined, Joined, Missing } bus_ = Bus::NotJoined;
    bool told_ = false;   // the diagnostic line was written
    std::map<int, Slot> slots_;
};
