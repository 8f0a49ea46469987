// The three content-set catalogue windows: caller voices, fun-bingo shouts and
// announcers. Each fetches its list from the web host, records the player's choice
// in the settings and downloads and starts the chosen set's installer, which
// unpacks the set's WAV files into the sounds folder.
#include "calls/catalogue.h"

#include "session/gamecore.h"
#include "rules/wire.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

struct CatalogueKind {
    const char* window;
    const char* key;
    const char* path;
    const char* defaultEntry;   // nullptr: the list has no default entry
    int numberOffset;           // set number of list index i is i + numberOffset
};

const CatalogueKind kKinds[3] = {
    {"Tgetcset", "cset", "/VexoBingo/clist.asp", "Default Caller", 0},
    {"Tgetbings", "bset", "/VexoBingo/blist.asp", "Default Bingo", 0},
    {"Tgetaset", "aset", "/VexoBingo/alist.asp", nullptr, 1},
};

constexpr int kCaller = 0;
constexpr int kFunBingo = 1;
constexpr int kAnnouncer = 2;

// No list is longer than this; set numbers stay small and the look-ups bounded.
constexpr int kMaxSets = 999;
// A catalogue is a few hundred bytes; anything far larger is not one.
constexpr qint64 kMaxCatalogueBytes = 64 * 1024;

const char* const kAnnouncerFiles[] = {"welcome.wav", "lastcall.wav", "loginok.wav", "nextgameis.wav", "nosales.wav",
                                       "reconnect.wav", "saleson.wav", "starting.wav", "bingo.wav"};

bool validKind(int kind) { return kind >= 0 && kind < 3; }

QString control(int kind, const char* name)
{
    return QLatin1String(kKinds[kind].window) + QLatin1Char('.') + QLatin1String(name);
}

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

HttpClient* GameCore::CatalogueHttp(int kind)
{
    CatalogueState& cat = Catalogues[size_t(kind)];
    if (!cat.Http) {
        cat.Http = new HttpClient(this);
        connect(cat.Http, &HttpClient::finished, this,
                [this, kind](HttpClient::Outcome outcome) { CatalogueFinished(kind, outcome); });
        connect(cat.Http, &HttpClient::progress, this,
                [this, kind](qint64 received, qint64 total) { CatalogueProgress(kind, received, total); });
    }
    return cat.Http;
}

void GameCore::GetNewSounds1Click()
{
    SoundMuted = true;
    PlayVoice(QStringLiteral("null.wav"));
    View->showWindow(QLatin1String(kKinds[kCaller].window));
    RequestCatalogue(kCaller);
}

void GameCore::GetFunBingos1Click()
{
    SoundMuted = true;
    PlayVoice(QStringLiteral("null.wav"));
    View->showWindow(QLatin1String(kKinds[kFunBingo].window));
    RequestCatalogue(kFunBingo);
}

void GameCore::Get1Click()
{
    SoundMuted = true;
    PlayVoice(QStringLiteral("null.wav"));
    View->showWindow(QLatin1String(kKinds[kAnnouncer].window));
    RequestCatalogue(kAnnouncer);
}

void GameCore::RequestCatalogue(int kind)
{
    if (!validKind(kind))
        return;
    HttpClient* http = CatalogueHttp(kind);
    // A set download of this window still running keeps the window's client: the
    // download ends with its install and the list stays as it is.
    if (http->isBusy())
        return;
    CatalogueState& cat = Catalogues[size_t(kind)];
    cat.State = 1;
    if (kind != kCaller)
        View->setVisible(control(kind, "Button1"), true);
    if (kind == kFunBingo)
        View->setEnabled(control(kind, "ListBox1"), true);
    http->setMaxBodySize(kMaxCatalogueBytes);
    http->get(Settings.WebHost, QLatin1String(kKinds[kind].path));
}

void GameCore::CatalogueFinished(int kind, HttpClient::Outcome outcome)
{
    if (!validKind(kind))
        return;
    CatalogueState& cat = Catalogues[size_t(kind)];
    if (outcome == HttpClient::Outcome::Success) {
        if (cat.State == 1)
            OnCatalogueReply(kind);
        else if (cat.State == 2)
            InstallDownloadedSet(kind);
        return;
    }
    cat.State = 0;
    if (kind == kFunBingo)
        return;   // the fun-bingo window does not report transfer failures
    QString text;
    switch (outcome) {
    case HttpClient::Outcome::ConnectionFailed: text = QStringLiteral("Error: Connection Failed"); break;
    case HttpClient::Outcome::InvalidHost: text = QStringLiteral("Error: Invalid Host"); break;
    default: text = QStringLiteral("Connection Failure"); break;
    }
    View->beep();
    View->messageBox(text);
    SoundMuted = false;
    View->hideWindow(QLatin1String(kKinds[kind].window));
}

void GameCore::CatalogueProgress(int kind, qint64 received, qint64 total)
{
    if (!validKind(kind) || total <= 0)
        return;
    const int percent = qBound(0, qRound(double(received) * 100.0 / double(total)), 100);
    View->setProgress(control(kind, "ProgressBar1"), percent);
}

void GameCore::OnCatalogueReply(int kind)
{
    const CatalogueState& cat = Catalogues[size_t(kind)];
    FillCatalogue(kind, cat.Http ? cat.Http->body() : QByteArray());
}

void GameCore::FillCatalogue(int kind, const QByteArray& reply)
{
    if (!validKind(kind))
        return;
    CatalogueState& cat = Catalogues[size_t(kind)];
    cat.Reply = reply;
    QStringList items;
    if (kKinds[kind].defaultEntry)
        items << QLatin1String(kKinds[kind].defaultEntry);
    // The list stops at the first set whose title is missing, so that list index and
    // set number stay in step.
    const int count = smallNumber(CatalogueValue("count:", cat.Reply));
    for (int k = 1; k <= count; ++k) {
        const QByteArray key = kKinds[kind].key + QByteArray::number(k) + ':';
        if (!cat.Reply.contains(key))
            break;
        items << QString::fromLatin1(CatalogueValue(key, cat.Reply));
    }
    cat.Entries = int(items.size());
    View->setItems(control(kind, "ListBox1"), items);
    if (kind != kFunBingo) {
        View->setVisible(control(kind, "Button1"), true);
        View->setEnabled(control(kind, "ListBox1"), true);
    }
}

void GameCore::ChooseSet(int kind, int selectedIndex)
{
    if (!validKind(kind))
        return;
    CatalogueState& cat = Catalogues[size_t(kind)];
    if (selectedIndex < 0 || selectedIndex >= cat.Entries) {
        View->beep();
        View->messageBox(QStringLiteral("You must select an item in the list before setting"));
        return;
    }
    if (kind != kAnnouncer && selectedIndex == 0) {
        if (kind == kCaller)
            SetCallerSet(QString());
        else
            SetFunBingoSet(QString(), QStringLiteral("0"));
        SoundMuted = false;
        CloseCatalogueWindow(kind);
        return;
    }

    const int number = selectedIndex + kKinds[kind].numberOffset;
    const QString name = QLatin1String(kKinds[kind].key) + QString::number(number);

    bool download = true;
    if (kind == kCaller && fileExists(QStringLiteral("sounds/cs") + QString::number(number) + QStringLiteral("O75.wav")))
        download = !View->question(
            QStringLiteral("This Caller is Already Installed. Do you want to keep your current Version"));
    else if (kind == kFunBingo && fileExists(QStringLiteral("sounds/") + name + QStringLiteral("1.wav")))
        download = !View->question(
            QStringLiteral("Bingo Set Already Installed. Do you want to keep your current Version"));

    if (download && View->question(QStringLiteral("Press YES to begin downloading new Sounds"))) {
        HttpClient* http = CatalogueHttp(kind);
        if (!http->isBusy()) {
            // An earlier download of the same set goes first.
            const QString installer = QDir(Config.folder).filePath(name + QStringLiteral(".exe"));
            if (QFileInfo::exists(installer))
                QFile::remove(installer);
            View->setVisible(control(kind, "Button1"), false);
            View->setEnabled(control(kind, "ListBox1"), false);
            View->setText(control(kind, "Label1"), QStringLiteral("Downloading. Please Wait..."));
            cat.State = 2;
            cat.SetName = name;
            cat.SelectedIndex = selectedIndex;
            http->setMaxBodySize(4 * 1024 * 1024);
            http->getToFile(Config.downloadSite, QStringLiteral("/sounds/") + name + QStringLiteral(".exe"), installer);
        }
    }

    if (kind == kCaller) {
        SetCallerSet(QStringLiteral("cs") + QString::number(number));
    } else if (kind == kFunBingo) {
        const QByteArray quantity = CatalogueValue("bset" + QByteArray::number(number) + "qty:", cat.Reply);
        SetFunBingoSet(QStringLiteral("bset") + QString::number(number), QString::fromLatin1(quantity));
    }
    if (kind != kAnnouncer) {
        SoundMuted = false;
        CloseCatalogueWindow(kind);
    }
}

void GameCore::SetCallerSet(const QString& prefix)
{
    Settings.CallerSet = prefix;
    SaveSettings();
}

void GameCore::SetFunBingoSet(const QString& prefix, const QString& countText)
{
    Settings.FunBingoSet = prefix;
    if (prefix.size() >= 2) {
        Settings.FunBingoIndex = 1;
        // A count that is not a whole number 1..999 leaves a set of one shout.
        const int count = smallNumber(countText.toLatin1());
        Settings.FunBingoCount = count >= 1 ? count : 1;
    } else {
        Settings.FunBingoIndex = 0;
        Settings.FunBingoCount = 1;
    }
    SaveSettings();
}

void GameCore::InstallDownloadedSet(int kind)
{
    CatalogueState& cat = Catalogues[size_t(kind)];
    cat.State = 0;
    const QString installer = QDir(Config.folder).filePath(cat.SetName + QStringLiteral(".exe"));
    if (cat.SetName.isEmpty() || !QFileInfo(installer).isFile()) {
        View->messageBox(QStringLiteral("File Download Failed"));
    } else {
        // The files of the set the installer replaces.
        if (kind == kCaller) {
            const QString prefix = QStringLiteral("sounds/cs") + QString::number(cat.SelectedIndex);
            if (fileExists(prefix + QStringLiteral("O75.wav"))) {
                static const char letters[] = "BINGO";
                for (int k = 1; k <= 15; ++k)
                    for (int column = 0; column < 5; ++column) {
                        const QString voice = prefix + QLatin1Char(letters[column]) + QString::number(k + 15 * column);
                        QFile::remove(path(voice + QStringLiteral(".wav")));
                        QFile::remove(path(voice + QStringLiteral("a.wav")));
                    }
            }
        } else if (kind == kFunBingo) {
            for (int k = 1; k <= kMaxSets; ++k)
                if (!QFile::remove(path(QStringLiteral("sounds/") + cat.SetName + QString::number(k) + QStringLiteral(".wav"))))
                    break;
        } else {
            for (const char* file : kAnnouncerFiles) {
                const QString relative = QStringLiteral("sounds/") + QLatin1String(file);
                if (fileExists(relative))
                    QFile::remove(path(relative));
            }
        }
        // The installer is one of our own names (set key and number) in the program
        // folder; it runs by itself, the client does not wait for it.
        QFile::setPermissions(installer, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        View->startProgram(QFileInfo(installer).absoluteFilePath(), {});
    }
    if (kind != kFunBingo) {
        View->setVisible(control(kind, "Button1"), true);
        View->setEnabled(control(kind, "ListBox1"), true);
    }
    CloseCatalogueWindow(kind);
}

void GameCore::CatalogueCloseClick(int kind)
{
    if (!validKind(kind))
        return;
    SoundMuted = false;
    CloseCatalogueWindow(kind);
}

void GameCore::CloseCatalogueWindow(int kind)
{
    View->hideWindow(QLatin1String(kKinds[kind].window));
    if (kind == kCaller)
        View->setVisible(control(kind, "Button1"), true);
    // The announcer window leaves sound muted on no way out.
    if (kind == kAnnouncer)
        SoundMuted = false;
}
