#include "hallprocess.h"

#include <QDeadlineTimer>
#include <QRegularExpression>

HallProcess::HallProcess(const QStringList& extraArguments, int timeoutMs)
{
    QStringList arguments = {QStringLiteral("--web-port"), QStringLiteral("0"),
                             QStringLiteral("--request-port"), QStringLiteral("0"),
                             QStringLiteral("--sales-port"), QStringLiteral("0"),
                             QStringLiteral("--game-port"), QStringLiteral("0"),
                             QStringLiteral("--chat-port1"), QStringLiteral("0"),
                             QStringLiteral("--chat-port2"), QStringLiteral("0")};
    if (!extraArguments.contains(QStringLiteral("--db")))
        arguments += {QStringLiteral("--db"), dbDir_.filePath(QStringLiteral("hall.db"))};
    arguments += extraArguments;
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.start(QStringLiteral(BINGO_HALL_EXE), arguments);
    if (!process_.waitForStarted(timeoutMs)) {
        error_ = QStringLiteral("bingo-hall did not start: ") + process_.errorString();
        return;
    }
    const QDeadlineTimer deadline(timeoutMs);
    while (!process_.canReadLine()) {
        if (deadline.hasExpired() || process_.state() != QProcess::Running) {
            error_ = QStringLiteral("no ready line from bingo-hall; stderr: ")
                + QString::fromLocal8Bit(process_.readAllStandardError());
            return;
        }
        process_.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    readyLine_ = QString::fromLatin1(process_.readLine()).trimmed();
    static const QRegularExpression pattern(
        QStringLiteral("^bingo-hall ready web=([0-9.]+):(\\d+) request=(\\d+) sales=(\\d+) game=(\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(readyLine_);
    if (!match.hasMatch()) {
        error_ = QStringLiteral("unexpected ready line: ") + readyLine_;
        return;
    }
    webHost_ = match.captured(1) + QLatin1Char(':') + match.captured(2);
    webPort_ = quint16(match.captured(2).toUInt());
    requestPort_ = quint16(match.captured(3).toUInt());
    salesPort_ = quint16(match.captured(4).toUInt());
    gamePort_ = quint16(match.captured(5).toUInt());
    ready_ = true;
}

HallProcess::~HallProcess()
{
    if (process_.state() != QProcess::NotRunning)
        terminate();
}

int HallProcess::terminate(int timeoutMs)
{
    if (process_.state() == QProcess::NotRunning)
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    process_.terminate();   // SIGTERM
    if (!process_.waitForFinished(timeoutMs)) {
        process_.kill();
        process_.waitForFinished(timeoutMs);
        return -1;
    }
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}
