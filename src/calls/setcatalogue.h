#pragma once
// One content-set window: caller voices ("Tgetcset"), fun-bingo shouts ("Tgetbings")
// or announcers ("Tgetaset"). Fetches its list from the web host, records the
// player's choice in the settings, and downloads the chosen set's package, a
// gzip-compressed tar of WAV files that the client checks whole and unpacks into the
// sounds folder itself. Nothing downloaded is ever run.
#include "calls/soundqueue.h"
#include "components/net/httpclient.h"
#include "components/net/package.h"
#include "shell/programfolder.h"
#include "shell/settingsstore.h"
#include "views/views.h"

#include <QByteArray>
#include <QObject>

// The value after the first occurrence of key up to the first "%" within the 1024
// characters that follow; empty when either is missing.
QByteArray CatalogueValue(const QByteArray& key, const QByteArray& reply);

// What a set's package may hold: plain ".wav" names, room for a caller set of 150 voices.
PackageLimits SetPackageLimits();

class SetCatalogue : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, FetchingList, Downloading };

    SetCatalogue(SetKind kind, const QString& downloadSite, const ProgramFolder& folder, SettingsStore& settings,
                 SoundQueue& sounds, SetWindowsView* sets, PlayerView* player, QObject* parent = nullptr);

    SetKind kind() const { return kind_; }
    State state() const { return state_; }
    int entries() const { return entries_; }   // entries the list shows

    // The menu item: mutes the game's sounds, shows the window and asks for the list.
    void Open();
    void RequestCatalogue();
    // The list's double-click; -1 = nothing selected.
    void ChooseSet(int selectedIndex);
    void CloseClick();
    // A list reply (what the window's client receives when the list arrives).
    void FillCatalogue(const QByteArray& reply);

private:
    void Finished(HttpClient::Outcome outcome);
    void Progress(qint64 received, qint64 total);
    void InstallDownloadedSet();
    void ShowReady();
    void RemoveReplacedFiles();
    QString WriteSetFiles(const Package& package);
    void CloseWindow();

    SetKind kind_;
    QString downloadSite_;
    const ProgramFolder& folder_;
    SettingsStore& settings_;
    SoundQueue& sounds_;
    SetWindowsView* sets_;
    PlayerView* player_;
    HttpClient http_;
    State state_ = State::Idle;
    QByteArray reply_;          // the last list (the fun-bingo window keeps it for its quantities)
    QString setName_;           // set key + number of the download under way
    int selectedIndex_ = -1;
    int entries_ = 0;
};
