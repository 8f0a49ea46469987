#include "updaterun.h"

#include "install.h"
#include "updatekey.h"
#include "updateversion.h"

#include "components/net/httpclient.h"
#include "components/net/package.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <sodium.h>

namespace {
constexpr qint64 kMaxPackage = 64 * 1024 * 1024;
}

UpdateRun::UpdateRun(QString folder, QString address, int deadlineSeconds)
    : folder_(std::move(folder)), address_(std::move(address)), status_(new QLabel(this)),
      bar_(new QProgressBar(this)), cancel_(new QPushButton(QStringLiteral("Cancel"), this)),
      deadline_(new QTimer(this))
{
    setObjectName(QStringLiteral("UpdaterWindow"));
    setWindowTitle(QStringLiteral("Vexo Bingo update"));
    status_->setObjectName(QStringLiteral("StatusLabel"));
    status_->setAccessibleName(QStringLiteral("What the update does"));
    status_->setTextFormat(Qt::PlainText);
    status_->setMinimumWidth(320);
    bar_->setObjectName(QStringLiteral("ProgressBar"));
    bar_->setAccessibleName(QStringLiteral("Download progress"));
    bar_->setRange(0, 0);
    cancel_->setObjectName(QStringLiteral("CancelButton"));
    cancel_->setAccessibleName(QStringLiteral("Cancel the update"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(status_);
    layout->addWidget(bar_);
    layout->addWidget(cancel_, 0, Qt::AlignRight);
    connect(cancel_, &QPushButton::clicked, this, &UpdateRun::reject);

    deadline_->setSingleShot(true);
    deadline_->setInterval(deadlineSeconds * 1000);
    connect(deadline_, &QTimer::timeout, this, [this] {
        stopped_ = QStringLiteral("the download took too long");
        if (http_)
            http_->abort();
    });
}

UpdateRun::~UpdateRun() = default;

void UpdateRun::reject()
{
    if (!cancel_->isEnabled())
        return;   // the install runs; it is short and is not broken off
    if (stopped_.isEmpty())
        stopped_ = QStringLiteral("the update was cancelled");
    if (http_)
        http_->abort();
}

void UpdateRun::say(const QString& text)
{
    status_->setText(text);
    QApplication::processEvents();
}

QString UpdateRun::run()
{
    show();
    const QString reason = update();
    deadline_->stop();
    hide();
    return reason;
}

QVersionNumber UpdateRun::InstalledVersion(const QString& folder)
{
    const QVersionNumber own = ReadVersion(QByteArrayLiteral(VEXO_VERSION));
    QFile file(folder + QLatin1Char('/') + QLatin1String(kVersionEntry));
    const QVersionNumber installed = file.open(QIODevice::ReadOnly) ? ReadVersion(file.read(65)) : QVersionNumber();
    return installed > own ? installed : own;
}

UpdateRun::Download UpdateRun::fetch(const QString& address, qint64 cap, const QString& missing, bool shown)
{
    HttpClient http;
    http.setTransferTimeout(kSilenceSeconds);
    http.setMaxBodySize(cap);
    qint64 received = 0;
    qint64 total = 0;
    connect(&http, &HttpClient::progress, this, [&](qint64 r, qint64 t) {
        received = r;
        total = t;
        if (!shown)
            return;
        bar_->setRange(0, t > 0 ? 1000 : 0);
        if (t > 0)
            bar_->setValue(int(qMin<qint64>(1000, r * 1000 / t)));
    });
    if (!stopped_.isEmpty())
        return {{}, stopped_};
    http_ = &http;
    http.getUrl(address);
    const HttpClient::Outcome outcome = http.waitForFinished();
    http_ = nullptr;
    if (!stopped_.isEmpty())
        return {{}, stopped_};
    if (outcome == HttpClient::Outcome::Success)
        return {http.body(), QString()};
    if (total > 0 && received < total)
        return {{}, QStringLiteral("the download was incomplete")};
    return {{}, missing};
}

QString UpdateRun::update()
{
    const QUrl url(address_, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty())
        return QStringLiteral("the download address is not valid");
    deadline_->start();
    say(QStringLiteral("Downloading the update from %1 ...").arg(url.host()));
    const Download package = fetch(address_, kMaxPackage, QStringLiteral("the download failed"), true);
    if (!package.failure.isEmpty())
        return package.failure;
    say(QStringLiteral("Checking the update's signature ..."));
    const Download signature = fetch(address_ + QStringLiteral(".sig"), 1024,
                                     QStringLiteral("the signature is missing"), false);
    if (!signature.failure.isEmpty())
        return signature.failure;
    deadline_->stop();
    if (signature.body.size() != crypto_sign_BYTES)
        return QStringLiteral("the signature is missing");

    unsigned char key[crypto_sign_PUBLICKEYBYTES];
    size_t length = 0;
    if (sodium_hex2bin(key, sizeof key, kUpdatePublicKey, sizeof kUpdatePublicKey - 1, nullptr, &length, nullptr) != 0
        || length != sizeof key)
        return QStringLiteral("the updater holds no valid key");
    const auto* signatureBytes = reinterpret_cast<const unsigned char*>(signature.body.constData());
    const auto* bytes = reinterpret_cast<const unsigned char*>(package.body.constData());
    if (crypto_sign_verify_detached(signatureBytes, bytes, quint64(package.body.size()), key) != 0)
        return QStringLiteral("the signature does not match");

    PackageLimits limits;
    limits.folders = true;
    limits.maxEntries = 4096;
    limits.maxEntryBytes = kMaxPackage;
    limits.maxTotalBytes = kMaxPackage;
    const Package files = ReadPackage(package.body, limits);
    if (!files.ok)
        return files.error;
    // The version is signed with the files: an older package, however genuine, is refused. The
    // same version is taken again, to repair a folder.
    const QVersionNumber offered = PackageVersion(files.entries);
    if (offered.isNull())
        return QStringLiteral("the package does not say its version");
    const QVersionNumber installed = InstalledVersion(folder_);
    if (offered < installed)
        return QStringLiteral("the package holds version %1, older than the installed %2")
            .arg(offered.toString(), installed.toString());

    cancel_->setEnabled(false);
    say(QStringLiteral("Installing version %1 ...").arg(offered.toString()));
    QString reason;
    if (!InstallFiles(folder_, files.entries, &reason))
        return reason;
    return {};
}
