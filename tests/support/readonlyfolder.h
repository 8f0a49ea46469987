#pragma once
// Makes a folder read-only while this lives. Its write bits go; for root, whom permission bits do
// not stop, it is also made immutable (chattr +i) where the file system allows.
#include <QFile>
#include <QProcess>
#include <QString>
#include <unistd.h>

class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(QString path) : path_(std::move(path))
    {
        QFile::setPermissions(path_, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                         | QFile::ReadOther | QFile::ExeOther);
        if (::geteuid() == 0)
            immutable_ = QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("+i"), path_}) == 0;
    }
    ~ReadOnlyFolder() { release(); }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

    // Whether the system now refuses to write in the folder.
    bool holds() const { return ::access(QFile::encodeName(path_).constData(), W_OK) != 0; }
    // Writable again.
    void release()
    {
        if (immutable_)
            QProcess::execute(QStringLiteral("chattr"), {QStringLiteral("-i"), path_});
        immutable_ = false;
        QFile::setPermissions(path_, QFile::permissions(path_) | QFile::WriteOwner);
    }

private:
    QString path_;
    bool immutable_ = false;
};
