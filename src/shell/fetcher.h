#pragma once
// Fetches a picture or sound the game needs and does not hold, from the operator's file
// and image hosts, one at a time through the small download window, then shows or plays
// it where it was asked for. Names arrive checked (IsSafeFileName) and are checked again.
#include "calls/soundqueue.h"
#include "components/net/httpclient.h"
#include "shell/directory.h"
#include "shell/programfolder.h"
#include "shell/screenpictures.h"
#include "shell/settingsstore.h"
#include "shell/viewport.h"

#include <QList>
#include <QObject>

class Fetcher : public QObject {
    Q_OBJECT
public:
    Fetcher(MainView* view, const ServiceDirectory& directory, const SettingsStore& settings,
            const ProgramFolder& folder, ScreenPictures& pictures, SoundQueue& sounds, QObject* parent = nullptr);

    // Fetches name for the control that shows it (none for sounds and pattern pictures).
    // A request that arrives while a fetch runs waits for it (up to kMaxWaiting requests,
    // each name once); the running fetch goes on under its own name and kind.
    void FetchFile(const QString& name, FetchKind kind, const QString& control = QString());
    static constexpr int kMaxWaiting = 16;
    bool busy() const { return http_.isBusy() || !waiting_.isEmpty(); }

    // The file types the fetcher takes: the three characters after the name's first dot.
    static bool Fetchable(const QString& name);
    // "grid.gif" -> "grid.tmp"; a name without a dot -> ".tmp".
    static QString TemporaryName(const QString& name);

private:
    struct Running;
    void Start(const Running& fetch);
    void Finished(HttpClient::Outcome outcome);
    // Absolute paths of a fetch's file and of its temporary file in the writable folder.
    QString TargetPath(const Running& fetch) const;
    QString TemporaryPath(const Running& fetch) const;

    struct Running {
        QString name;
        QString folder;      // "sounds/" for a sound, else the program folder itself ("")
        QString control;
        FetchKind kind = FetchKind::Picture;
    };

    MainView* view_;
    const ServiceDirectory& directory_;
    const SettingsStore& settings_;
    const ProgramFolder& folder_;
    ScreenPictures& pictures_;
    SoundQueue& sounds_;
    HttpClient http_;
    Running running_;
    QList<Running> waiting_;
};
