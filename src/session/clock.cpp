// The one-second tick and the steps of a game: countdown, call pacing, start,
// bingo, end, and the sign-in for the next game.
#include "session/gamecore.h"

#include "rules/wire.h"
#include "shell/texts.h"

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
        views_.figures->showCountdown(s);
        return;
    }
    if (!rack_.bought()) {
        LeaveGame();
        return;
    }
    pictures_.ClearAdSpace2();
    views_.status->showStatus(language_.text(Text::StatusEyesDown));
    views_.calls->showMachine(true);
    views_.calls->showDrum(true);
    views_.calls->showBallWindow(true);
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
        views_.player->message(QStringLiteral("Call information for this game not received successfully - Press Ok to Terminate Game"));
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
        views_.figures->showJackpot(QStringLiteral("$ ") + L1(prizes_[size_t(count)]));
    views_.figures->showCallCount(count);
    views_.calls->redrawBoard();
}

void GameCore::StartGame()
{
    views_.calls->showMachine(true);
    links_.feedHeard();
    views_.status->showStatus(language_.text(Text::StatusGameStarted));
    sounds_.PlayIfPresent(QStringLiteral("starting.wav"));
    views_.menus->enableConnect(false);
    views_.calls->clearBallNumber();
    views_.calls->showBallWindow(true);
    views_.figures->showCallCount(0);
    views_.figures->showCallCaption(language_.text(Text::CallsLabel));
    rack_.HideBuyControls();
    views_.calls->showLogo(false);
    views_.calls->showBoard(true);
    board_.StartOfGame();
    shoutDue_ = true;
    table_.Refresh1Click();
    links_.close(Link::GameFeed);
    table_.LayoutMainWindow();
}

void GameCore::AnnounceBingo()
{
    round_.bingo();
    views_.status->showStatus(language_.text(Text::StatusGameWon));
    pictures_.ShowBingoPicture(L1(bingoImage_));
    views_.calls->showDrum(false);
    views_.calls->showBallWindow(false);
    if (shoutDue_) {
        shoutDue_ = false;
        sounds_.PlayBingoShout();
    }
}

void GameCore::EndGame(bool aborted)
{
    views_.calls->showMachine(false);
    if (!aborted)
        pictures_.LoadPicture(Picture::BallLanded, QStringLiteral("bde.gif"));
    pictures_.LoadPicture(Picture::BingoBanner, QStringLiteral("logo.gif"));
    views_.calls->showBanner(false);
    pictures_.ShowAdSpace2(signIn_.directory().AdSpace2Image);
    views_.calls->showAdvert(true);
    if (aborted) {
        views_.calls->showDrum(true);
        views_.calls->showBallWindow(true);
    }

    round_.ended(clock_->now() + 30 * 1000);
    views_.menus->enableConnect(true);
    views_.status->showStatus(language_.text(aborted ? Text::StatusGameAborted : Text::StatusGameOver));
    rack_.HideCards();
    views_.table->showSidePanel(false);
    table_.LayoutMainWindow();
    views_.shop->showClaim(false);

    if (!aborted)
        ShowLastWinners(round_.gameNumber());
    CLEARALL();
    views_.status->showStatus(language_.text(aborted ? Text::StatusGameAborted : Text::StatusNextGameSoon));
    views_.figures->showPlayers(QString());
    pictures_.ShowPatternPicture(QStringLiteral("grid.gif"));

    // Credits used up: nothing left to buy the next game with.
    if (const std::optional<Money> balance = shop_.balance(); balance && balance->cents() <= 0) {
        round_.creditUsedUp();
        rack_.HideBuyControls();
        views_.status->showStatus(language_.text(Text::StatusLeftGame));
        timer1_.stop();
        views_.dialogs->showThanks();
    }
}

// Leaves the game without playing it; the player signs in again for the next one.
void GameCore::LeaveGame()
{
    links_.close(Link::GameFeed);
    links_.close(Link::SalesFeed);
    round_.left();
    rack_.HideBuyControls();
    views_.shop->showClaim(false);
    pictures_.ShowPatternPicture(QStringLiteral("grid.gif"));
    views_.figures->showPlayers(QString());
    CLEARALL();
    rack_.HideCards();
    views_.status->showStatus(language_.text(Text::StatusLeftGame));
    views_.table->showSidePanel(false);
    views_.menus->enableConnect(true);
    timer1_.stop();
    signIn_.ShowLoginDialog();
}

void GameCore::CLEARALL()
{
    round_.clearDraw();
    pattern_.Reset();
    table_.ClearTable();
    views_.figures->showCallCaption(language_.text(Text::TimeLabel));
}

void GameCore::PrepareNextGame()
{
    views_.figures->showJackpot(QStringLiteral("$-.--"));
    views_.figures->showCallCount(0);
    views_.table->showCardId(QString::fromLatin1(kNoCardId));
    rack_.rewind();
    views_.status->showStatus(language_.text(Text::StatusSigningIn));
    views_.figures->showCallCaption(language_.text(Text::TimeLabel));
    const ClientSettings& s = settings_.values();
    signIn_.WebLogin(s.UserName, s.Password, s.WebHost);
    const ServiceDirectory& directory = signIn_.directory();
    pictures_.ShowAdSpace1(directory.LogoImage);
    pictures_.ShowAdSpace2(directory.AdSpace2Image);
    pictures_.ShowWinnersBackdrop(directory.WinnersImage);
}
