#include "calls/setcatalogue.h"

#include "rules/wire.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMultiHash>
#include <QSaveFile>

namespace {

struct KindRow {
    const char* key;
    const char* path;
    const char* defaultEntry;   // nullptr: the list has no default entry
    int numberOffset;           // set number of list index i is i + numberOffset
};

const KindRow kKinds[3] = {
    {"cset", "/VexoBingo/clist.asp", "Default Caller", 0},
    {"bset", "/VexoBingo/blist.asp", "Default Bingo", 0},
    {"aset", "/VexoBingo/alist.asp", nullptr, 1},
};

// No list is longer than this; set numbers stay small and the look-ups bounded.
constexpr int kMaxSets = 999;
// A catalogue is a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxCatalogueBytes = 64 * 1024;
// A set: a caller's 150 voices with room to spare, none of them longer than a few minutes.
constexpr int kMaxSetFiles = 256;
constexpr qint64 kMaxSetFileBytes = 4 * 1024 * 1024;
constexpr qint64 kMaxSetBytes = 48 * 1024 * 1024;
// The package as it arrives: the files, a tar header and padding for each, and what gzip
// adds to sound it cannot shrink, all well within the extra mebibyte.
constexpr qint64 kMaxPackageBytes = kMaxSetBytes + 1024 * 1024;

const char* const kAnnouncerFiles[] = {"welcome.wav", "lastcall.wav", "loginok.wav", "nextgameis.wav", "nosales.wav",
                                       "reconnect.wav", "saleson.wav", "starting.wav", "bingo.wav"};

// A whole decimal number 0..kMaxSets, or -1.
int smallNumber(const QByteArray& text)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok, 10);
    return ok && n >= 0 && n <= kMaxSets ? n : -1;
}

}   // namespace

QByteArray CatalogueValue(const QByteArray& key, const QByteArray& reply)
{
    return KeyedValue(reply, key, 1024, "%");
}

PackageLimits SetPackageLimits()
{
    PackageLimits limits;
    limits.maxEntries = kMaxSetFiles;
    limits.maxEntryBytes = kMaxSetFileBytes;
    limits.maxTotalBytes = kMaxSetBytes;
    limits.folders = false;
    limits.suffix = QStringLiteral(".wav");
    return limits;
}

SetCatalogue::SetCatalogue(SetKind kind, const QString& downloadSite, const ProgramFolder& folder,
                           SettingsStore& settings, SoundQueue& sounds, SetWindowsView* sets, PlayerView* player,
                           QObject* parent)
    : QObject(parent), kind_(kind), downloadSite_(downloadSite), folder_(folder), settings_(settings), sounds_(sounds),
      sets_(sets), player_(player)
{
    connect(&http_, &HttpClient::finished, this, &SetCatalogue::Finished);
    connect(&http_, &HttpClient::progress, this, &SetCatalogue::Progress);
}


void SetCatalogue::Open()
{
    sounds_.setMuted(true);
    sounds_.PlayVoice(QStringLiteral("null.wav"));
    sets_->showSetWindow(kind_, true);
    RequestCatalogue();
}

void SetCatalogue::RequestCatalogue()
{
    // A set download still running keeps the window's client: the window shows the
    // download, and Close stays there to close it while the download goes on.
    if (http_.isBusy()) {
        sets_->showSetMessage(kind_, QStringLiteral("Downloading. Please Wait..."));
        sets_->enableSetList(kind_, false);
        sets_->showSetClose(kind_, true);
        return;
    }
    state_ = State::FetchingList;
    if (kind_ != SetKind::Caller)
        sets_->showSetClose(kind_, true);
    if (kind_ == SetKind::FunBingo)
        sets_->enableSetList(kind_, true);
    http_.setMaxBodySize(kMaxCatalogueBytes);
    http_.get(settings_.values().WebHost, QLatin1String(kKinds[int(kind_)].path));
}

void SetCatalogue::Finished(HttpClient::Outcome outcome)
{
    if (outcome == HttpClient::Outcome::Success) {
        if (state_ == State::FetchingList)
            FillCatalogue(http_.body());
        else if (state_ == State::Downloading)
            InstallDownloadedSet();
        return;
    }
    const bool downloading = state_ == State::Downloading;
    state_ = State::Idle;
    if (downloading)
        ShowReady();
    if (kind_ == SetKind::FunBingo)
        return;   // the fun-bingo window does not report transfer failures
    player_->beep();
    player_->message(outcome == HttpClient::Outcome::ConnectionFailed ? QStringLiteral("Error: Connection Failed")
                      : outcome == HttpClient::Outcome::InvalidHost    ? QStringLiteral("Error: Invalid Host")
                                                                       : QStringLiteral("Connection Failure"));
    sounds_.setMuted(false);
    sets_->showSetWindow(kind_, false);
}

void SetCatalogue::Progress(qint64 received, qint64 total)
{
    if (total <= 0)
        return;
    sets_->showSetProgress(kind_, qBound(0, qRound(double(received) * 100.0 / double(total)), 100));
}

void SetCatalogue::FillCatalogue(const QByteArray& reply)
{
    reply_ = reply;
    const KindRow& row = kKinds[int(kind_)];
    QStringList items;
    if (row.defaultEntry)
        items << QLatin1String(row.defaultEntry);
    // The list stops at the first set whose title is missing, so that list index and
    // set number stay in step.
    const int count = smallNumber(CatalogueValue("count:", reply_));
    for (int k = 1; k <= count; ++k) {
        const QByteArray key = row.key + QByteArray::number(k) + ':';
        if (!reply_.contains(key))
            break;
        items << QString::fromLatin1(CatalogueValue(key, reply_));
    }
    entries_ = int(items.size());
    sets_->showSetItems(kind_, items);
    if (kind_ != SetKind::FunBingo) {
        sets_->showSetClose(kind_, true);
        sets_->enableSetList(kind_, true);
    }
}

void SetCatalogue::ChooseSet(int selectedIndex)
{
    if (selectedIndex < 0 || selectedIndex >= entries_) {
        player_->beep();
        player_->message(QStringLiteral("You must select an item in the list before setting"));
        return;
    }
    if (kind_ != SetKind::Announcer && selectedIndex == 0) {
        if (kind_ == SetKind::Caller)
            settings_.setCallerSet(QString());
        else
            settings_.setFunBingoSet(QString(), QStringLiteral("0"));
        settings_.save();
        sounds_.setMuted(false);
        CloseWindow();
        return;
    }

    const int number = selectedIndex + kKinds[int(kind_)].numberOffset;
    const QString name = QLatin1String(kKinds[int(kind_)].key) + QString::number(number);

    bool download = true;
    const QString callerVoice = QStringLiteral("sounds/cs") + QString::number(number) + QStringLiteral("O75.wav");
    if (kind_ == SetKind::Caller && folder_.exists(callerVoice))
        download = !player_->ask(
            QStringLiteral("This Caller is Already Installed. Do you want to keep your current Version"));
    else if (kind_ == SetKind::FunBingo && folder_.exists(QStringLiteral("sounds/") + name + QStringLiteral("1.wav")))
        download = !player_->ask(
            QStringLiteral("Bingo Set Already Installed. Do you want to keep your current Version"));

    if (download && player_->ask(QStringLiteral("Press YES to begin downloading new Sounds")) && !http_.isBusy()) {
        // An installer left by an earlier version of the client goes first; the package
        // itself is kept in memory, capped, and never written whole to disk.
        const QString leftover = QDir(folder_.root()).filePath(name + QStringLiteral(".exe"));
        if (QFileInfo::exists(leftover) || QFileInfo(leftover).isSymLink())
            QFile::remove(leftover);
        sets_->showSetClose(kind_, false);
        sets_->enableSetList(kind_, false);
        sets_->showSetMessage(kind_, QStringLiteral("Downloading. Please Wait..."));
        state_ = State::Downloading;
        setName_ = name;
        selectedIndex_ = selectedIndex;
        http_.setMaxBodySize(kMaxPackageBytes);
        http_.get(downloadSite_, QStringLiteral("/sounds/") + name + QStringLiteral(".exe"));
    }

    if (kind_ == SetKind::Caller) {
        settings_.setCallerSet(QStringLiteral("cs") + QString::number(number));
        settings_.save();
    } else if (kind_ == SetKind::FunBingo) {
        const QByteArray quantity = CatalogueValue("bset" + QByteArray::number(number) + "qty:", reply_);
        settings_.setFunBingoSet(QStringLiteral("bset") + QString::number(number), QString::fromLatin1(quantity));
        settings_.save();
    }
    if (kind_ != SetKind::Announcer) {
        sounds_.setMuted(false);
        CloseWindow();
    }
}

// The files of the installed set that the new one replaces.
void SetCatalogue::RemoveReplacedFiles()
{
    if (kind_ == SetKind::Caller) {
        const QString prefix = QStringLiteral("sounds/cs") + QString::number(selectedIndex_);
        if (!folder_.exists(prefix + QStringLiteral("O75.wav")))
            return;
        static const char letters[] = "BINGO";
        for (int k = 1; k <= 15; ++k)
            for (int column = 0; column < 5; ++column) {
                const QString voice = prefix + QLatin1Char(letters[column]) + QString::number(k + 15 * column);
                QFile::remove(folder_.writePath(voice + QStringLiteral(".wav")));
                QFile::remove(folder_.writePath(voice + QStringLiteral("a.wav")));
            }
    } else if (kind_ == SetKind::FunBingo) {
        for (int k = 1; k <= kMaxSets; ++k) {
            const QString shout = QStringLiteral("sounds/") + setName_ + QString::number(k) + QStringLiteral(".wav");
            if (!QFile::remove(folder_.writePath(shout)))
                break;
        }
    } else {
        for (const char* file : kAnnouncerFiles) {
            const QString relative = QStringLiteral("sounds/") + QLatin1String(file);
            if (folder_.exists(relative))
                QFile::remove(folder_.writePath(relative));
        }
    }
}

// Writes each file of the package into sounds/ whole or not at all (a temporary file
// there renamed over the old one); other spellings of the same name go. Returns why it
// stopped, empty when every file is in place.
QString SetCatalogue::WriteSetFiles(const Package& package)
{
    const QString sounds = folder_.writePath(QStringLiteral("sounds"));
    if (!QDir().mkpath(sounds))
        return QStringLiteral("the sounds folder cannot be made");
    const QDir dir(sounds);
    QMultiHash<QString, QString> present;   // by the name in lower case
    for (const QString& file : dir.entryList(QDir::Files | QDir::System | QDir::Hidden))
        present.insert(file.toLower(), file);
    for (const PackageEntry& entry : package.entries) {
        QSaveFile file(dir.filePath(entry.name));
        if (!file.open(QIODevice::WriteOnly) || file.write(entry.data) != entry.data.size() || !file.commit())
            return QStringLiteral("cannot write ") + entry.name + QStringLiteral(" (") + file.errorString()
                 + QLatin1Char(')');
        for (const QString& other : present.values(entry.name.toLower()))
            if (other != entry.name)
                QFile::remove(dir.filePath(other));
    }
    return QString();
}

// The package is checked whole before anything of the installed set is touched; a
// refused one installs nothing.
void SetCatalogue::InstallDownloadedSet()
{
    state_ = State::Idle;
    const QByteArray bytes = http_.body();
    if (setName_.isEmpty() || bytes.isEmpty()) {
        player_->message(QStringLiteral("File Download Failed"));
    } else {
        const Package package = ReadPackage(bytes, SetPackageLimits());
        QString error = package.ok ? QString() : package.error;
        if (package.ok && package.entries.isEmpty())
            error = QStringLiteral("the package holds no sounds");
        if (error.isEmpty()) {
            RemoveReplacedFiles();
            error = WriteSetFiles(package);
        }
        if (!error.isEmpty())
            player_->message(QStringLiteral("The sound set could not be installed: ") + error);
    }
    ShowReady();
    CloseWindow();
}

// The download is over: the list and Close are the player's again.
void SetCatalogue::ShowReady()
{
    sets_->showSetClose(kind_, true);
    sets_->enableSetList(kind_, true);
}

void SetCatalogue::CloseClick()
{
    sounds_.setMuted(false);
    CloseWindow();
}

void SetCatalogue::CloseWindow()
{
    sets_->showSetWindow(kind_, false);
    if (kind_ == SetKind::Caller)
        sets_->showSetClose(kind_, true);
    // The announcer window leaves sound muted on no way out.
    if (kind_ == SetKind::Announcer)
        sounds_.setMuted(false);
}
