#include "install.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <unistd.h>

namespace {

struct Step {
    QString relative;   // as resolved below the folder
    QString target;     // absolute path of the file to install
    QString staged;     // the new file, beside the target until it is renamed into place
    QString kept;       // the former file in .previous/; empty when there was none
    bool placed = false;
};

bool Below(const QString& root, const QString& path)
{
    return path == root || path.startsWith(root + QLatin1Char('/'));
}

// The folders between the nearest existing one and `folder`, outermost first; empty when
// that existing folder (links resolved) is not inside root.
bool MissingFolders(const QString& root, const QString& folder, QStringList* missing)
{
    QString probe = folder;
    while (!QFileInfo(probe).isDir()) {
        if (QFileInfo(probe).exists() || QFileInfo(probe).isSymLink() || probe.size() <= root.size())
            return false;
        missing->prepend(probe);
        probe = QFileInfo(probe).path();
    }
    return Below(root, QFileInfo(probe).canonicalFilePath());
}

bool MakeFolders(const QStringList& folders, QStringList* created)
{
    for (const QString& folder : folders) {
        if (QFileInfo(folder).isDir())
            continue;
        if (!QDir().mkdir(folder))
            return false;
        created->append(folder);
    }
    return true;
}

bool Stage(const PackageEntry& entry, Step* step)
{
    QTemporaryFile file(QFileInfo(step->target).path() + QStringLiteral("/.qzupdate-XXXXXX"));
    if (!file.open())
        return false;
    file.setAutoRemove(false);
    step->staged = file.fileName();
    const QFileDevice::Permissions read = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
        | QFileDevice::ReadOther;
    const QFileDevice::Permissions execute = QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;
    return file.write(entry.data) == entry.data.size() && file.flush() && ::fsync(file.handle()) == 0
        && file.setPermissions(entry.executable ? read | execute : read);
}

// The former file goes to .previous/ as a second name of the same file where the file
// system allows, so the target itself is never missing; a copy otherwise.
bool Keep(const QString& previous, Step* step)
{
    const QFileInfo old(step->target);
    if (!old.exists() && !old.isSymLink())
        return true;
    const QString kept = previous + QLatin1Char('/') + step->relative;
    if (!QDir().mkpath(QFileInfo(kept).path()))
        return false;
    if (::link(QFile::encodeName(step->target).constData(), QFile::encodeName(kept).constData()) != 0
        && !QFile::copy(step->target, kept))
        return false;
    step->kept = kept;
    return true;
}

bool Rename(const QString& from, const QString& to)
{
    return std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0;
}

// Puts the folder back as it was before the steps; false when something could not be.
bool RollBack(QList<Step>& steps, const QStringList& createdFolders)
{
    bool whole = true;
    for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
        if (step->placed)
            whole &= step->kept.isEmpty() ? QFile::remove(step->target) : Rename(step->kept, step->target);
        else if (!step->staged.isEmpty())
            QFile::remove(step->staged);
    }
    for (auto folder = createdFolders.crbegin(); folder != createdFolders.crend(); ++folder)
        QDir().rmdir(*folder);
    return whole;
}

bool Refuse(QString* reason, const QString& why)
{
    if (reason)
        *reason = why;
    return false;
}

}  // namespace

bool InstallFiles(const QString& folder, const QList<PackageEntry>& entries, QString* reason)
{
    const QString root = QFileInfo(folder).canonicalFilePath();
    if (root.isEmpty())
        return Refuse(reason, QStringLiteral("the program folder cannot be found"));

    // Every target is checked before anything is written.
    QList<Step> steps;
    QStringList newFolders;
    for (const PackageEntry& entry : entries) {
        if (!IsSafeRelativePath(entry.name))
            return Refuse(reason, QStringLiteral("the package holds a file it may not: ") + entry.name);
        // Names are taken as they are: the program folder may hold names that differ only in
        // letter case, and the package replaces exactly the files it names.
        Step step;
        step.relative = entry.name;
        step.target = root + QLatin1Char('/') + entry.name;
        if (QFileInfo(step.target).isDir() && !QFileInfo(step.target).isSymLink())
            return Refuse(reason, QStringLiteral("the package would replace the folder ") + step.relative);
        if (!MissingFolders(root, QFileInfo(step.target).path(), &newFolders))
            return Refuse(reason, QStringLiteral("the package holds a file it may not: ") + entry.name);
        steps.append(step);
    }

    // The files the last update replaced go; this update's take their place.
    const QString previous = root + QStringLiteral("/.previous");
    if (QFileInfo(previous).isSymLink() || QFileInfo(previous).isFile())
        QFile::remove(previous);
    if ((QFileInfo(previous).isDir() && !QDir(previous).removeRecursively()) || !QDir().mkpath(previous))
        return Refuse(reason, QStringLiteral("the folder .previous cannot be emptied"));

    QStringList created;
    const auto undo = [&](const QString& why) {
        const bool whole = RollBack(steps, created);
        return Refuse(reason, whole ? why : why + QStringLiteral(", and not every file could be put back"));
    };
    if (!MakeFolders(newFolders, &created))
        return undo(QStringLiteral("a folder cannot be made in the program folder"));
    for (int k = 0; k < steps.size(); ++k)
        if (!Stage(entries[k], &steps[k]))
            return undo(QStringLiteral("there is no room to write ") + steps[k].relative);
    for (Step& step : steps)
        if (!Keep(previous, &step))
            return undo(QStringLiteral("the current ") + step.relative + QStringLiteral(" cannot be kept"));
    for (Step& step : steps) {
        if (!Rename(step.staged, step.target))
            return undo(step.relative + QStringLiteral(" cannot be replaced"));
        step.placed = true;
    }
    return true;
}
