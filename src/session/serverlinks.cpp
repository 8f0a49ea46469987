#include "session/serverlinks.h"

#include "shell/texts.h"

#include <QTime>

namespace {
// Failed attempts before the player is told that the server cannot be reached.
constexpr int kAttemptsBeforeAlert = 90;
}

ServerLinks::ServerLinks(const LinkPorts& ports, StatusView* status, DialogsView* dialogs, GameClock* clock,
                         const LanguageTable& language, QObject* parent)
    : QObject(parent), ports_(ports), status_(status), dialogs_(dialogs), clock_(clock), language_(language)
{
    for (Link link : {Link::Request, Link::GameFeed, Link::SalesFeed}) {
        auto* s = new LineSocket(this);
        sockets_[size_t(link)] = s;
        if (link != Link::Request)
            s->setConnectTimeout(15);
        connect(s, &LineSocket::connected, this, [this, link](int errorCode) { LinkConnected(link, errorCode); });
        connect(s, &LineSocket::lineReceived, this, [this, link](const QByteArray& line) {
            if (link == Link::Request)
                sockets_[0]->close();   // one reply per connection
            else
                feedSilence_ = 0;
            emit lineReceived(link, line);
        });
        QTimer& retry = retry_[size_t(link)];
        retry.setSingleShot(true);
        connect(&retry, &QTimer::timeout, this, [this, link] { socket(link)->connectTo(host_.left(255), port(link)); });
    }
}

quint16 ServerLinks::port(Link link) const
{
    switch (link) {
    case Link::Request: return ports_.request;
    case Link::GameFeed: return ports_.gameFeed;
    default: return ports_.salesFeed;
    }
}

void ServerLinks::open(Link link)
{
    attempts_ = 0;
    retry_[size_t(link)].stop();
    if (socket(link)->isOpen())
        socket(link)->close();
    socket(link)->connectTo(host_.left(255), port(link));
}

void ServerLinks::close(Link link)
{
    retry_[size_t(link)].stop();
    setRetrying(link, false);
    socket(link)->close();
    if (link == Link::Request)
        return;
    int& mark = reopenMark_[size_t(link)];
    if (mark == kReopenNow) {
        feedSilence_ = 0;
        socket(link)->connectTo(host_.left(255), port(link));
    }
    mark = 0;
}

bool ServerLinks::isOpen(Link link) const { return socket(link)->isOpen(); }

void ServerLinks::send(Link link, const QByteArray& line) { socket(link)->sendLine(line); }

int ServerLinks::reopenMark(Link feed) const { return reopenMark_[size_t(feed)]; }

void ServerLinks::setReopenMark(Link feed, int mark) { reopenMark_[size_t(feed)] = mark; }

void ServerLinks::reopenSilentFeed(Link feed)
{
    reopenMark_[size_t(feed)] = kReopenNow;
    close(feed);
}

void ServerLinks::LinkConnected(Link link, int errorCode)
{
    if (errorCode != 0) {
        if (link == Link::Request)
            status_->log(QTime::currentTime().toString() + QStringLiteral(": SocketError: ")
                         + QString::number(errorCode));
        ++attempts_;
        status_->showConnectAttempts(attempts_);
        if (attempts_ > kAttemptsBeforeAlert) {
            attempts_ = 0;
            status_->showConnectAttempts(0);
            if (!alertShown_) {
                alertShown_ = true;
                dialogs_->showCommsAlert(true);
            }
        }
        // A refused link is tried again after a short pause rather than at once, so a
        // server that is down does not keep the processor busy.
        retry_[size_t(link)].start(clock_->realMs(1000));
        setRetrying(link, true);
        return;
    }
    setRetrying(link, false);
    attempts_ = 0;
    status_->showConnectAttempts(0);
    socket(link)->setBufferSizes(2048, link == Link::Request ? 1024 : 512);
    if (link == Link::Request)
        emit requestConnected();
}

void ServerLinks::setRetrying(Link link, bool retrying)
{
    QTime& since = retryingSince_[size_t(link)];
    if (retrying == !since.isNull())
        return;
    since = retrying ? QTime::currentTime() : QTime();
    ShowReconnecting();
}

void ServerLinks::ShowReconnecting()
{
    for (Link link : {Link::Request, Link::GameFeed, Link::SalesFeed}) {
        const QTime& since = retryingSince_[size_t(link)];
        if (!since.isNull()) {
            status_->showNotice(language_.text(Text::ReconnectingFirst + int(link)) + QLatin1Char(' ')
                                + since.toString() + QStringLiteral("..."));
            return;
        }
    }
    status_->showNotice(QString());
}

void ServerLinks::AlertButton1Click()
{
    attempts_ = 0;
    alertShown_ = false;
    dialogs_->showCommsAlert(false);
}
