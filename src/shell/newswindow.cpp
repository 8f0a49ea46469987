#include "shell/newswindow.h"

namespace {
const QString kNewsFile = QStringLiteral("Default.rtf");
}

NewsWindow::NewsWindow(DialogsView* dialogs, PlayerView* player, SettingsStore& settings, const ProgramFolder& folder,
                       QObject* parent)
    : QObject(parent), dialogs_(dialogs), player_(player), settings_(settings), folder_(folder)
{
    connect(&http_, &HttpClient::finished, this,
            [this](HttpClient::Outcome outcome) { NewsArrived(outcome, fetchingUrl_); });
}

void NewsWindow::FormShow(const QString& newsUrl)
{
    dialogs_->showNews(true);
    if (http_.isBusy())
        return;   // the "please wait" line stands until the news is in
    dialogs_->showNewsText(QString());
    if (newsUrl == settings_.values().LastNewsUrl && folder_.exists(kNewsFile)) {
        dialogs_->showNewsFile(folder_.path(kNewsFile));
        return;
    }
    dialogs_->showNewsText(QStringLiteral("Downloading Latest News Info. Please wait..."));
    fetchingUrl_ = newsUrl;
    // A failed transfer removes the file it was writing, so no half news is taken for the news later.
    if (!http_.getUrlToFile(newsUrl, folder_.writePath(kNewsFile), settings_.values().WebHost))
        NewsArrived(HttpClient::Outcome::Failure, newsUrl);
}

void NewsWindow::NewsArrived(HttpClient::Outcome outcome, const QString& newsUrl)
{
    switch (outcome) {
    case HttpClient::Outcome::Success:
        settings_.setLastNewsUrl(newsUrl);
        settings_.save();
        dialogs_->showNewsFile(folder_.path(kNewsFile));
        return;
    case HttpClient::Outcome::ConnectionFailed:
        player_->message(QStringLiteral("Unable to get the latest Bingo News - Connection Failed"));
        break;
    case HttpClient::Outcome::InvalidHost:
        player_->message(QStringLiteral("Failed to download the latest Bingo News - Invalid Host"));
        break;
    case HttpClient::Outcome::Failure:
        player_->message(QStringLiteral("Failed to download the latest Bingo News - Connect Failure"));
        break;
    }
    dialogs_->showNews(false);
}
