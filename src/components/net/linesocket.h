#pragma once
// A TCP client link that carries CR LF terminated lines of single-byte text.
//
// - connectTo() is asynchronous; the outcome arrives once as connected(errorCode),
//   0 for success, a non-zero code for a failed attempt (refused, unreachable,
//   host not found, or the connect time-out when one is set).
// - Each complete incoming line is delivered once, in arrival order, without its
//   CR LF. Bytes after the last CR LF wait for the next read.
// - A line must fit in the read buffer together with its CR LF. When the buffer
//   fills without a CR LF, the bytes are discarded up to and including the next
//   CR LF; memory never grows beyond the read buffer.
// - close() stops reading at once: nothing that arrives later is delivered. Lines
//   that were already complete in the buffer when the handler called close() are
//   still delivered one after another.
// - sendLine() appends CR LF and flushes at once. A peer that stops reading cannot
//   make the unsent bytes grow past kMaxUnsent: sendLine() then refuses the line.
// - disconnected() tells that the peer ended an established connection (not sent
//   after close()); complete lines that came before the end are delivered first.
#include <QByteArray>
#include <QObject>
#include <QString>

class QTcpSocket;
class QTimer;

class LineSocket : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxUnsent = 64 * 1024;

    explicit LineSocket(QObject* parent = nullptr);
    ~LineSocket() override;

    void setBufferSizes(int readBuffer, int writeBuffer);
    // Seconds a connection attempt (including the name lookup) may take; 0 = no limit.
    void setConnectTimeout(int seconds);

    void connectTo(const QString& host, quint16 port);
    void close();
    bool isOpen() const;       // connecting or connected
    bool isConnected() const;  // connected
    bool sendLine(const QByteArray& line);

    // Codes reported through connected() for a failed attempt.
    enum ErrorCode { NoError = 0, Refused = 10061, HostNotFound = 11001, TimedOut = 10060, OtherError = 10050 };

signals:
    void connected(int errorCode);
    void lineReceived(const QByteArray& line);
    void disconnected();

private:
    void onReadyRead();
    void deliverLines();
    void onError();
    void absorb(const QByteArray& chunk);
    void dropSocket();
    void endConnection();
    QTcpSocket* socket_ = nullptr;
    QTimer* timeout_ = nullptr;
    QByteArray buffer_;
    qsizetype consumed_ = 0;    // bytes of buffer_ already handed out as lines
    int readBuffer_ = 2048;
    int writeBuffer_ = 1024;
    int connectTimeout_ = 0;
    bool discarding_ = false;   // inside an over-long line, dropping up to its CR LF
    bool discardAfterCr_ = false;  // discarding, and the last byte seen was CR
    bool reported_ = false;     // connected() already emitted for this attempt
    quint64 generation_ = 0;    // bumped by close() and connectTo()
};
