#pragma once
// The news window (TForm2): the operator's news, fetched once per news address into
// "Default.rtf" in the program folder and read from there on later showings.
#include "components/net/httpclient.h"
#include "shell/programfolder.h"
#include "shell/settingsstore.h"
#include "views/views.h"

#include <QObject>
#include <QString>

class NewsWindow : public QObject {
    Q_OBJECT
public:
    NewsWindow(DialogsView* dialogs, PlayerView* player, SettingsStore& settings, const ProgramFolder& folder,
               QObject* parent = nullptr);

    // Shows the window with the news of newsUrl (the service directory's news address: a
    // full address, or a path on the settings' web host). The saved file serves while the
    // address is the one last fetched; otherwise the news is fetched first, and a failed
    // fetch names its cause and hides the window. While a fetch runs, showing again only
    // brings the window forward.
    void FormShow(const QString& newsUrl);

    bool fetching() const { return http_.isBusy(); }

private:
    void NewsArrived(HttpClient::Outcome outcome, const QString& newsUrl);

    DialogsView* dialogs_;
    PlayerView* player_;
    SettingsStore& settings_;
    const ProgramFolder& folder_;
    HttpClient http_;
    QString fetchingUrl_;
};
