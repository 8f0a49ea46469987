// qzupdate.exe: the program updater. The client starts it with three parameters (the
// download address, the name to save it as and the program to run) and ends itself.
// The updater fetches the package and its detached signature, checks the signature
// against the public key built into it, installs the package's files into its own
// folder all or nothing, and starts the client again with a line saying what happened.
// It has no window; a failure is also one line on stderr.
//
// The save-as name and the program to run are the client's names on another system;
// here nothing is saved under a name from the network and the program started is
// always the client beside the updater.
#include "install.h"
#include "updatekey.h"

#include "components/net/httpclient.h"
#include "components/net/package.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QUrl>
#include <cstdio>
#include <sodium.h>

namespace {

constexpr char kClient[] = "vexobingo";
constexpr qint64 kMaxPackage = 64 * 1024 * 1024;
constexpr int kSilenceSeconds = 30;

struct Download {
    QByteArray body;
    QString failure;   // empty on success
};

Download Fetch(const QString& address, qint64 cap, const QString& missing)
{
    HttpClient http;
    http.setTransferTimeout(kSilenceSeconds);
    http.setMaxBodySize(cap);
    qint64 received = 0;
    qint64 total = 0;
    QObject::connect(&http, &HttpClient::progress, [&](qint64 r, qint64 t) {
        received = r;
        total = t;
    });
    http.getUrl(address);
    if (http.waitForFinished() == HttpClient::Outcome::Success)
        return {http.body(), QString()};
    if (total > 0 && received < total)
        return {{}, QStringLiteral("the download was incomplete")};
    return {{}, missing};
}

QString Update(const QString& address)
{
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty())
        return QStringLiteral("the download address is not valid");
    const Download package = Fetch(address, kMaxPackage, QStringLiteral("the download failed"));
    if (!package.failure.isEmpty())
        return package.failure;
    const QString sigAddress = address + QStringLiteral(".sig");
    const Download signature = Fetch(sigAddress, 1024, QStringLiteral("the signature is missing"));
    if (!signature.failure.isEmpty())
        return signature.failure;
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
    if (files.entries.isEmpty())
        return QStringLiteral("the package holds no files");
    QString reason;
    if (!InstallFiles(QCoreApplication::applicationDirPath(), files.entries, &reason))
        return reason;
    return {};
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QString reason;
    if (arguments.size() != 4)
        reason = QStringLiteral("the updater needs three parameters: download address, save-as name, program to run");
    else if (sodium_init() < 0)
        reason = QStringLiteral("the signature check cannot start");
    else
        reason = Update(arguments[1]);
    const QString result = reason.isEmpty()
        ? QStringLiteral("Vexo Bingo has been updated.")
        : QStringLiteral("The update was not installed: ") + reason + QLatin1Char('.');

    const QString folder = QCoreApplication::applicationDirPath();
    const QString client = QDir(folder).filePath(QLatin1String(kClient));
    const bool restarted = QProcess::startDetached(client, {QStringLiteral("--update-result"), result}, folder);
    if (!restarted)
        std::fprintf(stderr, "qzupdate.exe: %s %s cannot be started.\n", qPrintable(result), qPrintable(client));
    else if (!reason.isEmpty())
        std::fprintf(stderr, "qzupdate.exe: %s\n", qPrintable(result));
    return !reason.isEmpty() ? 1 : restarted ? 0 : 3;
}
