#include "shell/programupdate.h"

#include "shell/directory.h"
#include "shell/language.h"
#include "shell/programfolder.h"
#include "shell/texts.h"
#include "views/views.h"

#include <QFileInfo>

ProgramUpdate::ProgramUpdate(PlayerView* player, SystemView* system, const ServiceDirectory& directory,
                             const ProgramFolder& folder, const LanguageTable& language,
                             std::function<bool()> cardsBought)
    : player_(player), system_(system), directory_(directory), folder_(folder), language_(language),
      cardsBought_(std::move(cardsBought))
{
}

void ProgramUpdate::UPDATE1Click()
{
    if (!mayUpdate() || !player_->ask(language_.text(Text::UpdateProgramQuestion)) || !updaterPresent())
        return;
    const QString file = QStringLiteral("qzwin32.exe");
    launch(directory_.Download + file, file, file);
}

void ProgramUpdate::UpdateAllFiles1Click()
{
    if (!mayUpdate() || !player_->ask(language_.text(Text::UpdateAllFilesQuestion)) || !updaterPresent())
        return;
    const QString file = QStringLiteral("qzdemo.exe");
    launch(directory_.Download + file, file, file);
}

void ProgramUpdate::ForcedUpdate()
{
    if (installedBySystem() || !updaterPresent())
        return;
    const QString message = directory_.InstructionMessage.isEmpty()
        ? QStringLiteral("A new version of Vexo Bingo is needed to play in this hall. Update now?")
        : directory_.InstructionMessage;
    if (!player_->ask(message))
        return;
    const QString file = QStringLiteral("vexotmp.exe");
    launch(directory_.Download + directory_.DownFile, file, file);
}

// No update while a card of the coming game is bought, nor without a source.
bool ProgramUpdate::installedBySystem() const
{
    if (!folder_.layered())
        return false;
    player_->message(QStringLiteral("This copy of Vexo Bingo was installed for everyone on this computer: "
                                     "please update it with the system's software manager."));
    return true;
}

bool ProgramUpdate::mayUpdate() const
{
    if (installedBySystem())
        return false;
    if (cardsBought_ && cardsBought_()) {
        player_->message(language_.text(Text::UpdateWithCardsBought));
        return false;
    }
    if (directory_.Download.size() < 5) {
        player_->message(language_.text(Text::NoUpdateAvailable));
        return false;
    }
    return true;
}

bool ProgramUpdate::updaterPresent() const
{
    if (folder_.exists(QLatin1String(kUpdater)))
        return true;
    player_->message(QStringLiteral("Vexo Bingo cannot update itself: its updater, qzupdate.exe, is missing from "
                                     "the program folder. Please install Vexo Bingo again."));
    return false;
}

void ProgramUpdate::launch(const QString& address, const QString& saveAs, const QString& run)
{
    const QStringList parameters = {address, saveAs, run};
    if (parameters.join(QLatin1Char(' ')).size() > kMaxParameterLine) {
        player_->message(QStringLiteral("The update cannot start: its download address is too long."));
        return;
    }
    // The client ends only when the updater runs, which starts it again; otherwise it stays.
    if (!system_->startProgram(QFileInfo(folder_.path(QLatin1String(kUpdater))).absoluteFilePath(), parameters)) {
        player_->message(QStringLiteral("The update cannot start: the updater, qzupdate.exe, could not be run. "
                                        "Please install Vexo Bingo again."));
        return;
    }
    system_->quit();
}
