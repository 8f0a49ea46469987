// The windows the program builds, on a real game core: every name the core may address
// resolves, the board and the faces show what the player must see, the cards take the
// room the main window gives, and the controls' commands reach the core.
#include "coretestbed.h"
#include "minihttp.h"
#include "scriptedpeer.h"
#include "components/media/effects.h"
#include "components/media/pictures.h"
#include "windows/boardwidget.h"
#include "windows/cardwidgets.h"
#include "windows/dialogs.h"
#include "limits/playlimits.h"
#include "windows/limitswindows.h"
#include "windows/mainwindow.h"
#include "windows/screenviews.h"
#include "windows/viewhub.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

QString CardName(int k) { return QStringLiteral("Card") + QString::number(k); }

// The main window and every secondary window in the order the program makes them, on a
// view hub that stops the test run at a name no window has, with the core showing there.
struct Client {
    ScriptedPeer server;   // the request link's server
    CoreTestbed bed;
    MainWindow form;
    ViewHub hub{&form};
    ScreenViews screen{&form, &hub};
    Views views = screen.views();
    GameCore* core = (hub.setStrict(true), hub.setSilent(true), bed.remake(&views), bed.core.get());
    LoginDialog login{core};
    AboutDialog about{&form};
    ThanksDialog market{core};
    NewsDialog news;
    AliasDialog alias{core};
    DownloadWindow download;
    CallerSetWindow callers{core};
    FunBingoWindow funBingos{core};
    WinnersWindow winners{&form};
    AnnouncerSetWindow announcers{core};
    CommsAlert alert{core};
    PlayLimitsWindow limits{core};
    RealityCheckWindow reality{core};

    explicit Client(const QByteArray& settings = {}, int msPerSecond = 1000) : bed(msPerSecond, server.port())
    {
        form.attach(core, &hub);
        const std::pair<const char*, QWidget*> windows[] = {
            {"Tlogindialog", &login}, {"TAboutDialog", &about}, {"Tmarketdialog", &market}, {"TForm2", &news},
            {"TAliasConfirm", &alias}, {"Tgifdownload", &download}, {"Tgetcset", &callers}, {"Tgetbings", &funBingos},
            {"Twinners", &winners}, {"Tgetaset", &announcers}, {"TForm3", &alert}, {"TPlayLimits", &limits},
            {"TRealityCheck", &reality}};
        for (const auto& [name, window] : windows)
            hub.addWindow(QLatin1String(name), window);
        if (!settings.isEmpty())
            bed.writeFile(QStringLiteral("defaults.cfg"), settings);
        form.show();
        bed.create();
    }
    ~Client() { bed.core.reset(); }   // the core goes before the windows it shows on
    QWidget* w(const QString& name) { return qobject_cast<QWidget*>(hub.resolve(name)); }
    bool sent(const QByteArray& line) { return WaitFor([&] { return server.received.contains(line); }); }
    void click(const QString& name) { QTest::mouseClick(w(name), Qt::LeftButton); }
    // Signs in, buys card 1 with one face and starts a game with this draw; its first number is called.
    void play(const QByteArray& draw)
    {
        bed.signIn();
        bed.openSales();
        bed.buyCard(1);
        bed.startGame(draw, 70, 75);
        bed.step();
    }
};

int Count(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += test(image.pixel(x, y)) ? 1 : 0;
    return n;
}

}   // namespace

TEST(Windows, EveryViewOfTheCoreReachesWidgetsOfTheWindowsAndShowsWhatItIsTold)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    Client c;   // the start-up has shown its texts on a strict hub already
    // Every typed view reaches widgets the windows have: a missing one stops the test run.
    const Views& v = c.views;
    v.status->showStatus(QStringLiteral("s"));
    v.status->showNotice(QStringLiteral("n"));
    v.status->showNotice(QString());
    v.status->showConnectAttempts(1000);   // the bar fills to its own maximum
    auto* bar = qobject_cast<QProgressBar*>(c.w(QStringLiteral("ProgressBar1")));
    EXPECT_TRUE(bar && bar->value() == bar->maximum());
    v.status->showAlias(QStringLiteral("a"));
    v.figures->showFigures();
    v.figures->showPlayers(QStringLiteral("3"));
    v.figures->showJackpot(QStringLiteral("$ 1.00"));
    v.figures->showBalance(Money::fromCents(-5));
    EXPECT_EQ(qobject_cast<QLabel*>(c.w(QStringLiteral("f_credits")))->text(), "-0.05");
    v.figures->showCountdown(125);
    EXPECT_EQ(qobject_cast<QLabel*>(c.w(QStringLiteral("CallField")))->text(), "2:05");
    EXPECT_TRUE(CountdownText(70) == "1:10" && CountdownText(600) == "10:00" && CountdownText(5) == "0:05");
    v.figures->showCallCount(7);
    v.figures->showCallCaption(QStringLiteral("Calls"));
    for (bool on : {true, false}) {
        v.shop->showFaceChoice(on);
        v.shop->showBuy(on);
        v.shop->enableCardButtons(on);
        v.shop->showClaim(on);
        v.shop->enableClaim(on);
        v.shop->showClaimWon(on);
        v.table->showTable(on);
        v.table->showSidePanel(on);
        v.table->showPageArrows(on, !on);
        v.table->showLargeNumbers(on);
        v.table->showDauberCursor(on);
        v.calls->showBoard(on);
        v.calls->showMachine(on);
        v.calls->showDrum(on);
        v.calls->showBallWindow(on);
        v.calls->showBanner(on);
        v.calls->showAdvert(on);
        v.calls->showLogo(on);
        v.menus->enableConnect(on);
        v.menus->checkAutoDaub(on);
        v.menus->checkBestCardFirst(on);
        v.dialogs->showCommsAlert(on);
        v.dialogs->showNews(on);
    }
    v.shop->showButtonColour(kRed);
    v.shop->showDaubColour(kBlue);
    v.shop->showAutoDaubColour(kAqua);
    v.table->showTicketName(10, QStringLiteral("Card 10"));
    v.table->placeCard(10, 2, 1);
    EXPECT_EQ(c.w(CardName(10))->pos(), CardPlace(2, 1));
    v.table->hideCard(10);
    v.table->showPageNumber(2);
    v.table->showCardId(QStringLiteral("123456"));
    v.calls->showRecentCalls({1, 75, 0, 0, 0});
    EXPECT_EQ(qobject_cast<QLabel*>(c.w(QStringLiteral("rec2")))->text(), "O75");
    EXPECT_EQ(qobject_cast<QLabel*>(c.w(QStringLiteral("rec3")))->text(), ".");
    v.calls->clearRecentCalls();
    v.calls->rollBall(46);
    v.calls->landBall();
    v.calls->restBall();
    v.calls->clearBallNumber();
    for (Picture p : {Picture::Logo, Picture::Advert, Picture::BingoBanner, Picture::Pattern, Picture::Ball,
                      Picture::BallLanded, Picture::WinnersBackdrop, Picture::SkinFrame, Picture::SkinBackground,
                      Picture::LeftArrow, Picture::RightArrow})
        EXPECT_FALSE(v.pictures->showPicture(p, c.bed.filePath(QStringLiteral("absent.gif"))));
    // The pattern shows in both its places, the top band's and the one beside the cards.
    EXPECT_TRUE(v.pictures->showPicture(Picture::Pattern, QStringLiteral(BINGO_APP_DIR "/grid.gif")));
    for (const char* place : {"anigrid1", "anigrid2"})
        EXPECT_TRUE(qobject_cast<PictureBox*>(c.w(QLatin1String(place)))->hasPicture()) << place;
    // A skin's frame and background each cover three panels, read once and shared by all three.
    const QString skin = QStringLiteral(BINGO_APP_DIR "/skins/");
    const QDir skins(skin);
    const QStringList bitmaps = skins.entryList({QStringLiteral("*.bmp")});
    ASSERT_GE(bitmaps.size(), 2);
    const struct { Picture picture; std::array<const char*, 3> panels; } skinned[] = {
        {Picture::SkinFrame, {"TopPanel", "SidePanel", "BottomPanel"}},
        {Picture::SkinBackground, {"GridBackground", "GameBackground", "BingoBackground"}}};
    for (const auto& [picture, panels] : skinned) {
        EXPECT_TRUE(v.pictures->showPicture(picture, skin + bitmaps[picture == Picture::SkinFrame ? 0 : 1]));
        const qint64 first = qobject_cast<TiledImage*>(c.w(QLatin1String(panels[0])))->tile().cacheKey();
        for (const char* panel : panels) {
            const QPixmap& tile = qobject_cast<TiledImage*>(c.w(QLatin1String(panel)))->tile();
            EXPECT_TRUE(!tile.isNull() && tile.cacheKey() == first) << panel;
        }
    }
    v.winners->clearWinners();
    EXPECT_TRUE(c.w(QStringLiteral("Twinners.ListBox1"))->isHidden());
    v.chat->showRoomName(QStringLiteral("Room"));
    v.chat->keepInput(QStringLiteral("kept"));
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(c.w(QStringLiteral("mtext")))->toPlainText(), "kept");
    v.chat->clearInput();
    v.chat->addChatLine(QStringLiteral("line"));
    v.chat->clearChatLog();
    v.chat->addMember(QStringLiteral("Ann"));
    v.chat->clearMembers();
    for (SetKind kind : {SetKind::Caller, SetKind::FunBingo, SetKind::Announcer}) {
        v.sets->showSetWindow(kind, true);
        v.sets->showSetMessage(kind, QStringLiteral("m"));
        v.sets->showSetItems(kind, {QStringLiteral("one")});
        v.sets->enableSetList(kind, false);
        v.sets->showSetClose(kind, false);
        v.sets->showSetProgress(kind, 50);
        v.sets->showSetWindow(kind, false);
    }
    v.dialogs->showNewsText(QStringLiteral("news"));
    v.dialogs->showDownload(QStringLiteral("a.gif"));
    v.dialogs->showDownloadProgress(10);
    v.dialogs->hideDownload();
    v.dialogs->showAliasConfirm(QStringLiteral("Lucky"));
    c.alias.hide();
    v.menus->showTitle(QStringLiteral("Vexo"));
    v.menus->showRoomNames({QStringLiteral("R&B"), QStringLiteral("r2"), QStringLiteral("r3"), QStringLiteral("r4"),
                            QStringLiteral("r5"), QStringLiteral("r6")});
    EXPECT_EQ(c.form.findChild<QAction*>(QStringLiteral("JoinChatRoom1"))->text(), "R&&B");   // shown as sent
    // A question may carry the hall's words: they are asked as they are, and No is the default.
    QTimer::singleShot(0, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_TRUE(box);
        EXPECT_TRUE(box->textFormat() == Qt::PlainText && box->text() == "<b>Update</b> now?");
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_FALSE(v.player->ask(QStringLiteral("<b>Update</b> now?")));
    v.menus->showHelpAddress(QStringLiteral("http://127.0.0.1/"));
    EXPECT_DEATH(c.hub.resolve(QStringLiteral("no-such-control")), "no-such-control");
    c.hub.setStrict(false);   // the program as shipped names it once and goes on
    EXPECT_EQ(c.hub.resolve(QStringLiteral("no-such-control")), nullptr);
    c.hub.setText(QStringLiteral("no-such-control"), QStringLiteral("x"));

    // The log shows the newest line first; a text has one box at a time, on top.
    c.form.memo()->show();
    for (const char* line : {"older", "newer"})
        c.views.status->log(QLatin1String(line));
    EXPECT_TRUE(c.form.memo()->toPlainText().startsWith("newer\nolder"));
    for (const char* text : {"news", "news", "fault", "fault"})
        text[0] == 'f' ? c.hub.errorBox(QLatin1String(text)) : c.hub.messageBox(QLatin1String(text));
    const QList<QMessageBox*> box = c.form.findChildren<QMessageBox*>();
    EXPECT_TRUE(box.size() == 2 && (box[0]->windowFlags() & box[1]->windowFlags()).testFlag(Qt::WindowStaysOnTopHint));
}

TEST(Windows, TheLoginDialogShowsAtStartFilledFromTheSettingsAndItsConnectReachesTheCore)
{
    Client c("UN:demo#V6:FALSE#V7:secret#");
    EXPECT_TRUE(c.login.isVisible());
    EXPECT_EQ(qobject_cast<QLineEdit*>(c.w(QStringLiteral("Tlogindialog.Edit1")))->text(), "demo");
    EXPECT_EQ(qobject_cast<QLineEdit*>(c.w(QStringLiteral("Tlogindialog.Edit2")))->text(), "secret");
    auto* remember = qobject_cast<QCheckBox*>(c.w(QStringLiteral("Tlogindialog.CheckBox1")));
    ASSERT_TRUE(remember->isChecked());
    remember->setChecked(false);
    c.click(QStringLiteral("Tlogindialog.Button1"));
    EXPECT_FALSE(c.login.isVisible());   // the web login has begun
    EXPECT_TRUE(c.bed.readFile(QStringLiteral("defaults.cfg")).contains("#V6:TRUE#"));
}

TEST(Windows, TheWindowsOwnCloseButtonsAndEscapeDoWhatTheirButtonsDo)
{
    Client c({}, 5);   // a refused link is tried again every 5 ms
    for (SetKind kind : {SetKind::Caller, SetKind::FunBingo, SetKind::Announcer}) {
        c.core->catalogue(kind).Open();   // mutes the game
        static const char* const windows[] = {"Tgetcset", "Tgetbings", "Tgetaset"};
        QTest::keyClick(c.w(QLatin1String(windows[int(kind)])), Qt::Key_Escape);
        EXPECT_FALSE(c.core->sounds().muted()) << int(kind);
    }
    c.server.stop();   // every link is refused, again and again: the alert comes, and after closing it, again
    c.bed.signIn();
    ASSERT_TRUE(WaitFor([&] { return c.alert.isVisible(); }, 15000));
    QTest::keyClick(&c.alert, Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return c.alert.isVisible(); }, 15000));
}

TEST(Windows, TheBoardLightsEachCalledNumberInItsOwnPlaceAndPressingOneDaubsTheCellUnderTheMouse)
{
    // A press finds its cell; the one-pixel lines between cells and the ground outside belong to none.
    const int pitch = FaceLook().cellWidth + 1;
    const std::pair<QPoint, QPoint> presses[] = {
        {{0, 0}, {0, 0}}, {{pitch - 2, pitch - 2}, {0, 0}}, {{pitch - 1, 5}, {-1, -1}}, {{5, pitch - 1}, {-1, -1}},
        {{pitch, 5}, {1, 0}}, {{4 * pitch + 5, 4 * pitch + 5}, {4, 4}}, {{5 * pitch - 1, 5}, {-1, -1}},
        {{5 * pitch, 5}, {-1, -1}}, {{-1, 5}, {-1, -1}},
    };
    for (const auto& [point, cell] : presses)
        EXPECT_EQ(CellAt(point), cell) << point.x() << ',' << point.y();
    Client c;
    c.play(CoreTestbed::codes({16, 75, 1}));   // 16: face 1, column 1, row 0 of the card bought
    c.bed.step();
    const QImage board = c.w(QStringLiteral("board"))->grab().toImage();
    // Column 0 holds the letters; n sits in row (n - 1) / 15, column (n - 1) % 15 + 1 of 16×17 cells.
    const auto cell = [](int n) { return QRect(16 * ((n - 1) % 15 + 1), 17 * ((n - 1) / 15), 18, 17); };
    const auto yellow = [](QRgb p) { return qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) < 90; };
    const auto grey = [](QRgb p) { return qGray(p) > 60 && qAbs(qRed(p) - qBlue(p)) < 12; };
    EXPECT_TRUE(Count(board, cell(16), yellow) > 0 && Count(board, cell(75), yellow) > 0);
    EXPECT_EQ(Count(board, board.rect(), yellow), Count(board, cell(16), yellow) + Count(board, cell(75), yellow));
    EXPECT_GT(Count(board, cell(1), grey), 0);   // not called yet

    const BingoCard& card = c.core->rack().card(1);
    FaceWidget* face = c.form.cardPanel(1)->card()->faceWidget(1);
    const int w = FaceLook().cellWidth + 1, h = FaceLook().cellHeight + 1;
    QTest::mousePress(face, Qt::LeftButton, {}, QPoint(w + 5, 5));
    EXPECT_EQ(card.CellColour[1][1][0], c.core->rack().daubColour());
    const QImage img = face->grab().toImage();
    const auto daub = [&](QRgb p) { return (p & 0xFFFFFFu) == c.core->rack().daubColour(); };
    EXPECT_GT(Count(img, QRect(w, 0, w - 1, h - 1), daub), 100);
    for (const QPoint& other : {QPoint(0, 0), QPoint(2 * w, 0), QPoint(w, h)})
        EXPECT_EQ(Count(img, QRect(other, QSize(w - 1, h - 1)), daub), 0) << other.x() << "," << other.y();
}

// A reader hears every cell of a face, up to the last number there is: a card from the hall
// whose O column ends with 75.
TEST(Windows, AFaceCellIsReadForWhatItHoldsFromOneTo75)
{
    Client c;
    c.bed.signIn();
    c.bed.openSales();
    QByteArray numbers = CoreTestbed::numbers(1);
    numbers[24] = char(75 + 50);   // column O, row 5 (the columns follow each other, five cells each)
    c.core->shop().chooseFaces(1);
    c.bed.line(Link::Request, "PQZ!CARDRG1$A1%A$B" + numbers + "%B");
    ASSERT_EQ(c.core->rack().card(1).CellNumber(1, 4, 4), 75);
    QAccessibleInterface* cells = QAccessible::queryAccessibleInterface(c.form.cardPanel(1)->card()->faceWidget(1));
    ASSERT_TRUE(cells && cells->tableInterface());
    EXPECT_EQ(cells->child(0)->text(QAccessible::Name), "B 1");
    EXPECT_EQ(cells->child(24)->text(QAccessible::Name), "O 75");
    EXPECT_EQ(cells->tableInterface()->cellAt(4, 4)->text(QAccessible::Name), "O 75");
}

TEST(Windows, FacesInkBoughtCardsBlackAndOthersGreyOrSilverWhileTheGameRuns)
{
    const struct { bool entered, running; Colour ink; } cases[] = {
        {false, false, kGrey}, {false, true, kSilver}, {true, false, kBlack}, {true, true, kBlack}};
    for (const auto& t : cases) {
        BingoCard card;
        card.Entered = t.entered;
        card.Numbers[1][0][0] = 12;
        QImage img(FaceLook().cellWidth, FaceLook().cellHeight, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        DrawFace(p, card, CurrentFaceLook(), 1, 0, 0, t.running);
        p.end();
        EXPECT_GT(Count(img, img.rect(), [&](QRgb px) { return (px & 0xFFFFFFu) == t.ink; }), 5) << t.ink;
    }
}

TEST(Windows, OnADoubledScreenFacesAndBoardAreDrawnSmoothAtTheirOwnResolutionAndTheDauberGrowsWithItsHotspot)
{
    const auto drawn = [](const QSize& size, QRgb paper, const std::function<void(QPainter&)>& draw) {
        QImage img(size * 2, QImage::Format_RGB32);
        img.setDevicePixelRatio(2);
        img.fill(paper);
        QPainter p(&img);
        draw(p);
        return img;
    };
    // Drawn at two device pixels per logical one, some 2x2 blocks differ inside (a picture drawn
    // at one and doubled has none) and strokes have smoothed pixels between ink and paper.
    const auto smooth = [](const QImage& img, QRgb ink, QRgb paper) {
        int split = 0;
        for (int y = 0; y + 1 < img.height(); y += 2)
            for (int x = 0; x + 1 < img.width(); x += 2)
                split += img.pixel(x, y) != img.pixel(x + 1, y) || img.pixel(x, y) != img.pixel(x, y + 1) ? 1 : 0;
        return split > 10 && Count(img, img.rect(), [&](QRgb p) { return p != ink && p != paper; }) > 10;
    };
    BingoCard card;
    card.Entered = true;
    card.Numbers[1][0][0] = 12;
    card.CellColour[1][1][0] = kAqua;
    const int w = FaceLook().cellWidth, h = FaceLook().cellHeight;
    const QImage face = drawn(QSize(2 * w + 1, h), qRgb(255, 255, 255), [&](QPainter& p) {
        DrawFace(p, card, CurrentFaceLook(), 1, 0, 0, false);
        DrawFace(p, card, CurrentFaceLook(), 1, 1, 0, false);
    });
    EXPECT_TRUE(smooth(face.copy(0, 0, 2 * w, 2 * h), qRgb(0, 0, 0), qRgb(255, 255, 255)));   // "12"
    EXPECT_TRUE(smooth(face.copy(2 * w + 2, 0, 2 * w, 2 * h), qRgb(0, 255, 255), qRgb(255, 255, 255)));   // the daub
    Client c;
    const QImage board = drawn(QSize(259, 84), qRgb(0, 0, 0), [&](QPainter& p) {
        DrawBoard(p, c.core->board(), QSize(259, 84));
    });
    EXPECT_TRUE(smooth(board.copy(0, 0, 2 * 16, board.height()), qRgb(255, 0, 0), qRgb(0, 0, 0)));   // the letters
    QPixmap picture(32, 32);
    picture.fill(Qt::red);
    const QCursor dauber(picture, 2, 29);
    EXPECT_EQ(CursorForScale(dauber, 2).pixmap().size(), QSize(64, 64));
    EXPECT_EQ(CursorForScale(dauber, 2).hotSpot(), QPoint(4, 58));
    EXPECT_EQ(CursorForScale(dauber, 1).hotSpot(), QPoint(2, 29));
}

TEST(Windows, DuringAGameTheCardsFillTheRoomTheMainWindowGivesInReadingOrder)
{
    Client c;
    c.play(CoreTestbed::codes({1, 2, 3}));
    // One card across up to three face widths, two up to five, then three; a second row
    // once the play area is taller than three faces and 42 pixels.
    const int face = 5 * FaceLook().cellWidth + 10, tall = 3 * (5 * FaceLook().cellHeight + 5) + 42;
    const struct { int width, height, across, down; } cases[] = {
        {3 * face, tall, 1, 1}, {3 * face + 1, tall + 1, 2, 2}, {5 * face, tall, 2, 1}, {5 * face + 1, tall + 1, 3, 2}};
    const auto room = [&] {
        return QSize(c.w(QStringLiteral("MultiPanel"))->width(), c.w(QStringLiteral("PlayPanel"))->height());
    };
    const QSize frame = c.form.size() - room();
    for (const auto& t : cases) {
        c.form.resize(frame + QSize(t.width, t.height));
        ASSERT_TRUE(QTest::qWaitFor([&] { return room() == QSize(t.width, t.height); }));
        QList<QRect> shown;
        for (int k = 1; k <= CardRack::kInUse; ++k)
            if (c.hub.isVisible(CardName(k)))
                shown << c.w(CardName(k))->geometry();
        EXPECT_EQ(shown.size(), t.across * t.down) << t.width << "x" << t.height;
        for (qsizetype k = 1; k < shown.size(); ++k) {
            EXPECT_TRUE(shown[k].top() > shown[k - 1].top() || shown[k].left() > shown[k - 1].right()) << k;
            for (qsizetype j = 0; j < k; ++j)
                EXPECT_FALSE(shown[k].intersects(shown[j])) << j << " " << k;
        }
    }
    // Paged to the last card in use, the card shows alone and the player hears that there is no more.
    const int beeps = c.hub.beepCount();
    for (int k = 1; k < CardRack::kInUse; ++k)
        QTest::mouseClick(c.form.cardPanel(k)->findChild<QWidget*>(QStringLiteral("rightbutton")), Qt::LeftButton);
    EXPECT_EQ(c.hub.beepCount(), beeps + 1);
    EXPECT_TRUE(c.hub.isVisible(CardName(CardRack::kInUse)) && !c.hub.isVisible(CardName(1)));
    c.form.resize(c.form.size() + QSize(1, 0));   // a new size starts again from the first card
    EXPECT_TRUE(QTest::qWaitFor([&] { return c.hub.isVisible(CardName(1)) && c.core->rack().currentCard() == 1; }));
}

TEST(Windows, MenuCommandsReachTheCore)
{
    Client c;
    // The bar's titles come from the language table, each with a letter for Alt that no other title has.
    const QList<QAction*> titles = c.form.menuBar()->actions();
    EXPECT_TRUE(titles.size() == 7 && titles[0]->text() == "&T124" && titles[1]->text() == "T126");
    // An ampersand in a title is a character; the letter after it is still free to take, and
    // the next title skips the letter the first one took.
    c.hub.setText("Connect1", "&Co");
    c.hub.setText("MarkerColor1", "Cash");
    EXPECT_EQ(titles[0]->text(), "&&&Co");
    EXPECT_EQ(titles[1]->text(), "C&ash");
    GameCore& core = *c.core;
    int small = 0;
    const struct { const char* action; std::function<bool()> done; } cases[] = {
        {"Small1", [&] { return (small = CurrentFaceLook().numberPoints) > 0; }},
        {"Large1", [&] { return CurrentFaceLook().numberPoints > small; }},
        {"Autodauber", [&] { return core.settings().autoDaub(); }},
        {"BingoMarker1", [&] { return core.table().dauberCursor(); }},
        {"Shape6", [&] { return !core.table().dauberCursor(); }},
        {"OFF1", [&] { return !core.settings().soundOn(); }},
        {"TurnSoundON1", [&] { return core.settings().soundOn(); }},
        {"About2", [&] { return c.about.isVisible(); }},
        {"ShowLastGamesWinners1", [&] { return c.sent("PQZ!GS000000##"); }},
    };
    for (const auto& t : cases) {
        c.form.findChild<QAction*>(QLatin1String(t.action))->trigger();
        EXPECT_TRUE(t.done()) << t.action;
    }
}

TEST(Windows, TheChatDocksBesideTheCardsTakesTypedLinesShowsRoomTextPlainAndItsSplitterMovesTheCards)
{
    Client c;
    ScriptedPeer room;
    MiniHttp web;
    web.body = "chatip1:127.0.0.1%chatport1:" + QByteArray::number(room.port()) + "%chatname1:Main Hall%ChatOK:0%";
    c.core->signIn().LoginButton1Click(QStringLiteral("p"), QStringLiteral("w"), web.host(), false);
    ASSERT_TRUE(WaitFor([&] { return c.core->signIn().directoryRead(); }));
    c.play(CoreTestbed::codes({1, 2, 3}));   // signs in as "Lucky"
    c.core->table().RightCardClick();   // the player's page stays through the chat's coming and going
    c.form.findChild<QAction*>(QStringLiteral("JoinChatRoom1"))->trigger();
    ASSERT_TRUE(WaitFor([&] { return c.core->chat().connected(); }));
    EXPECT_EQ(c.core->rack().currentCard(), 2);
    QWidget* multi = c.w(QStringLiteral("MultiPanel"));
    EXPECT_TRUE(c.w(QStringLiteral("cpanel"))->isVisible() && multi->width() == 258);
    EXPECT_EQ(c.w(QStringLiteral("cpanel"))->x(), 258 + 7);

    auto* input = c.form.findChild<QPlainTextEdit*>(QStringLiteral("mtext"));
    QTest::keyClicks(input, QStringLiteral("hi all"));
    QTest::keyClick(input, Qt::Key_Return);
    ASSERT_TRUE(WaitFor([&] { return room.received.contains("BLucky: hi all"); }));
    EXPECT_TRUE(input->toPlainText().isEmpty());
    room.sendLine("S0Eve: <img src=x><b>hi</b>");
    const auto* log = c.form.findChild<QPlainTextEdit*>(QStringLiteral("mChat"));
    EXPECT_TRUE(WaitFor([&] { return log->toPlainText().endsWith(QLatin1String("\nEve: <img src=x><b>hi</b>")); }));

    // Dragging the splitter 100 pixels to the right widens the cards' room; the cards follow.
    QWidget* splitter = c.w(QStringLiteral("Splitter2"));
    QTest::mousePress(splitter, Qt::LeftButton, {}, QPoint(3, 20));
    QTest::mouseMove(splitter, QPoint(103, 20));
    QTest::mouseRelease(splitter, Qt::LeftButton, {}, QPoint(103, 20));
    EXPECT_EQ(multi->width(), 358);
    EXPECT_TRUE(WaitFor([&] { return c.w(CardName(2))->geometry().right() < 358 && splitter->x() == 358; }));
    EXPECT_EQ(c.core->rack().currentCard(), 2);

    QTest::mouseClick(c.w(QStringLiteral("ChatQuit")), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return room.received.contains("RLucky"); }));
    EXPECT_TRUE(!c.w(QStringLiteral("cpanel"))->isVisible()
                && multi->width() == c.w(QStringLiteral("PlayPanel"))->width());
    EXPECT_EQ(c.core->rack().currentCard(), 2);

    // In a narrow window the chat keeps 100 pixels beside the splitter's 7; the cards take the rest.
    c.form.resize(300, c.form.height());
    QApplication::processEvents();
    c.views.chat->showChatPanel(true);
    const int play = c.w(QStringLiteral("PlayPanel"))->width();
    ASSERT_LT(play - 107, 258);
    EXPECT_EQ(multi->width(), play - 107);
}

namespace {
// A key pressed where the keyboard is: the open dialog's focus, else the active window's.
void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* target = QApplication::activeModalWidget();
    if (!target || !target->focusWidget())
        target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeWindow();
    ASSERT_TRUE(target);
    QTest::keyClick(target, Qt::Key(key), modifiers);
}

// Answers the question that is about to open with a key.
void AnswerWith(int key)
{
    QTimer::singleShot(0, [key] { Key(key); });
}

}   // namespace

TEST(Windows, AGameIsPlayedWithTheKeyboardAloneFromTheLoginToTheWinnersAndReadersAreToldWhatHappens)
{
    Client c("UN:demo#V6:TRUE#V7:secret#");
    // What a reader hears of the game's updates: the announcer's name, said as an alert.
    QAccessibleInterface* announcer = QAccessible::queryAccessibleInterface(c.w(QStringLiteral("announcer")));
    ASSERT_EQ(announcer->role(), QAccessible::AlertMessage);
    const auto said = [announcer] { return announcer->text(QAccessible::Name); };
    c.login.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&c.login));
    // The window manager's part: the main window has the keyboard again once a box is gone.
    const auto backToMain = [&c] {
        c.form.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&c.form));
    };
    // A box takes the keyboard until Enter closes it.
    const auto closeBox = [&c] {
        QMessageBox* box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = c.form.findChild<QMessageBox*>()) && box->isActiveWindow(); }));
        Key(Qt::Key_Return);
        EXPECT_FALSE(box->isVisible());
        delete box;
    };
    Key(Qt::Key_Return);   // the dialog comes filled in: Enter connects
    EXPECT_FALSE(c.login.isVisible());
    closeBox();   // no web service here: the sign-in below stands in for it
    c.bed.signIn();
    c.bed.openSales();
    closeBox();   // the welcome
    backToMain();

    // Every control the keyboard reaches tells a reader what it is and what it is for.
    for (QWidget* w : c.form.findChildren<QWidget*>()) {
        QAccessibleInterface* i = QAccessible::queryAccessibleInterface(w);
        const bool reached = (w->focusPolicy() & Qt::TabFocus) && !qobject_cast<QScrollBar*>(w);
        if (reached && !qobject_cast<QMessageBox*>(w->window())) {
            EXPECT_FALSE(i->text(QAccessible::Name).isEmpty() || i->text(QAccessible::Description).isEmpty())
                << w->objectName().toStdString();
        }
    }

    Key(Qt::Key_3);   // three faces
    ASSERT_TRUE(c.sent("PQZ!S1"));   // the faces go with the purchase
    EXPECT_FALSE(c.w(QStringLiteral("s3image"))->isEnabled());   // until the card arrives
    c.bed.line(Link::Request, "PQZ!CARDRG1$A1%A$B" + CoreTestbed::numbers(3) + "%B");
    Key(Qt::Key_B, Qt::ControlModifier);
    ASSERT_TRUE(WaitFor([&] { return c.server.received.last().startsWith("PQZ!B7"); }));
    c.bed.line(Link::Request, "PQZ!LOGINOK100001.00001.00001$04.00%0$B" + CoreTestbed::numbers(3) + "%B$C1%C");
    Key(Qt::Key_PageDown);   // on to the next card, and back
    EXPECT_EQ(c.core->rack().currentCard(), 2);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(c.core->rack().currentCard(), 1);
    c.views.chat->showChatPanel(true);
    Key(Qt::Key_F6);
    EXPECT_EQ(QApplication::focusWidget(), c.w(QStringLiteral("mtext")));
    c.views.chat->showChatPanel(false);

    // Row 0 of face 1 is 1, 16, 31, 46, 61: one line wins at the fifth call.
    c.bed.startGame(CoreTestbed::codes({1, 16, 31, 46, 61}), 5, 5);
    c.bed.step();
    EXPECT_EQ(said(), "B 1");
    c.bed.step(3);
    auto* badge = c.form.cardPanel(1)->findChild<QLabel*>(QStringLiteral("togo"));
    EXPECT_TRUE(badge->isVisible() && badge->text().startsWith("1 ")
                && badge->palette().window().color() == QColor(255, 204, 0));   // gold at one to go
    EXPECT_EQ(said(), "G 46. T1808 1: 1 -");

    FaceWidget* face = c.form.cardPanel(1)->card()->faceWidget(1);
    for (int tabs = 0; tabs < 12 && QApplication::focusWidget() != face; ++tabs)
        Key(Qt::Key_Tab);   // past the claim and the daubers to the card
    ASSERT_EQ(QApplication::focusWidget(), face);
    Key(Qt::Key_Space);
    Key(Qt::Key_Right);
    Key(Qt::Key_Space);
    const BingoCard& card = c.core->rack().card(1);
    const Colour daub = c.core->rack().daubColour();
    EXPECT_TRUE(card.CellColour[1][0][0] == daub && card.CellColour[1][1][0] == daub);
    QAccessibleInterface* cells = QAccessible::queryAccessibleInterface(face);
    EXPECT_TRUE(cells->childCount() == 25 && cells->text(QAccessible::Name).startsWith("T1808 1, T1809 1, 1 "));
    EXPECT_EQ(cells->focusChild()->text(QAccessible::Name), "I 16, T1805, T1806");   // the keyboard's cell, daubed
    EXPECT_EQ(cells->child(2)->text(QAccessible::Name), "B 3");
    const int w = FaceLook().cellWidth + 1;
    const QImage framed = face->grab().toImage();
    EXPECT_GT(Count(framed, QRect(w, 0, w - 1, 6), [](QRgb p) { return p == qRgb(255, 120, 0); }), 20);
    QAccessibleInterface* board = QAccessible::queryAccessibleInterface(c.form.board());
    EXPECT_TRUE(board->childCount() == 75 && board->child(45)->text(QAccessible::Name) == "G 46, T1805"
                && board->child(46)->text(QAccessible::Name) == "G 47");
    // Both are tables a reader walks by row and column: the face under its letters, the board
    // a letter to a row.
    QAccessibleTableInterface* faceTable = cells->tableInterface();
    ASSERT_TRUE(faceTable && faceTable->rowCount() == 5 && faceTable->columnCount() == 5);
    EXPECT_EQ(faceTable->columnDescription(3), "G");
    QAccessibleInterface* cell = faceTable->cellAt(2, 0);   // column B, row 3
    ASSERT_TRUE(cell && cell->tableCellInterface());
    EXPECT_EQ(cell->text(QAccessible::Name), "B 3");
    EXPECT_TRUE(cell->tableCellInterface()->rowIndex() == 2 && cell->tableCellInterface()->columnIndex() == 0);
    const QList<QAccessibleInterface*> heads = faceTable->cellAt(4, 3)->tableCellInterface()->columnHeaderCells();
    ASSERT_EQ(heads.size(), 1);
    EXPECT_TRUE(heads[0]->text(QAccessible::Name) == "G" && heads[0]->role() == QAccessible::ColumnHeader);
    EXPECT_EQ(faceTable->cellAt(5, 0), nullptr);
    QAccessibleTableInterface* boardTable = board->tableInterface();
    ASSERT_TRUE(boardTable && boardTable->rowCount() == 5 && boardTable->columnCount() == 15);
    EXPECT_EQ(boardTable->cellAt(3, 0), board->child(45));   // G 46 starts the G row
    EXPECT_TRUE(board->child(45)->tableCellInterface()->rowIndex() == 3
                && board->child(74)->tableCellInterface()->columnIndex() == 14);
    EXPECT_EQ(board->child(45)->tableCellInterface()->rowHeaderCells().value(0)->text(QAccessible::Name), "G");

    EXPECT_EQ(board->child(74)->text(QAccessible::Name), "O 75");   // the last number has its reading too

    AnswerWith(Qt::Key_Escape);   // F8 asks first: a stray key does not claim
    Key(Qt::Key_F8);
    backToMain();
    EXPECT_EQ(c.hub.isVisible(QStringLiteral("button4"))
                  ? qobject_cast<QAbstractButton*>(c.w(QStringLiteral("button4")))->text()
                  : "",
              "Bingo!");
    c.bed.step();   // 61
    AnswerWith(Qt::Key_Y);
    Key(Qt::Key_F8);
    backToMain();
    EXPECT_EQ(qobject_cast<QAbstractButton*>(c.w(QStringLiteral("button4")))->text(), "Winner!");
    EXPECT_EQ(said(), "T1305");

    c.bed.step();   // the draw is over: the winners are asked for and shown
    ASSERT_TRUE(c.sent("PQZ!GS100001##"));
    c.bed.line(Link::Request, "PQZ!LOGINOK$125.00%1$2 ,Lucky,Bob %2$3Well played%3");
    ASSERT_TRUE(c.winners.isVisible());
    EXPECT_EQ(said(), "T1813 Lucky, Bob. T1814 $25.00");
    Key(Qt::Key_Escape);
    EXPECT_FALSE(c.winners.isVisible());
    Key(Qt::Key_F10);   // the menus open from the keyboard too
    EXPECT_TRUE(qobject_cast<QMenu*>(QApplication::activePopupWidget()));
    Key(Qt::Key_Escape);
}

// A hall that formats its winners' names and note, or points them at pictures on this
// machine: they are shown as the characters it sent, and no file outside the program
// folder is opened for them.
TEST(Windows, WinnersAndTheirNoteFromTheHallAreShownAsSentAndOpenNoFile)
{
    QTemporaryDir outside;
    const QString evil = outside.filePath(QStringLiteral("evil.gif"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(BINGO_APP_DIR "/bingo.gif"), evil));
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, QFile::encodeName(outside.path()).constData(), IN_OPEN | IN_ACCESS), 0);

    Client c;
    const QByteArray img = "<img src='" + QFile::encodeName(evil) + "'>";
    const QByteArray names = "<b>Ann</b>,<img src='/etc/passwd'>," + img + ",<a href='x'>Bo</a>,&amp;Cy";
    c.server.reply = [&](const QByteArray& line) {
        return line.startsWith("PQZ!GS") ? "PQZ!LOGINOK$1<u>9.99</u>%1$2" + names + "%2$3<i>Well done</i> " + img + "%3"
                                         : QByteArray();
    };
    c.form.findChild<QAction*>(QStringLiteral("ShowLastGamesWinners1"))->trigger();
    ASSERT_TRUE(WaitFor([&] { return c.winners.isVisible(); }));
    c.winners.grab();   // drawn once, as a player would see it

    const auto label = [&](const char* name) { return qobject_cast<QLabel*>(c.w(QLatin1String(name))); };
    const QStringList sent = QString::fromLatin1(names).split(QLatin1Char(','));
    const char* const labels[] = {"Twinners.wc1", "Twinners.WC2", "Twinners.WC3", "Twinners.WC4"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(label(labels[i])->text(), sent[i]);
        EXPECT_EQ(label(labels[i])->textFormat(), Qt::PlainText);
    }
    EXPECT_EQ(label("Twinners.payout")->text(), "$<u>9.99</u>");
    EXPECT_EQ(label("Twinners.memo2")->text(), "<i>Well done</i> " + QString::fromLatin1(img));
    for (const char* name : {"Twinners.payout", "Twinners.memo2"})
        EXPECT_EQ(label(name)->textFormat(), Qt::PlainText);
    auto* list = qobject_cast<QListWidget*>(c.w(QStringLiteral("Twinners.ListBox1")));
    ASSERT_TRUE(list && list->count() == 5 && !list->isHidden());   // the list shows past four names
    EXPECT_EQ(list->item(4)->text(), "&amp;Cy");
    Spin(50);
    char events[4096];
    EXPECT_LT(read(watch, events, sizeof events), 0) << "a file beside evil.gif was opened";
    close(watch);
}

// The Play Limits window sets what the player types, says when a looser limit holds and what it
// cannot read; auto-buy starts beside Buy and shows in the status band with its Cancel.
TEST(Windows, ThePlayLimitsWindowAndAutoBuyWorkFromTheScreen)
{
    Client c;
    c.form.findChild<QAction*>(QStringLiteral("PlayLimits1"))->trigger();
    ASSERT_TRUE(c.limits.isVisible());
    auto* on = c.limits.findChild<QCheckBox*>(QStringLiteral("DailySpendOn"));
    auto* amount = c.limits.findChild<QLineEdit*>(QStringLiteral("DailySpendAmount"));
    auto* waiting = c.limits.findChild<QLabel*>(QStringLiteral("DailySpendWaiting"));
    auto* message = c.limits.findChild<QLabel*>(QStringLiteral("LimitsMessage"));
    auto* reality = c.limits.findChild<QComboBox*>(QStringLiteral("RealityCheck"));
    auto* save = c.limits.findChild<QPushButton*>(QStringLiteral("LimitsSave"));
    ASSERT_TRUE(on && amount && waiting && message && reality && save);
    EXPECT_FALSE(on->isChecked() || amount->isEnabled());
    on->setChecked(true);
    amount->setText(QStringLiteral("20.00"));
    reality->setCurrentIndex(2);
    save->click();
    PlayLimits& limits = c.core->limits();
    EXPECT_EQ(limits.limit(LimitKind::DailySpend).amount, Money::fromCents(2000));
    EXPECT_EQ(limits.realityMinutes(), 30);
    EXPECT_TRUE(waiting->isHidden());
    amount->setText(QStringLiteral("30.00"));
    save->click();
    EXPECT_EQ(limits.limit(LimitKind::DailySpend).amount, Money::fromCents(2000));
    EXPECT_TRUE(waiting->isVisibleTo(&c.limits) && waiting->text().startsWith(QLatin1String("Raised to 30.00 from ")));
    EXPECT_EQ(amount->text(), "20.00");   // the amount in force, with the raise said below it
    amount->setText(QStringLiteral("lots"));
    save->click();
    EXPECT_EQ(message->text(), "\"lots\" is not an amount. Write it like 20.00.");
    EXPECT_EQ(limits.limit(LimitKind::DailySpend).next, Money::fromCents(3000));
    c.limits.hide();

    // Auto-buy beside Buy, once a card is shown.
    c.bed.signIn();
    c.bed.openSales();
    EXPECT_FALSE(c.w(QStringLiteral("AutoBuy"))->isVisible());
    c.core->shop().chooseFaces(1);
    c.bed.line(Link::Request, "PQZ!CARDRG1$A1%A$B" + CoreTestbed::numbers(1) + "%B");
    ASSERT_TRUE(c.w(QStringLiteral("AutoBuy"))->isVisible());
    qobject_cast<QSpinBox*>(c.w(QStringLiteral("AutoBuyGames")))->setValue(3);
    c.click(QStringLiteral("AutoBuy"));
    EXPECT_TRUE(WaitFor([&] {
        return std::any_of(c.server.received.begin(), c.server.received.end(),
                           [](const QByteArray& l) { return l.startsWith("PQZ!B7"); });
    }));
    EXPECT_TRUE(c.w(QStringLiteral("AutoBuyPanel"))->isVisible());
    EXPECT_EQ(qobject_cast<QLabel*>(c.w(QStringLiteral("AutoBuyLabel")))->text(), "Auto-buy: game 1 of 3");
    c.click(QStringLiteral("AutoBuyCancel"));
    EXPECT_FALSE(c.w(QStringLiteral("AutoBuyPanel"))->isVisible() || c.core->shop().autoBuying());
}
