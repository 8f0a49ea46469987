#pragma once
// The pictures of the game's windows: shown from the program folder when they are
// there, asked of the fetcher when they are not.
#include "shell/programfolder.h"
#include "views/views.h"

#include <functional>
#include <optional>

// What a fetched file is for, and so what happens when it arrives.
enum class FetchKind { PatternPicture = 1, Picture = 2, Sound = 4, AdSpace1 = 6, AdSpace2 = 7 };

class ScreenPictures {
public:
    // The fetcher: the name, its kind, and the place that shows it when it arrives.
    using FetchHook = std::function<void(const QString& name, FetchKind kind, std::optional<Picture> place)>;

    ScreenPictures(const ProgramFolder& folder, PictureView* pictures, StatusView* status, CallView* calls)
        : folder_(folder), pictures_(pictures), status_(status), calls_(calls)
    {
    }

    // Set by the fetcher; until there is one a missing picture is named in the diagnostic log.
    // A name that is no plain file name is refused before anything is read or fetched.
    void setFetchHook(FetchHook hook) { fetchHook_ = std::move(hook); }
    void FetchFile(const QString& name, FetchKind kind, std::optional<Picture> place = std::nullopt);

    // Loads a program-folder file into a picture place; a file that cannot be read
    // is named in the diagnostic log and the place keeps what it showed.
    bool LoadPicture(Picture place, const QString& file);
    // The same for a name the server or the directory supplied: only a plain file name
    // of the program folder is read (IsSafeFileName).
    bool LoadServerPicture(Picture place, const QString& name);

    void ShowAdSpace1(const QString& name);
    void ShowAdSpace2(const QString& name);
    void ShowWinnersBackdrop(const QString& name);
    void LoadBingoPicture(const QString& name);
    void ShowBingoPicture(const QString& name);
    void ShowPatternPicture(const QString& name);   // "FAILED": the pattern is not available
    // An ad space that the game hides puts the logo back first.
    void ClearAdSpace2();

private:
    void ShowOrFetch(Picture place, const QString& name, FetchKind kind);

    const ProgramFolder& folder_;
    PictureView* pictures_;
    StatusView* status_;
    CallView* calls_;
    FetchHook fetchHook_;
};
