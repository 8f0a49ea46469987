// The one-second tick and the steps of a game: countdown, call pacing, start,
// bingo, end, and the sign-in for the next game.
#include "game/roundsteps.h"

#include "game/coreparts.h"

#include "rules/wire.h"
#include "shell/texts.h"

RoundSteps::RoundSteps(CoreParts& parts, const Views& views, GameClock* clock,
                       std::function<void(const QString&)> showWinners)
    : p_(parts), views_(views), clock_(clock), showWinners_(std::move(showWinners))
{
    timer1_.setInterval(clock_->realMs(1000));
    connect(&timer1_, &QTimer::timeout, this, &RoundSteps::Timer1Timer);
    connect(&p_.board, &CallBoard::callShown, this, &RoundSteps::OnCallShown);
}

void RoundSteps::Timer1Timer()
{
    p_.limits.secondPassed();
    if (p_.round.phase() == Phase::Pause) {
        if (clock_->now() > p_.round.resumeAt()) {
            p_.round.resumed();
            PrepareNextGame();
        }
        return;
    }
    if (p_.round.stepCountdown() < 1)
        SessionStep();
    p_.round.tickStep();
    p_.links.feedSecondPassed();
    if (p_.round.counting())
        CountdownSecond();
}

void RoundSteps::CountdownSecond()
{
    const int s = p_.round.countDown();
    if (s == 44)
        p_.sounds.PlayIfPresent(QStringLiteral("lastcall.wav"));
    if (s == 30)
        p_.sounds.PlayIfPresent(QStringLiteral("nosales.wav"));
    if (s < 35) {
        p_.round.closeSelection();
        views_.shop->showFaceChoice(false);
    }
    if (s < 25) {
        p_.round.closeSales();
        p_.links.setBusy(false);
        p_.table.HideBuyControls();
    }
    // Told once this second's closings are made, so a listener sees the sales as they now stand.
    p_.events.tell([&](PlayListener& l) { l.salesSecond(s, p_.rack.bought()); });
    if (s >= 5) {
        views_.figures->showCountdown(s);
        return;
    }
    if (!p_.rack.bought()) {
        LeaveGame();
        return;
    }
    p_.pictures.ClearAdSpace2();
    views_.status->showStatus(p_.language.text(Text::StatusEyesDown));
    views_.calls->showMachine(true);
    views_.calls->showDrum(true);
    views_.calls->showBallWindow(true);
    p_.round.readyToStart();
    p_.table.HideBuyControls();
}

void RoundSteps::SessionStep()
{
    p_.round.restartStep();
    if (p_.round.running()) {
        p_.links.feedHeard();
        CallStep();
        return;
    }
    // The feed watchdog: a feed silent for more than 35 seconds is reopened.
    const Link feed = p_.round.phase() == Phase::WaitingForSales ? Link::SalesFeed : Link::GameFeed;
    if (p_.links.reopenMark(feed) == 0) {
        p_.links.setReopenMark(feed, p_.round.secondsToStart());
        p_.links.feedHeard();
    } else if (p_.links.feedSilence() > 35) {
        p_.links.reopenSilentFeed(feed);
    }
}

void RoundSteps::CallStep()
{
    const int count = p_.round.callCount();
    if (count == 1 && p_.round.callCode(1) == '0') {
        views_.player->message(
            QStringLiteral("Call information for this game not received successfully - Press Ok to Terminate Game"));
        EndGame(true);
        return;
    }
    if (count == p_.round.finalCall()) {
        EndGame(false);
        return;
    }
    if (count == p_.round.winningCall()) {
        AnnounceBingo();
        return;
    }
    // Past the draw: a game whose figures lie beyond the codes received ends here.
    if (count >= GameRound::kDrawCapacity || (p_.round.drawLength() > 1 && count >= p_.round.drawLength())) {
        EndGame(false);
        return;
    }
    p_.round.restartStep();
    const char code = p_.round.callCode(count);
    if (code == p_.board.newestCode()) {
        // The same code twice in a row would be shown once and never counted:
        // step past that position so the draw goes on.
        p_.round.countCall();
        return;
    }
    p_.board.ShowCall(code, p_.settings.values().CallerSet);
}

void RoundSteps::OnCallShown(const QString& voice)
{
    if (!voice.isEmpty()) {
        p_.sounds.PlayVoice(voice);
        p_.sounds.PlayVoice(voice + QStringLiteral("a"));
    }
    const QList<int> oneToGo = p_.rack.MarkCalls(p_.board.RefreshRecentCalls());
    p_.table.AnnounceCall(p_.board.newestCode(), oneToGo);
    for (int card : oneToGo)
        p_.events.tell([card](PlayListener& l) { l.oneToGo(card); });
    p_.round.countCall();
    const int count = p_.round.callCount();
    if (p_.pattern.ProgressiveJackpot && count >= 0 && count < int(prizes_.size()))
        views_.figures->showJackpot(QStringLiteral("$ ") + L1(prizes_[size_t(count)]));
    views_.figures->showCallCount(count);
    views_.calls->redrawBoard();
}

void RoundSteps::StartGame()
{
    views_.calls->showMachine(true);
    p_.links.feedHeard();
    views_.status->showStatus(p_.language.text(Text::StatusGameStarted));
    p_.sounds.PlayIfPresent(QStringLiteral("starting.wav"));
    views_.menus->enableConnect(false);
    views_.calls->clearBallNumber();
    views_.calls->showBallWindow(true);
    views_.figures->showCallCount(0);
    views_.figures->showCallCaption(p_.language.text(Text::CallsLabel));
    p_.table.HideBuyControls();
    views_.calls->showLogo(false);
    views_.calls->showBoard(true);
    p_.board.StartOfGame();
    shoutDue_ = true;
    p_.table.Refresh1Click();
    p_.links.close(Link::GameFeed);
    p_.table.LayoutMainWindow();
    int inPlay = 0;
    for (int k = 1; k <= CardRack::kCards; ++k)
        inPlay += p_.rack.card(k).Entered ? 1 : 0;
    p_.events.tell([&](PlayListener& l) { l.gameStarted(p_.round.gameNumber(), inPlay); });
}

void RoundSteps::AnnounceBingo()
{
    p_.round.bingo();
    views_.status->showStatus(p_.language.text(Text::StatusGameWon));
    p_.pictures.ShowBingoPicture(L1(bingoImage_));
    views_.calls->showDrum(false);
    views_.calls->showBallWindow(false);
    if (shoutDue_) {
        shoutDue_ = false;
        p_.sounds.PlayBingoShout();
    }
}

void RoundSteps::EndGame(bool aborted)
{
    // What the game came to, taken before the cards are cleared.
    GameOutcome outcome{p_.round.gameNumber(), aborted, aborted ? 0 : p_.round.winningCall(), {}};
    for (int k = 1; k <= CardRack::kInUse && !aborted; ++k)
        if (p_.rack.card(k).Entered && p_.rack.toGo(k) == 0)
            outcome.winningCards.append(k);
    views_.calls->showMachine(false);
    if (!aborted)
        p_.pictures.LoadPicture(Picture::BallLanded, QStringLiteral("bde.gif"));
    p_.pictures.LoadPicture(Picture::BingoBanner, QStringLiteral("logo.gif"));
    views_.calls->showBanner(false);
    p_.pictures.ShowAdSpace2(p_.signIn.directory().AdSpace2Image);
    views_.calls->showAdvert(true);
    if (aborted) {
        views_.calls->showDrum(true);
        views_.calls->showBallWindow(true);
    }

    p_.round.ended(clock_->now() + 30 * 1000);
    views_.menus->enableConnect(true);
    views_.status->showStatus(p_.language.text(aborted ? Text::StatusGameAborted : Text::StatusGameOver));
    p_.rack.HideCards();
    views_.table->showSidePanel(false);
    p_.table.LayoutMainWindow();
    views_.shop->showClaim(false);

    p_.events.tell([&](PlayListener& l) { l.gameEnded(outcome); });
    if (!aborted)
        showWinners_(p_.round.gameNumber());
    CLEARALL();
    views_.status->showStatus(p_.language.text(aborted ? Text::StatusGameAborted : Text::StatusNextGameSoon));
    views_.figures->showPlayers(QString());
    p_.pictures.ShowPatternPicture(QStringLiteral("grid.gif"));

    // Credits used up: nothing left to buy the next game with.
    if (const std::optional<Money> balance = p_.shop.balance(); balance && balance->cents() <= 0) {
        p_.round.creditUsedUp();
        p_.table.HideBuyControls();
        views_.status->showStatus(p_.language.text(Text::StatusLeftGame));
        timer1_.stop();
        views_.dialogs->showThanks();
    }
    if (p_.limits.leavingAfterGame())
        views_.system->quit();
}

void RoundSteps::LeaveGame()
{
    p_.links.close(Link::GameFeed);
    p_.links.close(Link::SalesFeed);
    p_.round.left();
    p_.table.HideBuyControls();
    views_.shop->showClaim(false);
    p_.pictures.ShowPatternPicture(QStringLiteral("grid.gif"));
    views_.figures->showPlayers(QString());
    CLEARALL();
    p_.rack.HideCards();
    views_.status->showStatus(p_.language.text(Text::StatusLeftGame));
    views_.table->showSidePanel(false);
    views_.menus->enableConnect(true);
    timer1_.stop();
    p_.signIn.ShowLoginDialog();
    p_.events.tell([](PlayListener& l) { l.leftGame(); });
    if (p_.limits.leavingAfterGame())
        views_.system->quit();
}

void RoundSteps::CLEARALL()
{
    p_.round.clearDraw();
    p_.pattern.Reset();
    p_.table.ClearTable();
    views_.figures->showCallCaption(p_.language.text(Text::TimeLabel));
}

void RoundSteps::PrepareNextGame()
{
    views_.figures->showJackpot(QStringLiteral("$-.--"));
    views_.figures->showCallCount(0);
    views_.table->showCardId(QString::fromLatin1(kNoCardId));
    p_.rack.rewind();
    views_.status->showStatus(p_.language.text(Text::StatusSigningIn));
    views_.figures->showCallCaption(p_.language.text(Text::TimeLabel));
    const ClientSettings& s = p_.settings.values();
    p_.signIn.WebLogin(s.UserName, s.Password, s.WebHost);
    const ServiceDirectory& directory = p_.signIn.directory();
    p_.pictures.ShowAdSpace1(directory.LogoImage);
    p_.pictures.ShowAdSpace2(directory.AdSpace2Image);
    p_.pictures.ShowWinnersBackdrop(directory.WinnersImage);
}
