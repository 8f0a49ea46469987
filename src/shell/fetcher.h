#pragma once
// Fetches a picture or sound the game needs and does not hold, from the operator's file
// and image hosts, one at a time through the small download window, then shows or plays
// it where it was asked for. Names arrive checked (IsSafeFileName) and are checked again.
// A fetch lands in a temporary file that then replaces the old copy in one step; the
// temporary files a killed client left are removed when the fetcher is made.
#include "components/net/httpclient.h"
#include "shell/directory.h"
#include "shell/programfolder.h"
#include "shell/screenpictures.h"
#include "shell/settingsstore.h"
#include "views/views.h"

#include <QList>
#include <QObject>
#include <functional>

class Fetcher : public QObject {
    Q_OBJECT
public:
    // A fetch has ended: its file is in place (arrived), or it could not be had.
    struct Done {
        QString name;
        FetchKind kind = FetchKind::Picture;
        std::optional<Picture> place;
        bool arrived = false;
    };
    using DoneHook = std::function<void(const Done&)>;

    Fetcher(DialogsView* dialogs, PlayerView* player, const ServiceDirectory& directory, const SettingsStore& settings,
            const ProgramFolder& folder, QObject* parent = nullptr);
    // Who shows or plays what arrives.
    void setDoneHook(DoneHook hook) { done_ = std::move(hook); }

    // Fetches name for the place that shows it (none for sounds and pattern pictures).
    // A request that arrives while a fetch runs waits for it (up to kMaxWaiting requests,
    // each name once); the running fetch goes on under its own name and kind.
    void FetchFile(const QString& name, FetchKind kind, std::optional<Picture> place = std::nullopt);
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
        std::optional<Picture> place;
        FetchKind kind = FetchKind::Picture;
    };

    DialogsView* dialogs_;
    PlayerView* player_;
    const ServiceDirectory& directory_;
    const SettingsStore& settings_;
    const ProgramFolder& folder_;
    DoneHook done_;
    HttpClient http_;
    Running running_;
    QList<Running> waiting_;
};
