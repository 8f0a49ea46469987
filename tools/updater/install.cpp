#include "install.h"

#include "components/net/installjournal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool Below(const QString& root, const QString& path)
{
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

// The folders between the nearest existing one and `folder`, outermost first; false when that
// existing folder (links resolved) is not inside root.
bool MissingFolders(const QString& root, const QString& folder, QStringList* missing)
{
    QString probe = folder;
    QStringList outer;
    while (!QFileInfo(probe).isDir()) {
        if (QFileInfo(probe).exists() || QFileInfo(probe).isSymLink() || probe.size() <= root.size())
            return false;
        outer.prepend(probe);
        probe = QFileInfo(probe).path();
    }
    for (const QString& made : outer)
        if (!missing->contains(made))
            missing->append(made);
    return Below(root, QFileInfo(probe).canonicalFilePath());
}

bool Present(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString In(const QString& root, const QString& relative) { return root + QLatin1Char('/') + relative; }

bool Stage(const QString& path, const PackageEntry& entry)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          entry.executable ? 0755 : 0644);
    if (fd < 0)
        return false;
    qint64 written = 0;
    while (written < entry.data.size()) {
        const ssize_t n = ::write(fd, entry.data.constData() + written, size_t(entry.data.size() - written));
        if (n <= 0)
            break;
        written += n;
    }
    // The mode asked for is narrowed by the umask; a package's files take the mode it gives them.
    const bool whole = written == entry.data.size() && ::fchmod(fd, entry.executable ? 0755 : 0644) == 0
        && ::fsync(fd) == 0;
    return ::close(fd) == 0 && whole;
}

// The former file is kept as a second name of the same file where the file system allows, so
// the target itself is never missing; as a copy otherwise.
bool Keep(const QString& root, InstallStep* step)
{
    const QString target = In(root, step->target);
    const QFileInfo old(target);
    if (!old.exists() && !old.isSymLink())
        return true;
    const QString kept = QLatin1String(kInstallKept) + QLatin1Char('/') + step->target;
    if (!QDir().mkpath(QFileInfo(In(root, kept)).path()))
        return false;
    if (::link(QFile::encodeName(target).constData(), QFile::encodeName(In(root, kept)).constData()) != 0
        && !QFile::copy(target, In(root, kept)))
        return false;
    step->kept = kept;
    return true;
}

bool Rename(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

bool Refuse(QString* reason, const QString& why)
{
    if (reason)
        *reason = why;
    return false;
}

}  // namespace

bool InstallFiles(const QString& folder, const QList<PackageEntry>& entries, QString* reason, int stopAfterRenames)
{
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return Refuse(reason, QStringLiteral("the program folder cannot be found"));
    const InstallLock lock(root);
    if (!lock.held())
        return Refuse(reason, QStringLiteral("another update is being installed"));
    if (Present(In(root, QLatin1String(kInstallJournal))))
        return Refuse(reason, QStringLiteral("an earlier update could not be undone"));

    // Every target is checked before anything is written.
    InstallPlan plan;
    QStringList newFolders;
    for (qsizetype k = 0; k < entries.size(); ++k) {
        const PackageEntry& entry = entries[k];
        if (!IsSafeRelativePath(entry.name))
            return Refuse(reason, QStringLiteral("the package holds a file it may not: ") + entry.name);
        // Names are taken as they are: the program folder may hold names that differ only in
        // letter case, and the package replaces exactly the files it names.
        InstallStep step;
        step.target = entry.name;
        step.staged = QLatin1String(kInstallStaging) + QLatin1Char('/') + QString::number(k);
        const QString target = In(root, entry.name);
        if (QFileInfo(target).isDir() && !QFileInfo(target).isSymLink())
            return Refuse(reason, QStringLiteral("the package would replace the folder ") + entry.name);
        if (!MissingFolders(root, QFileInfo(target).path(), &newFolders))
            return Refuse(reason, QStringLiteral("the package holds a file it may not: ") + entry.name);
        plan.steps.append(step);
    }
    for (const QString& made : newFolders)
        plan.folders.append(QDir(root).relativeFilePath(made));

    // The new files and the ones they replace are set aside first; until the journal is written
    // nothing in the folder has changed, and leftovers of an install stopped here go now.
    const QString staging = In(root, QLatin1String(kInstallStaging));
    const QString kept = In(root, QLatin1String(kInstallKept));
    const auto clear = [&] {
        QFile::remove(staging);   // a file or a link in their place
        QFile::remove(kept);
        return QDir(staging).removeRecursively() && QDir(kept).removeRecursively();
    };
    const auto dropAside = [&](const QString& why) {
        clear();
        return Refuse(reason, why);
    };
    if (!clear() || !QDir().mkdir(staging) || !QDir().mkdir(kept))
        return dropAside(QStringLiteral("the update cannot be staged in the program folder"));
    for (qsizetype k = 0; k < entries.size(); ++k)
        if (!Stage(In(root, plan.steps[k].staged), entries[k]))
            return dropAside(QStringLiteral("there is no room to write ") + entries[k].name);
    for (InstallStep& step : plan.steps)
        if (!Keep(root, &step))
            return dropAside(QStringLiteral("the current ") + step.target + QStringLiteral(" cannot be kept"));
    SyncFolder(staging);
    if (!WriteInstallJournal(root, plan))
        return dropAside(QStringLiteral("the update's journal cannot be written"));

    // From here on the journal says how to undo every step.
    const auto undo = [&](const QString& why) {
        const bool whole = RollBackInstall(root, plan);
        return Refuse(reason, whole ? why : why + QStringLiteral(", and not every file could be put back yet"));
    };
    for (const QString& made : plan.folders)
        if (!QDir().mkdir(In(root, made)))
            return undo(QStringLiteral("a folder cannot be made in the program folder"));
    for (qsizetype k = 0; k < plan.steps.size(); ++k) {
        if (k == stopAfterRenames)
            return Refuse(reason, QStringLiteral("stopped half-way"));
        if (!Rename(In(root, plan.steps[k].staged), In(root, plan.steps[k].target)))
            return undo(plan.steps[k].target + QStringLiteral(" cannot be replaced"));
    }
    for (const InstallStep& step : plan.steps)
        SyncFolder(QFileInfo(In(root, step.target)).path());
    plan.committed = true;
    if (!WriteInstallJournal(root, plan))
        return undo(QStringLiteral("the update's journal cannot be written"));
    if (stopAfterRenames == plan.steps.size())
        return Refuse(reason, QStringLiteral("stopped once committed"));
    // Installed; a .previous/ that cannot be replaced now is replaced at the next start.
    FinishInstall(root);
    return true;
}
