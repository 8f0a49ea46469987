// The one-second tick and the steps of a game: countdown, call pacing, start,
// bingo, end, and the sign-in for the next game.
#include "session/gamecore.h"

#include "rules/wire.h"
#include "shell/controlnames.h"

void GameCore::Timer1Timer()
{
    if (round_.phase() == Phase::Pause) {
        if (clock_->now() > round_.resumeAt()) {
            round_.resumed();
            PrepareNextGame();
        }
        return;
    }
    if (round_.stepCountdown() < 1)
        SessionStep();
    round_.tickStep();
    links_.feedSecondPassed();
    if (round_.counting())
        CountdownSecond();
}

void GameCore::CountdownSecond()
{
    const int s = round_.countDown();
    if (s == 44)
        sounds_.PlayIfPresent(QStringLiteral("lastcall.wav"));
    if (s == 30)
        sounds_.PlayIfPresent(QStringLiteral("nosales.wav"));
    if (s < 35) {
        round_.closeSelection();
        rack_.HideFaceButtons();
    }
    if (s < 25) {
        round_.closeSales();
        links_.setBusy(false);
        rack_.HideBuyControls();
    }
    if (s >= 5) {
        const int m = s / 60;
        const int r = s - 60 * m;
        view_->setText(Ctl::CallField, QString::number(m) + QLatin1Char(':') + (r < 10 ? QStringLiteral("0") : QString())
                                           + QString::number(r));
        return;
    }
    if (!rack_.bought()) {
        LeaveGame();
        return;
    }
    pictures_.ClearAdSpace2();
    view_->setText(Ctl::status, language_.text(1306));
    for (const QString* c : {&Ctl::Panel7, &Ctl::Ani2Panel, &Ctl::ballpanel})
        view_->setVisible(*c, true);
    round_.readyToStart();
    rack_.HideBuyControls();
}

void GameCore::SessionStep()
{
    round_.restartStep();
    if (round_.running()) {
        links_.feedHeard();
        CallStep();
        return;
    }
    // The feed watchdog: a feed silent for more than 35 seconds is reopened.
    const Link feed = round_.phase() == Phase::WaitingForSales ? Link::SalesFeed : Link::GameFeed;
    if (links_.reopenMark(feed) == 0) {
        links_.setReopenMark(feed, round_.secondsToStart());
        links_.feedHeard();
    } else if (links_.feedSilence() > 35) {
        links_.reopenSilentFeed(feed);
    }
}

void GameCore::CallStep()
{
    const int count = round_.callCount();
    if (count == 1 && round_.callCode(1) == '0') {
        view_->messageBox(QStringLiteral("Call information for this game not received successfully - Press Ok to Terminate Game"));
        EndGame(true);
        return;
    }
    if (count == round_.finalCall()) {
        EndGame(false);
        return;
    }
    if (count == round_.winningCall()) {
        AnnounceBingo();
        return;
    }
    // Past the draw: a game whose figures lie beyond the codes received ends here.
    if (count >= GameRound::kDrawCapacity || (round_.drawLength() > 1 && count >= round_.drawLength())) {
        EndGame(false);
        return;
    }
    round_.restartStep();
    const char code = round_.callCode(count);
    if (code == board_.newestCode()) {
        // The same code twice in a row would be shown once and never counted:
        // step past that position so the draw goes on.
        round_.countCall();
        return;
    }
    board_.ShowCall(code, settings_.values().CallerSet);
}

// The ball has landed (or there was none to roll): the strip, the cards and the count follow.
void GameCore::OnCallShown(const QString& voice)
{
    if (!voice.isEmpty()) {
        sounds_.PlayVoice(voice);
        sounds_.PlayVoice(voice + QStringLiteral("a"));
    }
    const QList<int> oneToGo = rack_.MarkCalls(board_.RefreshRecentCalls());
    table_.AnnounceCall(board_.newestCode(), oneToGo);
    round_.countCall();
    const int count = round_.callCount();
    if (pattern_.ProgressiveJackpot && count >= 0 && count < int(prizes_.size()))
        view_->setText(Ctl::Jackpot, QStringLiteral("$ ") + L1(prizes_[size_t(count)]));
    view_->setText(Ctl::CallField, QString::number(count));
    view_->redrawBoard();
}

void GameCore::StartGame()
{
    view_->setVisible(Ctl::Panel7, true);
    links_.feedHeard();
    view_->setText(Ctl::status, language_.text(1308));
    sounds_.PlayIfPresent(QStringLiteral("starting.wav"));
    view_->setEnabled(Ctl::ConnecttoGame1, false);
    for (const QString* label : {&Ctl::Label5, &Ctl::Label8}) {
        view_->setText(*label, QString());
        view_->setFontColour(*label, kRed);
    }
    view_->setVisible(Ctl::ballpanel, true);
    view_->setVisible(Ctl::CallField, true);
    view_->setText(Ctl::CallField, QStringLiteral("0"));
    view_->setText(Ctl::calllabel, language_.text(1400));
    rack_.HideBuyControls();
    view_->setVisible(Ctl::adspace1, false);
    for (const QString* c : {&Ctl::Panel11, &Ctl::recent, &Ctl::board, &Ctl::anigrid1})
        view_->setVisible(*c, true);
    board_.StartOfGame();
    shoutDue_ = true;
    table_.Refresh1Click();
    links_.close(Link::GameFeed);
    table_.LayoutMainWindow();
}

void GameCore::AnnounceBingo()
{
    round_.bingo();
    view_->setText(Ctl::status, language_.text(1316));
    view_->setVisible(Ctl::machineimage, true);
    pictures_.ShowBingoPicture(L1(bingoImage_));
    view_->setVisible(Ctl::Ani2Panel, false);
    view_->setVisible(Ctl::ballpanel, false);
    if (shoutDue_) {
        shoutDue_ = false;
        sounds_.PlayBingoShout();
    }
}

void GameCore::EndGame(bool aborted)
{
    view_->setVisible(Ctl::Panel7, false);
    if (!aborted)
        pictures_.LoadPicture(Ctl::Image10a, QStringLiteral("bde.gif"));
    pictures_.LoadPicture(Ctl::BingoGIF, QStringLiteral("logo.gif"));
    view_->repaint(Ctl::BingoGIF);
    view_->setVisible(Ctl::BingoGIF, false);
    pictures_.ShowAdSpace2(signIn_.directory().AdSpace2Image);
    view_->setVisible(Ctl::AdSpace2, true);
    if (aborted)
        for (const QString* c : {&Ctl::Ani2Panel, &Ctl::ballpanel, &Ctl::machineimage})
            view_->setVisible(*c, true);

    round_.ended(clock_->now() + 30 * 1000);
    view_->setEnabled(Ctl::ConnecttoGame1, true);
    view_->setText(Ctl::status, language_.text(aborted ? 1301 : 1303));
    rack_.HideCards();
    view_->setVisible(Ctl::Panel18, false);
    table_.LayoutMainWindow();
    view_->setVisible(Ctl::button4, false);

    if (!aborted)
        ShowLastWinners(round_.gameNumber());
    CLEARALL();
    view_->setText(Ctl::status, language_.text(aborted ? 1301 : 1304));
    view_->setText(Ctl::lplayers, QString());
    pictures_.ShowPatternPicture(QStringLiteral("grid.gif"));

    if (shop_.balance().left(4) == QLatin1String("0.00")) {
        round_.creditUsedUp();
        rack_.HideBuyControls();
        view_->setText(Ctl::status, language_.text(1302));
        timer1_.stop();
        view_->showWindow(Ctl::Tmarketdialog);
    }
}

// Leaves the game without playing it; the player signs in again for the next one.
void GameCore::LeaveGame()
{
    links_.close(Link::GameFeed);
    links_.close(Link::SalesFeed);
    round_.left();
    rack_.HideBuyControls();
    view_->setVisible(Ctl::button4, false);
    pictures_.ShowPatternPicture(QStringLiteral("grid.gif"));
    view_->setText(Ctl::lplayers, QString());
    CLEARALL();
    rack_.HideCards();
    view_->setText(Ctl::status, language_.text(1302));
    view_->setVisible(Ctl::Panel18, false);
    view_->setEnabled(Ctl::ConnecttoGame1, true);
    timer1_.stop();
    signIn_.ShowLoginDialog();
}

void GameCore::CLEARALL()
{
    round_.clearDraw();
    pattern_.Reset();
    table_.ClearTable();
    view_->setText(Ctl::calllabel, language_.text(120));
}

void GameCore::PrepareNextGame()
{
    view_->setText(Ctl::Jackpot, QStringLiteral("$-.--"));
    view_->setText(Ctl::CallField, QStringLiteral("0"));
    view_->setText(Ctl::cardid1, QString::fromLatin1(kNoCardId));
    rack_.rewind();
    view_->setText(Ctl::status, language_.text(1307));
    view_->setText(Ctl::calllabel, language_.text(120));
    const ClientSettings& s = settings_.values();
    signIn_.WebLogin(s.UserName, s.Password, s.WebHost);
    const ServiceDirectory& directory = signIn_.directory();
    pictures_.ShowAdSpace1(directory.LogoImage);
    pictures_.ShowAdSpace2(directory.AdSpace2Image);
    pictures_.ShowWinnersBackdrop(directory.WinnersImage);
}
