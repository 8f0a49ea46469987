#pragma once
// The web login: the player's id and password go to the operator's web service,
// whose reply is the service directory (game server, chat rooms, news, picture and
// download hosts). Also the login dialog, the greeting of the first sign-in and the
// line that signs in to the game server.
#include "calls/soundqueue.h"
#include "components/net/httpclient.h"
#include "shell/directory.h"
#include "shell/gameclock.h"
#include "shell/language.h"
#include "shell/settingsstore.h"
#include "views/views.h"

#include <QObject>
#include <QTimer>
#include <functional>

class SignIn : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kVersionNumber = "466";
    static constexpr const char* kProgramTag = "QZWIN466";
    static constexpr const char* kLoginScript = "/vexobingo/vxplay466.asp";

    SignIn(const QString& defaultWebHost, const QString& defaultWebSite, const Views& views, GameClock* clock,
           SettingsStore& settings, const LanguageTable& language, SoundQueue& sounds, QObject* parent = nullptr);

    // However slowly the web service answers, the web login ends within this time.
    static constexpr int kDeadlineMs = 45000;
    // The longest web page address the program opens.
    static constexpr int kMaxPageAddress = 64;

    const ServiceDirectory& directory() const { return directory_; }
    bool directoryRead() const { return directoryRead_; }
    const QString& defaultWebHost() const { return defaultWebHost_; }
    const QString& loginKey() const { return loginKey_; }

    // The login dialog, filled with what the settings remember.
    void ShowLoginDialog();
    void LoginButton1Click(const QString& playerId, const QString& password, const QString& webHost, bool remember);
    void LoginButton2Click();
    // The alias confirmation's "change": the alias page opens and the program ends.
    void AliasOkClick();
    // Pages of the operator's web site, in the desktop's browser.
    void OnlineHelp1Click() { OpenWebPage(QString()); }
    void NewoftheDay1Click() { OpenWebPage(QStringLiteral("whatsnew.htm")); }
    void OpenaTroubleTicket1Click() { OpenWebPage(QStringLiteral("message.htm")); }
    void adspace1DblClick() { OpenWebPage(QString()); }
    // Opens the web base address + page. Only an http or https address of at most 64
    // characters is opened; anything else is refused with a message. False when refused.
    bool OpenWebPage(const QString& page);
    void WebLogin(const QString& playerId, const QString& password, const QString& webHost);
    // The directory's pictures before any web login.
    void UseDefaultDirectory();

    // The game server accepted the sign-in: the first one of the session greets the player.
    void Welcome(const QString& alias);
    // "PQZ!G6": the game server's login line.
    QByteArray LoginLine(const QString& languageCode);

    void ShowNewsWindow();
    void setNewsHook(std::function<void()> hook) { newsHook_ = std::move(hook); }

signals:
    void directoryArrived();

private:
    void OnWebLoginReply(HttpClient::Outcome outcome, const QString& playerId, const QString& password);

    QString defaultWebHost_;
    QString defaultWebSite_;
    DialogsView* dialogs_;
    MenuView* menus_;
    PlayerView* player_;
    SystemView* system_;
    SettingsStore& settings_;
    const LanguageTable& language_;
    SoundQueue& sounds_;
    HttpClient http_;
    QTimer deadline_;
    ServiceDirectory directory_;
    std::function<void()> newsHook_;
    QString loginKey_;
    QString pendingId_;
    QString pendingPassword_;
    bool directoryRead_ = false;
    bool firstLogin_ = true;
};
