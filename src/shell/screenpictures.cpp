#include "shell/screenpictures.h"

// A missing picture is noted in the diagnostic log: the status line keeps the game's own texts.
void ScreenPictures::FetchFile(const QString& name, FetchKind kind, std::optional<Picture> place)
{
    if (!IsSafeFileName(name))
        status_->log(QStringLiteral("Refused file name: ") + name);
    else if (fetchHook_)
        fetchHook_(name, kind, place);
    else if (kind != FetchKind::Sound)
        status_->log(QStringLiteral("Picture not available: ") + name);
}

bool ScreenPictures::LoadPicture(Picture place, const QString& file)
{
    if (pictures_->showPicture(place, folder_.path(file)))
        return true;
    status_->log(QStringLiteral("Picture not available: ") + file);
    return false;
}

bool ScreenPictures::LoadServerPicture(Picture place, const QString& name)
{
    if (IsSafeFileName(name))
        return LoadPicture(place, name);
    status_->log(QStringLiteral("Refused file name: ") + name);
    return false;
}

void ScreenPictures::ShowOrFetch(Picture place, const QString& name, FetchKind kind)
{
    if (!IsSafeFileName(name) || !folder_.exists(name)) {
        FetchFile(name, kind, place);
        return;
    }
    LoadPicture(place, name);
}

void ScreenPictures::ShowAdSpace1(const QString& name) { ShowOrFetch(Picture::Logo, name, FetchKind::AdSpace1); }
void ScreenPictures::ShowAdSpace2(const QString& name) { ShowOrFetch(Picture::Advert, name, FetchKind::AdSpace2); }

void ScreenPictures::ShowWinnersBackdrop(const QString& name)
{
    ShowOrFetch(Picture::WinnersBackdrop, name, FetchKind::Picture);
}

void ScreenPictures::LoadBingoPicture(const QString& name)
{
    ShowOrFetch(Picture::BingoBanner, name, FetchKind::Picture);
}

void ScreenPictures::ClearAdSpace2()
{
    LoadPicture(Picture::Advert, QStringLiteral("logo.gif"));
    calls_->showAdvert(false);
}

void ScreenPictures::ShowBingoPicture(const QString& name)
{
    calls_->showMachine(false);
    ClearAdSpace2();
    ShowOrFetch(Picture::BingoBanner, name, FetchKind::Picture);
    calls_->showBanner(true);
}

void ScreenPictures::ShowPatternPicture(const QString& name)
{
    if (name == QLatin1String("FAILED")) {
        LoadPicture(Picture::Pattern, QStringLiteral("NAgrid.gif"));
        return;
    }
    if (!IsSafeFileName(name) || !folder_.exists(name)) {
        FetchFile(name, FetchKind::PatternPicture);
        return;
    }
    LoadPicture(Picture::Pattern, name);
}
