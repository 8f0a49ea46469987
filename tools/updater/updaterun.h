#pragma once
// One run of the updater: its progress window (a line saying what it does, a progress bar and
// Cancel), the download of the package and its signature within an overall deadline, the
// checks of signature and version, and the install into the program folder.
#include <QDialog>
#include <QString>
#include <QVersionNumber>

class HttpClient;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class UpdateRun : public QDialog {
    Q_OBJECT
public:
    // The whole download, package and signature, ends within this time, whatever the server
    // sends; each transfer also fails after kSilenceSeconds without a byte.
    static constexpr int kDeadlineSeconds = 5 * 60;
    static constexpr int kSilenceSeconds = 30;

    // folder: the program folder; address: the package's (its signature is at address + ".sig").
    UpdateRun(QString folder, QString address, int deadlineSeconds = kDeadlineSeconds);
    ~UpdateRun() override;
    // Shows the window, runs the update to its end and closes the window: empty when the update
    // is installed, else the reason it is not.
    QString run();
    // The version the program folder holds: its VERSION file, but never older than this updater.
    static QVersionNumber InstalledVersion(const QString& folder);

    // Cancel, Escape and the window's close button end the update; nothing is installed.
    void reject() override;

private:
    QString update();
    struct Download {
        QByteArray body;
        QString failure;   // empty on success
    };
    Download fetch(const QString& address, qint64 cap, const QString& missing, bool shown);
    void say(const QString& text);

    QString folder_;
    QString address_;
    QLabel* status_;
    QProgressBar* bar_;
    QPushButton* cancel_;
    QTimer* deadline_;
    HttpClient* http_ = nullptr;   // the running transfer's
    QString stopped_;              // why the update was stopped from outside; empty while it runs
};
