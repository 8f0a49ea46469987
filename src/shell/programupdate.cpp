#include "shell/programupdate.h"

#include "cards/cardrack.h"
#include "shell/directory.h"
#include "shell/language.h"
#include "shell/programfolder.h"
#include "shell/viewport.h"

#include <QFileInfo>

ProgramUpdate::ProgramUpdate(MainView* view, const ServiceDirectory& directory, const ProgramFolder& folder,
                             const LanguageTable& language, const CardRack& rack)
    : view_(view), directory_(directory), folder_(folder), language_(language), rack_(rack)
{
}

void ProgramUpdate::UPDATE1Click()
{
    if (!mayUpdate() || !view_->question(language_.text(1520)) || !updaterPresent())
        return;
    const QString file = QStringLiteral("qzwin32.exe");
    launch(directory_.Download + file, file, file);
}

void ProgramUpdate::UpdateAllFiles1Click()
{
    if (!mayUpdate() || !view_->question(language_.text(1521)) || !updaterPresent())
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
    if (!view_->question(message))
        return;
    const QString file = QStringLiteral("vexotmp.exe");
    launch(directory_.Download + directory_.DownFile, file, file);
}

// No update while a card of the coming game is bought, nor without a source.
bool ProgramUpdate::installedBySystem() const
{
    if (!folder_.layered())
        return false;
    view_->messageBox(QStringLiteral("This copy of Vexo Bingo was installed for everyone on this computer: "
                                     "please update it with the system's software manager."));
    return true;
}

bool ProgramUpdate::mayUpdate() const
{
    if (installedBySystem())
        return false;
    if (rack_.bought()) {
        view_->messageBox(language_.text(1518));
        return false;
    }
    if (directory_.Download.size() < 5) {
        view_->messageBox(language_.text(1519));
        return false;
    }
    return true;
}

bool ProgramUpdate::updaterPresent() const
{
    if (folder_.exists(QLatin1String(kUpdater)))
        return true;
    view_->messageBox(QStringLiteral("Vexo Bingo cannot update itself: its updater, qzupdate.exe, is missing from "
                                     "the program folder. Please install Vexo Bingo again."));
    return false;
}

void ProgramUpdate::launch(const QString& address, const QString& saveAs, const QString& run)
{
    const QStringList parameters = {address, saveAs, run};
    if (parameters.join(QLatin1Char(' ')).size() > kMaxParameterLine) {
        view_->messageBox(QStringLiteral("The update cannot start: its download address is too long."));
        return;
    }
    // The client ends whatever the start returned.
    view_->startProgram(QFileInfo(folder_.path(QLatin1String(kUpdater))).absoluteFilePath(), parameters);
    view_->quit();
}
