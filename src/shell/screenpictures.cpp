#include "shell/screenpictures.h"

#include "shell/controlnames.h"

// A missing picture is noted in the diagnostic log: the status line keeps the game's own texts.
void ScreenPictures::FetchFile(const QString& name, FetchKind kind, const QString& control)
{
    if (!IsSafeFileName(name))
        view_->log(QStringLiteral("Refused file name: ") + name);
    else if (fetchHook_)
        fetchHook_(name, kind, control);
    else if (kind != FetchKind::Sound)
        view_->log(QStringLiteral("Picture not available: ") + name);
}

bool ScreenPictures::LoadPicture(const QString& control, const QString& file)
{
    if (view_->loadPicture(control, folder_.path(file)))
        return true;
    view_->log(QStringLiteral("Picture not available: ") + file);
    return false;
}

bool ScreenPictures::LoadServerPicture(const QString& control, const QString& name)
{
    if (IsSafeFileName(name))
        return LoadPicture(control, name);
    view_->log(QStringLiteral("Refused file name: ") + name);
    return false;
}

void ScreenPictures::ShowOrFetch(const QString& control, const QString& name, FetchKind kind, bool repaint)
{
    if (!IsSafeFileName(name) || !folder_.exists(name)) {
        FetchFile(name, kind, control);
        return;
    }
    LoadPicture(control, name);
    if (repaint)
        view_->repaint(control);
}

void ScreenPictures::ShowAdSpace1(const QString& name) { ShowOrFetch(Ctl::adspace1, name, FetchKind::AdSpace1, true); }
void ScreenPictures::ShowAdSpace2(const QString& name) { ShowOrFetch(Ctl::AdSpace2, name, FetchKind::AdSpace2, true); }

void ScreenPictures::ShowWinnersBackdrop(const QString& name)
{
    ShowOrFetch(Ctl::Twinners_winbackdrop, name, FetchKind::Picture, true);
}

void ScreenPictures::LoadBingoPicture(const QString& name) { ShowOrFetch(Ctl::BingoGIF, name, FetchKind::Picture, false); }

void ScreenPictures::ClearAdSpace2()
{
    LoadPicture(Ctl::AdSpace2, QStringLiteral("logo.gif"));
    view_->repaint(Ctl::AdSpace2);
    view_->setVisible(Ctl::AdSpace2, false);
}

void ScreenPictures::ShowBingoPicture(const QString& name)
{
    view_->setVisible(Ctl::Panel7, false);
    ClearAdSpace2();
    ShowOrFetch(Ctl::BingoGIF, name, FetchKind::Picture, true);
    view_->setVisible(Ctl::BingoGIF, true);
}

void ScreenPictures::ShowPatternPicture(const QString& name)
{
    if (name == QLatin1String("FAILED")) {
        LoadPicture(Ctl::anigrid1, QStringLiteral("NAgrid.gif"));
        LoadPicture(Ctl::anigrid2, QStringLiteral("NAgrid.gif"));
        return;
    }
    if (!IsSafeFileName(name) || !folder_.exists(name)) {
        FetchFile(name, FetchKind::PatternPicture);
        return;
    }
    LoadPicture(Ctl::anigrid1, name);
    LoadPicture(Ctl::anigrid2, name);
}
