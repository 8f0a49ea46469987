#pragma once
// The program folder: every relative file name of the game resolves here, letter case
// ignored ("Welcome.wav" and "welcome.wav" are the same sound).
#include "components/net/filenames.h"

#include <QFileInfo>
#include <QString>

class ProgramFolder {
public:
    explicit ProgramFolder(QString root) : root_(std::move(root)) {}
    const QString& root() const { return root_; }
    QString path(const QString& relative) const { return ResolveFileCaseInsensitive(root_, relative); }
    bool exists(const QString& relative) const
    {
        if (relative.isEmpty())
            return false;
        const QFileInfo info(path(relative));
        return info.exists() && info.isFile();
    }

private:
    QString root_;
};
