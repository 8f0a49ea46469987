#include "session/signin.h"

#include "shell/texts.h"

#include <QSignalBlocker>

SignIn::SignIn(const QString& defaultWebHost, const QString& defaultWebSite, const Views& views, GameClock* clock,
               SettingsStore& settings, const LanguageTable& language, SoundQueue& sounds, QObject* parent)
    : QObject(parent), defaultWebHost_(defaultWebHost), defaultWebSite_(defaultWebSite), dialogs_(views.dialogs),
      menus_(views.menus), player_(views.player), system_(views.system),
      settings_(settings), language_(language), sounds_(sounds)
{
    connect(&http_, &HttpClient::finished, this, [this](HttpClient::Outcome outcome) {
        deadline_.stop();
        OnWebLoginReply(outcome, pendingId_, pendingPassword_);
    });
    deadline_.setSingleShot(true);
    deadline_.setInterval(clock->realMs(kDeadlineMs));
    // A reply that drips in byte by byte keeps the transfer alive, but not past this.
    connect(&deadline_, &QTimer::timeout, &http_, &HttpClient::abort);
    directory_.WebBaseUrl = defaultWebSite_;
}

void SignIn::UseDefaultDirectory()
{
    directory_.LogoImage = QStringLiteral("logo.gif");
    directory_.AdSpace2Image = QStringLiteral("logo.gif");
    directory_.WinnersImage = QStringLiteral("winnerbox.gif");
    directory_.WebBaseUrl = defaultWebSite_;
}

void SignIn::ShowLoginDialog()
{
    const ClientSettings& s = settings_.values();
    dialogs_->showLogin(LoginForm{s.UserName, s.Password, s.WebHost, s.ForgetPassword == QLatin1String("FALSE")});
}

void SignIn::LoginButton1Click(const QString& playerId, const QString& password, const QString& webHost, bool remember)
{
    settings_.setForgetPassword(!remember);
    settings_.save();
    WebLogin(playerId, password, webHost);
}

void SignIn::LoginButton2Click()
{
    dialogs_->hideLogin();
}

void SignIn::AliasOkClick()
{
    // The program ends for the player to change the alias on the page: not when it cannot open.
    if (OpenWebPage(QStringLiteral("chalform.htm")))
        system_->quit();
}

bool SignIn::OpenWebPage(const QString& page)
{
    const QString address = directory_.WebBaseUrl + page;
    const QString scheme = address.section(QLatin1Char(':'), 0, 0).toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https")) {
        player_->message(QStringLiteral("This page is not on the web and was not opened: ") + address);
        return false;
    }
    if (address.size() > kMaxPageAddress) {
        player_->message(QStringLiteral("This page's address is too long to open: ") + address);
        return false;
    }
    system_->openAddress(address);
    return true;
}

void SignIn::WebLogin(const QString& playerId, const QString& password, const QString& webHost)
{
    dialogs_->hideLogin();
    if (http_.isBusy()) {
        // The login it replaces ends without a word to the player.
        const QSignalBlocker quiet(&http_);
        http_.abort();
    }
    // The rest of the login runs when the reply is in; the event loop keeps turning meanwhile.
    pendingId_ = playerId;
    pendingPassword_ = password;
    const QByteArray body = "username=" + playerId.toLatin1() + "&version=" + QByteArray(kVersionNumber);
    if (http_.post(webHost, QLatin1String(kLoginScript), body))
        deadline_.start();
    else
        OnWebLoginReply(HttpClient::Outcome::Failure, playerId, password);
}

void SignIn::OnWebLoginReply(HttpClient::Outcome outcome, const QString& playerId, const QString& password)
{
    if (outcome != HttpClient::Outcome::Success) {
        // Without a directory there is nothing to connect to: back to the dialog, with
        // the reason shown over it.
        ShowLoginDialog();
        player_->message(outcome == HttpClient::Outcome::ConnectionFailed
                              ? QStringLiteral("HTTP Connection Failed: Please try Again")
                          : outcome == HttpClient::Outcome::InvalidHost
                              ? QStringLiteral("HTTP Invalid Host Error: Please try Again")
                              : QStringLiteral("HTTP Communications Failure: Please try Again"));
        return;
    }
    settings_.setLogin(playerId, password);
    directory_.parse(http_.body());
    QStringList rooms;
    for (int n = 1; n <= 6; ++n)
        rooms << directory_.Rooms[size_t(n)].Name;
    menus_->showRoomNames(rooms);
    menus_->showHelpAddress(directory_.WebBaseUrl);
    directoryRead_ = true;
    emit directoryArrived();
    dialogs_->hideLogin();
}

void SignIn::Welcome(const QString& alias)
{
    if (!firstLogin_)
        return;
    if (directory_.NewsUrl != settings_.values().LastNewsUrl)
        ShowNewsWindow();
    if (alias.right(3) == settings_.values().UserName.mid(6, 3)) {
        dialogs_->showAliasConfirm(alias);
    } else {
        player_->message(language_.text(Text::PlayingAsBefore) + QLatin1Char(' ') + alias + QLatin1Char(' ')
                         + language_.text(Text::PlayingAsAfter));
    }
    sounds_.PlayIfPresent(QStringLiteral("loginok.wav"));
    firstLogin_ = false;
}

QByteArray SignIn::LoginLine(const QString& languageCode)
{
    const ClientSettings& s = settings_.values();
    loginKey_ = s.UserName + QStringLiteral("#!PW") + s.Password + QStringLiteral("#!AD") + QLatin1String(kProgramTag);
    return "PQZ!G6" + loginKey_.toLatin1() + "#!LA" + languageCode.toLatin1() + "#";
}

void SignIn::ShowNewsWindow()
{
    // The news window fetches the operator's news once per address and shows it.
    if (newsHook_)
        newsHook_();
}
