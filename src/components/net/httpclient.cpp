#include "components/net/httpclient.h"

#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

HttpClient::HttpClient(QObject* parent) : QObject(parent)
{
    nam_ = new QNetworkAccessManager(this);
    nam_->setProxy(QNetworkProxy::NoProxy);
    silence_ = new QTimer(this);
    silence_->setSingleShot(true);
    connect(silence_, &QTimer::timeout, this, [this] { fail(); });
}

HttpClient::~HttpClient()
{
    dropReply();
    closeFile(false);
}

QString HttpClient::hostUrl(const QString& host, const QString& path)
{
    QString p = path;
    if (!p.startsWith(QLatin1Char('/')))
        p.prepend(QLatin1Char('/'));
    return QStringLiteral("http://") + host + p;
}

bool HttpClient::get(const QString& host, const QString& path)
{
    return start(hostUrl(host, path), nullptr, QString());
}

bool HttpClient::getToFile(const QString& host, const QString& path, const QString& filePath)
{
    if (filePath.isEmpty())
        return false;
    return start(hostUrl(host, path), nullptr, filePath);
}

bool HttpClient::post(const QString& host, const QString& path, const QByteArray& body)
{
    return start(hostUrl(host, path), &body, QString());
}

static QString fullUrl(const QString& url, const QString& defaultHost)
{
    if (url.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        return url;
    return HttpClient::hostUrl(defaultHost, url);
}

bool HttpClient::getUrl(const QString& url, const QString& defaultHost)
{
    return start(fullUrl(url, defaultHost), nullptr, QString());
}

bool HttpClient::getUrlToFile(const QString& url, const QString& filePath, const QString& defaultHost)
{
    if (filePath.isEmpty())
        return false;
    return start(fullUrl(url, defaultHost), nullptr, filePath);
}

bool HttpClient::start(const QString& url, const QByteArray* postBody, const QString& filePath)
{
    if (busy_)
        return false;
    busy_ = true;
    ++transfer_;
    body_.clear();
    failedWrite_ = false;

    const QUrl u(url, QUrl::StrictMode);
    if (!u.isValid() || u.host().isEmpty() || u.scheme().compare(QLatin1String("http"), Qt::CaseInsensitive) != 0) {
        finishLater(Outcome::InvalidHost);
        return true;
    }
    if (!filePath.isEmpty()) {
        file_ = new QFile(filePath);
        if (!file_->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            delete file_;
            file_ = nullptr;
            finishLater(Outcome::Failure);
            return true;
        }
    }

    QNetworkRequest req(u);
    req.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    req.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("VexoBingo/4.66"));
    if (postBody) {
        req.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply_ = nam_->post(req, *postBody);
    } else {
        reply_ = nam_->get(req);
    }
    connect(reply_, &QNetworkReply::readyRead, this, &HttpClient::onReadyRead);
    connect(reply_, &QNetworkReply::finished, this, &HttpClient::onFinished);
    connect(reply_, &QNetworkReply::downloadProgress, this, [this](qint64 received, qint64 total) {
        restartSilence();
        // Without a Content-Length the total stays unknown, even on the last report.
        if (total < 0 || !reply_ || !reply_->header(QNetworkRequest::ContentLengthHeader).isValid())
            total = 0;
        emit progress(received, total);
    });
    connect(reply_, &QNetworkReply::uploadProgress, this, [this] { restartSilence(); });
    restartSilence();
    return true;
}

void HttpClient::restartSilence()
{
    if (timeoutSeconds_ > 0 && busy_)
        silence_->start(timeoutSeconds_ * 1000);
}

bool HttpClient::statusIsSuccess(const QNetworkReply* reply)
{
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!status.isValid())
        return false;
    const int code = status.toInt();
    return code >= 200 && code <= 299;
}

void HttpClient::onReadyRead()
{
    if (!reply_)
        return;
    restartSilence();
    const QByteArray data = reply_->readAll();
    if (file_) {
        if (maxBody_ > 0 && file_->size() + data.size() > maxBody_) {
            fail();
            return;
        }
        // Only a successful reply's body goes into the file, never an error page.
        if (statusIsSuccess(reply_) && file_->write(data) != data.size()) {
            failedWrite_ = true;
            fail();
        }
        return;
    }
    if (maxBody_ > 0 && body_.size() + data.size() > maxBody_) {
        fail();
        return;
    }
    body_.append(data);
}

void HttpClient::onFinished()
{
    if (!reply_)
        return;
    onReadyRead();
    if (!reply_)
        return;  // failed while taking the last bytes
    QNetworkReply* r = reply_;
    Outcome outcome = Outcome::Failure;
    const QVariant status = r->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid()) {
        outcome = (r->error() == QNetworkReply::NoError && statusIsSuccess(r)) ? Outcome::Success : Outcome::Failure;
    } else {
        switch (r->error()) {
        case QNetworkReply::HostNotFoundError: outcome = Outcome::InvalidHost; break;
        case QNetworkReply::OperationCanceledError: outcome = Outcome::Failure; break;
        case QNetworkReply::NoError: outcome = Outcome::Failure; break;
        default: outcome = Outcome::ConnectionFailed; break;
        }
    }
    dropReply();
    complete(outcome);
}

void HttpClient::fail()
{
    if (!busy_)
        return;
    dropReply();
    complete(Outcome::Failure);
}

void HttpClient::abort()
{
    fail();
}

void HttpClient::dropReply()
{
    silence_->stop();
    if (!reply_)
        return;
    QNetworkReply* r = reply_;
    reply_ = nullptr;
    r->disconnect(this);
    r->abort();
    r->deleteLater();
}

void HttpClient::closeFile(bool keep)
{
    if (!file_)
        return;
    file_->close();
    if (!keep)
        file_->remove();
    delete file_;
    file_ = nullptr;
}

void HttpClient::complete(Outcome outcome)
{
    if (!busy_)
        return;
    closeFile(outcome == Outcome::Success);
    busy_ = false;
    lastOutcome_ = outcome;
    emit finished(outcome);
}

void HttpClient::finishLater(Outcome outcome)
{
    const quint64 id = transfer_;
    QTimer::singleShot(0, this, [this, id, outcome] {
        if (busy_ && id == transfer_ && !reply_)
            complete(outcome);
    });
}

HttpClient::Outcome HttpClient::waitForFinished()
{
    if (!busy_)
        return lastOutcome_;
    QEventLoop loop;
    Outcome result = Outcome::Failure;
    connect(this, &QObject::destroyed, &loop, &QEventLoop::quit);
    connect(this, &HttpClient::finished, &loop, [&loop, &result](Outcome o) {
        result = o;
        loop.quit();
    });
    loop.exec();
    return result;
}
