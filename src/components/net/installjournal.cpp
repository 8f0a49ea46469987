#include "components/net/installjournal.h"

#include "components/net/filenames.h"
#include "components/net/package.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kLockFile[] = ".qzupdate-lock";
constexpr char kHeader[] = "vexo-install 1";
// A journal larger than this is not one the updater wrote (4096 entries of long names fit).
constexpr qint64 kMaxJournal = 8 * 1024 * 1024;

QByteArray Native(const QString& path) { return QFile::encodeName(path); }

bool Present(const QString& path)
{
    struct stat info {};
    return ::lstat(Native(path).constData(), &info) == 0;
}

QString In(const QString& folder, const QString& relative) { return folder + QLatin1Char('/') + relative; }

QByteArray Field(const QString& text) { return text.isEmpty() ? QByteArray("-") : QUrl::toPercentEncoding(text); }

QString Unfield(const QByteArray& field)
{
    return field == "-" ? QString() : QUrl::fromPercentEncoding(field);
}

// Reads the journal; false when it is not one the updater wrote. Every path it names must stay
// where the updater puts it, so a planted journal cannot move files anywhere else.
bool ReadJournal(const QString& folder, InstallPlan* plan)
{
    QFile file(In(folder, QLatin1String(kInstallJournal)));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxJournal)
        return false;
    const QList<QByteArray> lines = file.readAll().split('\n');
    if (lines.size() < 3 || lines.first() != kHeader || lines.last() != "" || lines[lines.size() - 2] != "end")
        return false;
    const QString staging = QLatin1String(kInstallStaging) + QLatin1Char('/');
    const QString kept = QLatin1String(kInstallKept) + QLatin1Char('/');
    for (qsizetype k = 1; k + 2 < lines.size(); ++k) {
        const QList<QByteArray> fields = lines[k].split(' ');
        if (fields == QList<QByteArray>{"committed"}) {
            plan->committed = true;
        } else if (fields.size() == 2 && fields[0] == "folder" && IsSafeRelativePath(Unfield(fields[1]))) {
            plan->folders.append(Unfield(fields[1]));
        } else if (fields.size() == 4 && fields[0] == "step") {
            const InstallStep step{Unfield(fields[1]), Unfield(fields[2]), Unfield(fields[3])};
            if (!IsSafeRelativePath(step.target) || !step.staged.startsWith(staging)
                || !IsSafeFileName(step.staged.mid(staging.size()))
                || (!step.kept.isEmpty() && step.kept != kept + step.target))
                return false;
            plan->steps.append(step);
        } else {
            return false;
        }
    }
    return true;
}

bool RemoveTree(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() || info.isFile())
        return QFile::remove(path);
    return !info.exists() || QDir(path).removeRecursively();
}

bool RemoveJournal(const QString& folder)
{
    const QString journal = In(folder, QLatin1String(kInstallJournal));
    return (::unlink(Native(journal).constData()) == 0 || errno == ENOENT) && SyncFolder(folder);
}

// Syncs the folders that hold the plan's targets.
void SyncTargets(const QString& folder, const InstallPlan& plan)
{
    QSet<QString> folders;
    for (const InstallStep& step : plan.steps)
        folders.insert(QFileInfo(In(folder, step.target)).path());
    for (const QString& path : folders)
        SyncFolder(path);
    SyncFolder(folder);
}

}  // namespace

InstallLock::InstallLock(const QString& folder)
{
    fd_ = ::open(Native(In(folder, QLatin1String(kLockFile))).constData(),
                 O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd_ >= 0 && ::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

InstallLock::~InstallLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool SyncFolder(const QString& folder)
{
    const int fd = ::open(Native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

bool WriteInstallJournal(const QString& folder, const InstallPlan& plan)
{
    QByteArray text = QByteArray(kHeader) + '\n';
    for (const QString& made : plan.folders)
        text += "folder " + Field(made) + '\n';
    for (const InstallStep& step : plan.steps)
        text += "step " + Field(step.target) + ' ' + Field(step.staged) + ' ' + Field(step.kept) + '\n';
    if (plan.committed)
        text += "committed\n";
    text += "end\n";

    const QByteArray journal = Native(In(folder, QLatin1String(kInstallJournal)));
    const QByteArray temporary = journal + ".tmp";
    ::unlink(temporary.constData());
    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool written = ::write(fd, text.constData(), size_t(text.size())) == text.size() && ::fsync(fd) == 0;
    written &= ::close(fd) == 0;
    if (!written || std::rename(temporary.constData(), journal.constData()) != 0) {
        ::unlink(temporary.constData());
        return false;
    }
    return SyncFolder(folder);
}

bool RollBackInstall(const QString& folder, const InstallPlan& plan)
{
    bool whole = true;
    for (auto step = plan.steps.crbegin(); step != plan.steps.crend(); ++step) {
        if (Present(In(folder, step->staged)))
            continue;   // never renamed into place
        const QByteArray target = Native(In(folder, step->target));
        if (step->kept.isEmpty()) {
            whole &= ::unlink(target.constData()) == 0 || errno == ENOENT;
        } else if (const QString kept = In(folder, step->kept); Present(kept)) {
            whole &= std::rename(Native(kept).constData(), target.constData()) == 0;
        }   // else put back already
    }
    for (auto made = plan.folders.crbegin(); made != plan.folders.crend(); ++made)
        ::rmdir(Native(In(folder, *made)).constData());
    if (!whole)
        return false;
    SyncTargets(folder, plan);
    RemoveTree(In(folder, QLatin1String(kInstallStaging)));
    RemoveTree(In(folder, QLatin1String(kInstallKept)));
    return RemoveJournal(folder);
}

bool FinishInstall(const QString& folder)
{
    const QString kept = In(folder, QLatin1String(kInstallKept));
    const QString previous = In(folder, QLatin1String(kInstallPrevious));
    if (Present(kept)) {
        if (!RemoveTree(previous) || std::rename(Native(kept).constData(), Native(previous).constData()) != 0)
            return false;
    }
    RemoveTree(In(folder, QLatin1String(kInstallStaging)));
    return RemoveJournal(folder);
}

QString RecoverInterruptedInstall(const QString& folder)
{
    if (!Present(In(folder, QLatin1String(kInstallJournal))))
        return {};
    const InstallLock lock(folder);
    if (!lock.held() || !Present(In(folder, QLatin1String(kInstallJournal))))
        return {};   // an install runs now, or has just ended
    InstallPlan plan;
    if (!ReadJournal(folder, &plan)) {
        RemoveJournal(folder);
        return QStringLiteral("An update was stopped before it ended and its notes cannot be read: "
                              "if Vexo Bingo does not work, please install it again.");
    }
    if (plan.committed)
        return FinishInstall(folder)
            ? QStringLiteral("An update that was stopped just before its end has been completed.")
            : QStringLiteral("An update that was stopped just before its end could not be completed: its former "
                             "files stay in .qzupdate-kept.");
    return RollBackInstall(folder, plan)
        ? QStringLiteral("An update was stopped before it ended: the former files have been put back.")
        : QStringLiteral("An update was stopped before it ended and not every former file could be put back "
                         "yet: Vexo Bingo will try again at its next start.");
}
