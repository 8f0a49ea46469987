#include "components/net/linesocket.h"

#include <QPointer>
#include <QTcpSocket>
#include <QTimer>

namespace {
const QByteArray kCrLf("\r\n");
}

LineSocket::LineSocket(QObject* parent) : QObject(parent)
{
    timeout_ = new QTimer(this);
    timeout_->setSingleShot(true);
    connect(timeout_, &QTimer::timeout, this, [this] {
        if (!socket_ || reported_)
            return;
        dropSocket();
        reported_ = true;
        emit connected(TimedOut);
    });
}

LineSocket::~LineSocket()
{
    dropSocket();
}

void LineSocket::setBufferSizes(int readBuffer, int writeBuffer)
{
    readBuffer_ = qMax(readBuffer, 3);
    writeBuffer_ = qMax(writeBuffer, 3);
    if (socket_)
        socket_->setReadBufferSize(readBuffer_);
}

void LineSocket::setConnectTimeout(int seconds)
{
    connectTimeout_ = qMax(seconds, 0);
}

void LineSocket::dropSocket()
{
    timeout_->stop();
    if (!socket_)
        return;
    QTcpSocket* old = socket_;
    socket_ = nullptr;
    old->disconnect(this);
    old->abort();
    // The socket may be the sender of the signal being handled right now.
    old->deleteLater();
}

void LineSocket::endConnection()
{
    ++generation_;
    dropSocket();
    // Complete lines that were read before the close are still delivered by the
    // delivery loop that is running; a partial tail is dropped.
    const int last = buffer_.lastIndexOf(kCrLf);
    buffer_.truncate(last < 0 ? 0 : last + 2);
    discarding_ = false;
    discardAfterCr_ = false;
}

void LineSocket::connectTo(const QString& host, quint16 port)
{
    endConnection();
    reported_ = false;
    const quint64 gen = generation_;

    socket_ = new QTcpSocket(this);
    socket_->setReadBufferSize(readBuffer_);
    connect(socket_, &QTcpSocket::connected, this, [this, gen] {
        if (gen != generation_ || reported_)
            return;
        timeout_->stop();
        reported_ = true;
        emit connected(NoError);
    });
    connect(socket_, &QTcpSocket::readyRead, this, [this, gen] {
        if (gen == generation_)
            onReadyRead();
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this, gen] {
        if (gen == generation_)
            onError();
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this, gen] {
        if (gen == generation_)
            onError();
    });

    if (connectTimeout_ > 0)
        timeout_->start(connectTimeout_ * 1000);
    socket_->connectToHost(host.left(255), port);
}

void LineSocket::close()
{
    endConnection();
}

bool LineSocket::isOpen() const
{
    return socket_ != nullptr && socket_->state() != QAbstractSocket::UnconnectedState;
}

bool LineSocket::isConnected() const
{
    return socket_ != nullptr && socket_->state() == QAbstractSocket::ConnectedState;
}

bool LineSocket::sendLine(const QByteArray& line)
{
    if (!isConnected())
        return false;
    QByteArray out = line;
    out.append(kCrLf);
    if (socket_->bytesToWrite() + out.size() > kMaxUnsent)
        return false;
    if (socket_->write(out) != out.size())
        return false;
    socket_->flush();
    return true;
}

void LineSocket::onError()
{
    if (!socket_)
        return;
    if (!reported_) {
        int code = OtherError;
        switch (socket_->error()) {
        case QAbstractSocket::ConnectionRefusedError: code = Refused; break;
        case QAbstractSocket::HostNotFoundError: code = HostNotFound; break;
        case QAbstractSocket::SocketTimeoutError: code = TimedOut; break;
        default: break;
        }
        dropSocket();
        ++generation_;
        reported_ = true;
        emit connected(code);
        return;
    }
    // An established connection ended: take what the peer sent before it left.
    const quint64 gen = generation_;
    QPointer<LineSocket> guard(this);
    onReadyRead();
    if (!guard || gen != generation_)
        return;
    endConnection();
    emit disconnected();
}

void LineSocket::absorb(const QByteArray& chunk)
{
    qsizetype pos = 0;
    if (discarding_) {
        if (discardAfterCr_ && chunk.startsWith('\n')) {
            pos = 1;
        } else {
            const qsizetype idx = chunk.indexOf(kCrLf);
            if (idx < 0) {
                discardAfterCr_ = chunk.endsWith('\r');
                return;
            }
            pos = idx + 2;
        }
        discarding_ = false;
        discardAfterCr_ = false;
    }
    buffer_.append(chunk.constData() + pos, chunk.size() - pos);
}

void LineSocket::onReadyRead()
{
    QPointer<LineSocket> guard(this);
    const quint64 gen = generation_;
    while (socket_ && socket_->bytesAvailable() > 0) {
        const qint64 room = readBuffer_ - buffer_.size();
        if (room <= 0)
            break;  // cannot happen: full buffers are emptied below
        absorb(socket_->read(room));
        deliverLines();
        if (!guard || gen != generation_)
            return;  // closed or reopened by a handler: read nothing more
        if (buffer_.size() >= readBuffer_) {
            // A line that does not fit the buffer with its CR LF: drop it to its end.
            discarding_ = true;
            discardAfterCr_ = buffer_.endsWith('\r');
            buffer_.clear();
        }
    }
}

void LineSocket::deliverLines()
{
    // Lines are handed out from a read position and the buffer is compacted once per
    // read, not once per line. A handler that turns the event loop re-enters here and
    // carries on from the same position.
    QPointer<LineSocket> guard(this);
    for (;;) {
        const qsizetype idx = buffer_.indexOf(kCrLf, consumed_);
        if (idx < 0)
            break;
        const QByteArray line = buffer_.mid(consumed_, idx - consumed_);
        consumed_ = idx + 2;
        emit lineReceived(line);
        if (!guard)
            return;
    }
    buffer_.remove(0, consumed_);
    consumed_ = 0;
}
