#pragma once
// HTTP client for the web service: GET into memory or into a named file, POST with
// a body. One transfer at a time; the outcome is delivered exactly once through
// finished(). Hosts are "name" or "name:port" (port 80 when none is given).
#include <QByteArray>
#include <QObject>
#include <QString>

class QNetworkAccessManager;
class QNetworkReply;
class QFile;
class QTimer;

class HttpClient : public QObject {
    Q_OBJECT
public:
    enum class Outcome { Success, Failure, ConnectionFailed, InvalidHost };
    Q_ENUM(Outcome)

    explicit HttpClient(QObject* parent = nullptr);
    ~HttpClient() override;

    // Each returns false (and starts nothing) while a transfer is running.
    bool get(const QString& host, const QString& path);
    bool getToFile(const QString& host, const QString& path, const QString& filePath);
    bool post(const QString& host, const QString& path, const QByteArray& body);
    // A full address ("http://host[:port]/path"); a bare path is taken on defaultHost.
    bool getUrl(const QString& url, const QString& defaultHost = QString());
    bool getUrlToFile(const QString& url, const QString& filePath, const QString& defaultHost = QString());

    bool isBusy() const { return busy_; }
    QByteArray body() const { return body_; }           // body of the last in-memory transfer
    Outcome lastOutcome() const { return lastOutcome_; }
    // Turns the event loop until the running transfer has ended; returns its outcome
    // (the last outcome when none is running).
    Outcome waitForFinished();
    // Ends the running transfer at once; its finished(Failure) is emitted before this returns.
    void abort();
    // Seconds of silence after which a transfer fails; 0 = none. Default 30.
    void setTransferTimeout(int seconds) { timeoutSeconds_ = seconds; }
    // Caps the body, in memory or in a file; a larger body fails the transfer. Default 4 MiB.
    void setMaxBodySize(qint64 bytes) { maxBody_ = bytes; }

    static QString hostUrl(const QString& host, const QString& path);

signals:
    void finished(HttpClient::Outcome outcome);
    void progress(qint64 received, qint64 total);   // total 0 when unknown

private:
    bool start(const QString& url, const QByteArray* postBody, const QString& filePath);
    void onReadyRead();
    void onFinished();
    void restartSilence();
    void fail();
    void dropReply();
    void closeFile(bool keep);
    void complete(Outcome outcome);
    void finishLater(Outcome outcome);
    static bool statusIsSuccess(const QNetworkReply* reply);
    QNetworkAccessManager* nam_ = nullptr;
    QNetworkReply* reply_ = nullptr;
    QFile* file_ = nullptr;     // target of a transfer into a file; removed unless it succeeds
    QTimer* silence_ = nullptr;  // transfer time-out, restarted by every sign of progress
    QByteArray body_;
    Outcome lastOutcome_ = Outcome::Failure;
    int timeoutSeconds_ = 30;
    qint64 maxBody_ = 4 * 1024 * 1024;
    quint64 transfer_ = 0;      // number of the current transfer
    bool busy_ = false;
    bool failedWrite_ = false;
};
