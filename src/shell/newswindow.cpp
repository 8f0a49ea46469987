#include "shell/newswindow.h"

#include "shell/controlnames.h"

namespace {
const QString kNewsFile = QStringLiteral("Default.rtf");
}

NewsWindow::NewsWindow(MainView* view, SettingsStore& settings, const ProgramFolder& folder, QObject* parent)
    : QObject(parent), view_(view), settings_(settings), folder_(folder)
{
    connect(&http_, &HttpClient::finished, this,
            [this](HttpClient::Outcome outcome) { NewsArrived(outcome, fetchingUrl_); });
}

void NewsWindow::FormShow(const QString& newsUrl)
{
    view_->showWindow(Ctl::TForm2);
    if (http_.isBusy())
        return;   // the "please wait" line stands until the news is in
    view_->setText(Ctl::TForm2_RichEdit1, QString());
    if (newsUrl == settings_.values().LastNewsUrl && folder_.exists(kNewsFile)) {
        view_->loadRichText(Ctl::TForm2_RichEdit1, folder_.path(kNewsFile));
        return;
    }
    view_->setText(Ctl::TForm2_RichEdit1, QStringLiteral("Downloading Latest News Info. Please wait..."));
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
        view_->loadRichText(Ctl::TForm2_RichEdit1, folder_.path(kNewsFile));
        return;
    case HttpClient::Outcome::ConnectionFailed:
        view_->messageBox(QStringLiteral("Unable to get the latest Bingo News - Connection Failed"));
        break;
    case HttpClient::Outcome::InvalidHost:
        view_->messageBox(QStringLiteral("Failed to download the latest Bingo News - Invalid Host"));
        break;
    case HttpClient::Outcome::Failure:
        view_->messageBox(QStringLiteral("Failed to download the latest Bingo News - Connect Failure"));
        break;
    }
    view_->hideWindow(Ctl::TForm2);
}
