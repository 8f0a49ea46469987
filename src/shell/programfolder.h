#pragma once
// The program folder: every relative file name of the game resolves here, letter case
// ignored ("Welcome.wav" and "welcome.wav" are the same sound).
//
// A copy that can write beside its executable (a build, a portable copy) has one folder.
// An installed copy has two: a per-user folder that takes every write, layered over the
// installed folder, from which a file is read when the user's folder does not hold it.
#include "components/net/filenames.h"

#include <QFileInfo>
#include <QString>

class ProgramFolder {
public:
    explicit ProgramFolder(QString root, QString installed = QString())
        : root_(std::move(root)), installed_(std::move(installed))
    {
    }
    // The folder that takes the writes.
    const QString& root() const { return root_; }
    // Whether this is an installed copy, read from a folder the player cannot change.
    bool layered() const { return !installed_.isEmpty(); }
    // Where to read a file: the writable folder's copy, else the installed one; the
    // writable folder's path when neither exists.
    QString path(const QString& relative) const
    {
        const QString own = ResolveFileCaseInsensitive(root_, relative);
        if (layered() && !QFileInfo::exists(own)) {
            const QString installed = ResolveFileCaseInsensitive(installed_, relative);
            if (QFileInfo::exists(installed))
                return installed;
        }
        return own;
    }
    // Where to write (or remove) a file: always in the writable folder.
    QString writePath(const QString& relative) const { return ResolveFileCaseInsensitive(root_, relative); }
    bool exists(const QString& relative) const
    {
        if (relative.isEmpty())
            return false;
        const QFileInfo info(path(relative));
        return info.exists() && info.isFile();
    }

private:
    QString root_;
    QString installed_;
};

// The folders of a copy whose executable lies in exeFolder: that folder alone when it is
// writable, else dataHome + "/vexobingo" (dataHome is the XDG data home) over it.
struct ProgramFolders {
    QString root;
    QString installed;   // empty for a copy that writes beside its executable
};
ProgramFolders ChooseProgramFolders(const QString& exeFolder, bool exeFolderWritable, const QString& dataHome);
