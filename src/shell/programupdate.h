#pragma once
// The client's side of a program update: the Help menu's "Update Program Only" and
// "Update All Files" and the update the web login orders ("UPGRADE"). Each checks what
// it must, asks the player, starts the updater qzupdate.exe from the program folder with
// its three parameters (download address, save-as name, program to run) and, once it runs,
// ends the client; the updater replaces the files and starts the client again.
#include <QString>
#include <QStringList>

#include <functional>

class LanguageTable;
class PlayerView;
class SystemView;
class ProgramFolder;
struct ServiceDirectory;

class ProgramUpdate {
public:
    static constexpr const char* kUpdater = "qzupdate.exe";
    // The updater's parameters travel as one line of at most this many characters.
    static constexpr int kMaxParameterLine = 255;

    // The directory is read at each command, so it may be refilled by later web logins.
    // cardsBought: whether the player has a card in the coming game (no update then).
    ProgramUpdate(PlayerView* player, SystemView* system, const ServiceDirectory& directory,
                  const ProgramFolder& folder, const LanguageTable& language, std::function<bool()> cardsBought);

    // Help > Update Program Only: the client program alone ("qzwin32.exe" at the update source).
    void UPDATE1Click();
    // Help > Update All Files: every program file ("qzdemo.exe" at the update source).
    void UpdateAllFiles1Click();
    // The web login's "UPGRADE": asks the directory's instruction message and on Yes
    // fetches the directory's update file. The caller makes no game connection either way.
    void ForcedUpdate();

private:
    bool mayUpdate() const;
    // An installed copy is updated by the system's package manager, never by the updater.
    bool installedBySystem() const;
    // Whether the updater is in the program folder; tells the player when it is not.
    bool updaterPresent() const;
    // Starts the updater and ends the client, unless the parameters are too long or the updater
    // cannot be started: the player is told why and the client goes on.
    void launch(const QString& address, const QString& saveAs, const QString& run);

    PlayerView* player_;
    SystemView* system_;
    const ServiceDirectory& directory_;
    const ProgramFolder& folder_;
    const LanguageTable& language_;
    std::function<bool()> cardsBought_;
};
