#pragma once
// The three links to the game server: the request link (one request, one reply line,
// then closed), the game feed and the sales feed. Owns the sockets, the pause before a
// refused link is tried again, the count of failed attempts with its alert, and the
// feed watchdog's reopen marks.
#include "components/net/linesocket.h"
#include "session/serverevents.h"
#include "shell/gameclock.h"
#include "shell/language.h"
#include "views/views.h"

#include <QObject>
#include <QTime>
#include <QTimer>
#include <array>

class ServerLinks : public QObject {
    Q_OBJECT
public:
    ServerLinks(const LinkPorts& ports, StatusView* status, DialogsView* dialogs, GameClock* clock,
                const LanguageTable& language, QObject* parent = nullptr);

    void setHost(const QString& host) { host_ = host; }
    const QString& host() const { return host_; }

    // Opens a link afresh (closing it first when open); the failed-attempt count starts over.
    void open(Link link);
    // Closes a link. A feed marked for reopening by the watchdog is reopened at once.
    void close(Link link);
    bool isOpen(Link link) const;
    void send(Link link, const QByteArray& line);

    // The request the request link is opened for, and whether one is under way.
    Request pending() const { return pending_; }
    void setPending(Request request) { pending_ = request; }
    bool busy() const { return busy_; }
    void setBusy(bool busy) { busy_ = busy; }

    // The feed watchdog: seconds since a feed line, and the per-feed reopen mark (0 =
    // not armed, otherwise the seconds to start when it was armed).
    void feedHeard() { feedSilence_ = 0; }
    void feedSecondPassed() { ++feedSilence_; }
    int feedSilence() const { return feedSilence_; }
    int reopenMark(Link feed) const;
    void setReopenMark(Link feed, int mark);
    // Closes a feed that has been silent and has it reopened.
    void reopenSilentFeed(Link feed);

    // The player acknowledged the alert: counting starts over.
    void AlertButton1Click();

signals:
    void requestConnected();                       // send the pending request now
    void lineReceived(Link link, const QByteArray& line);

private:
    static constexpr int kReopenNow = 999;
    void LinkConnected(Link link, int errorCode);
    // While a link is being tried again, the status line says which one and since when.
    void setRetrying(Link link, bool retrying);
    void ShowReconnecting();
    LineSocket* socket(Link link) const { return sockets_[size_t(link)]; }
    quint16 port(Link link) const;

    LinkPorts ports_;
    StatusView* status_;
    DialogsView* dialogs_;
    GameClock* clock_;
    const LanguageTable& language_;
    QString host_;
    std::array<QTime, 3> retryingSince_{};   // null while a link is not being tried again
    std::array<LineSocket*, 3> sockets_{};
    std::array<QTimer, 3> retry_;
    std::array<int, 3> reopenMark_{};
    int attempts_ = 0;
    int feedSilence_ = 0;
    bool alertShown_ = false;
    bool busy_ = false;
    Request pending_ = Request::Login;
};
