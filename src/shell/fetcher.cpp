#include "shell/fetcher.h"

#include <QDir>
#include <QFile>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace {
constexpr qint64 kMaxFetchBytes = 8 * 1024 * 1024;

// Whether two paths name one file: on a folder that ignores letter case, "Grid.GIF" and
// "grid.gif" are the same file, and removing one would remove both.
bool SameFile(const QString& a, const QString& b)
{
    struct stat sa {};
    struct stat sb {};
    return ::stat(QFile::encodeName(a).constData(), &sa) == 0 && ::stat(QFile::encodeName(b).constData(), &sb) == 0
           && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}
}   // namespace

Fetcher::Fetcher(DialogsView* dialogs, PlayerView* player, const ServiceDirectory& directory,
                 const SettingsStore& settings, const ProgramFolder& folder, QObject* parent)
    : QObject(parent), dialogs_(dialogs), player_(player), directory_(directory), settings_(settings), folder_(folder)
{
    http_.setMaxBodySize(kMaxFetchBytes);
    connect(&http_, &HttpClient::finished, this, &Fetcher::Finished);
    connect(&http_, &HttpClient::progress, this, [this](qint64 received, qint64 total) {
        if (total > 0)
            dialogs_->showDownloadProgress(int(std::lround(double(received) * 100.0 / double(total))));
    });
    // A client killed during a fetch leaves its temporary file behind. They are swept here, when the
    // core is made, because no fetch of this client can have begun yet.
    for (const QString& under : {QString(), QStringLiteral("sounds")}) {
        const QDir dir(QDir(folder_.root()).filePath(under));
        for (const QString& file : dir.entryList(QDir::Files | QDir::Hidden))
            if (file.endsWith(QLatin1String(".tmp")) && TemporaryName(file) == file)
                QFile::remove(dir.filePath(file));
    }
}

bool Fetcher::Fetchable(const QString& name)
{
    const QString type = name.mid(name.indexOf(QLatin1Char('.')) + 1, 3).toUpper();
    return type == QLatin1String("GIF") || type == QLatin1String("JPG") || type == QLatin1String("WAV");
}

QString Fetcher::TemporaryName(const QString& name)
{
    const int dot = name.indexOf(QLatin1Char('.'));
    return (dot < 0 ? QString() : name.left(dot)) + QStringLiteral(".tmp");
}

void Fetcher::FetchFile(const QString& name, FetchKind kind, std::optional<Picture> place)
{
    const bool sound = kind == FetchKind::Sound;
    // Nothing to fetch: the download window does not come up at all.
    if (!IsSafeFileName(name) || !Fetchable(name) || (sound && !settings_.soundOn()))
        return;
    const Running fetch{name, sound ? QStringLiteral("sounds/") : QString(), place, kind};
    if (!http_.isBusy()) {
        Start(fetch);
        return;
    }
    const auto same = [&fetch](const Running& r) { return r.name == fetch.name && r.place == fetch.place; };
    const bool known = same(running_) || std::any_of(waiting_.begin(), waiting_.end(), same);
    if (!known && waiting_.size() < kMaxWaiting)
        waiting_.append(fetch);
}

QString Fetcher::TargetPath(const Running& fetch) const
{
    return QDir(folder_.root()).filePath(fetch.folder + fetch.name);
}

QString Fetcher::TemporaryPath(const Running& fetch) const
{
    return QDir(folder_.root()).filePath(fetch.folder + TemporaryName(fetch.name));
}

void Fetcher::Start(const Running& fetch)
{
    running_ = fetch;
    const bool sound = fetch.kind == FetchKind::Sound;
    const bool ad = fetch.kind == FetchKind::AdSpace1 || fetch.kind == FetchKind::AdSpace2;
    dialogs_->showDownload(fetch.name);
    dialogs_->showDownloadProgress(0);
    if (sound)
        QDir(folder_.root()).mkpath(QStringLiteral("sounds"));
    QFile::remove(TemporaryPath(fetch));
    http_.getToFile(ad ? directory_.ImageHost : directory_.FilesHost,
                    (sound ? QStringLiteral("/sounds/") : QStringLiteral("/images/")) + fetch.name, TemporaryPath(fetch));
}

void Fetcher::Finished(HttpClient::Outcome outcome)
{
    dialogs_->hideDownload();
    const Running done = running_;
    // The next waiting request starts once this one has been dealt with.
    QTimer::singleShot(0, this, [this] {
        if (!http_.isBusy() && !waiting_.isEmpty())
            Start(waiting_.takeFirst());
    });
    const QString temporary = TemporaryPath(done);
    if (outcome == HttpClient::Outcome::Success) {
        const QString target = TargetPath(done);
        const QString old = folder_.writePath(done.folder + done.name);   // perhaps in another letter case
        // rename(2) puts the new file in the old one's place in one step: whatever fails, one of them is there.
        if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(target).constData()) == 0) {
            if (!SameFile(old, target))
                QFile::remove(old);
            if (done_)
                done_(Done{done.name, done.kind, done.place, true});
            return;
        }
    }
    QFile::remove(temporary);
    if (done_)
        done_(Done{done.name, done.kind, done.place, false});
    if (done.kind != FetchKind::PatternPicture && done.kind != FetchKind::AdSpace2)
        player_->message(QStringLiteral("Unable to Receive Image File: ") + done.name);
}
