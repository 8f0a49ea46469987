// The window classes against a real game core: face and board drawing to the pixel,
// the card layout thresholds, name resolution and commands reaching the core.
#include "coretestbed.h"
#include "session/gamecore.h"
#include "windows/boardwidget.h"
#include "windows/cardwidgets.h"
#include "windows/dialogs.h"
#include "windows/mainwindow.h"
#include "windows/viewhub.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

bool Dark(QRgb p) { return qGray(p) < 110; }
bool Yellow(QRgb p) { return qRed(p) > 150 && qGreen(p) > 150 && qBlue(p) < 90; }
bool Greyish(QRgb p) { return qAbs(qRed(p) - qGreen(p)) < 12 && qAbs(qGreen(p) - qBlue(p)) < 12 && qRed(p) > 40; }

// First column in [x0, x1) that holds a pixel passing `test` within rows [y0, y1); -1 if none.
template <class Test>
int LeftmostInk(const QImage& img, int x0, int x1, int y0, int y1, Test test)
{
    for (int x = x0; x < x1; ++x)
        for (int y = y0; y < y1; ++y)
            if (test(img.pixel(x, y)))
                return x;
    return -1;
}

template <class Test>
int TopmostInk(const QImage& img, int x0, int x1, int y0, int y1, Test test)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (test(img.pixel(x, y)))
                return y;
    return -1;
}

QImage DrawCells(const BingoCard& card, int face, bool gameRunning)
{
    QImage img(124, 124, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    for (int c = 0; c < 5; ++c)
        for (int r = 0; r < 5; ++r)
            DrawFace(p, card, face, c, r, gameRunning);
    return img;
}

// A real main window, view hub and core over a temporary program folder.
struct Client {
    QTemporaryDir dir;
    ManualClock clock;
    RecordingPlayer player;
    TForm1 form;
    std::unique_ptr<ViewHub> hub;
    std::unique_ptr<GameCore> core;

    Client()
    {
        CoreConfig config;
        config.folder = dir.path();
        config.languageFolder = dir.path();
        config.requestPort = 1;
        config.gameFeedPort = 1;
        config.salesFeedPort = 1;
        hub = std::make_unique<ViewHub>(&form);
        hub->setSilent(true);
        core = std::make_unique<GameCore>(config, hub.get(), &clock, &player);
        form.attach(core.get(), hub.get());
        core->FormCreate();
        form.show();
    }
    QWidget* w(const char* name) { return qobject_cast<QWidget*>(hub->resolve(QLatin1String(name))); }
    bool shown(const char* name) { return hub->isVisible(QLatin1String(name)); }
};

} // namespace

// ---------------------------------------------------------------- faces

TEST(FaceDrawing, NumbersSitAtTheirColumnsInsideTheCell)
{
    BingoCard card;
    card.Entered = true;
    card.Numbers[1][0][0] = QStringLiteral("7");
    card.Numbers[1][1][0] = QStringLiteral("17");
    card.Numbers[1][3][4] = QStringLiteral("64");
    const QImage img = DrawCells(card, 1, false);

    // One digit 7 px from the cell's left edge, two digits at TextLeft (3).
    EXPECT_EQ(LeftmostInk(img, 0, 24, 0, 24, Dark), 7);
    EXPECT_EQ(LeftmostInk(img, 25, 49, 0, 24, Dark), 25 + 3);
    // Cell (3,4) starts at ((24+1)*3, (24+1)*4).
    EXPECT_EQ(LeftmostInk(img, 75, 99, 100, 124, Dark), 75 + 3);
    // The text box's top is TextTop below the cell's top: no ink above it, ink inside the cell.
    const int top = TopmostInk(img, 0, 24, 0, 24, Dark);
    EXPECT_GE(top, 3);
    EXPECT_LT(top, 12);
    EXPECT_EQ(TopmostInk(img, 0, 124, 24, 25, Dark), -1) << "nothing drawn on the grid line";
}

TEST(FaceDrawing, FreeSquareCarriesSelectionCodeOnFaceOneOnly)
{
    BingoCard card;
    card.Entered = true;
    card.SelectionCode = QStringLiteral("AB12");
    const QImage face1 = DrawCells(card, 1, false);
    const QImage face2 = DrawCells(card, 2, false);
    // Free square: cell (2,2) at x 50..73; "Free" top 52 on face 1, 54 on the others.
    const int freeTop1 = TopmostInk(face1, 50, 74, 48, 74, Dark);
    const int freeTop2 = TopmostInk(face2, 50, 74, 48, 74, Dark);
    EXPECT_GE(freeTop1, 52);
    EXPECT_GE(freeTop2, 54);
    EXPECT_GT(freeTop2, freeTop1);
    EXPECT_EQ(LeftmostInk(face1, 50, 74, 50, 62, Dark), 53);
    // Face 1 has a second line (the selection code) from top 63; face 2 none.
    EXPECT_NE(TopmostInk(face1, 50, 74, 65, 74, Dark), -1);
    EXPECT_EQ(TopmostInk(face2, 50, 74, 67, 74, Dark), -1);
}

TEST(FaceDrawing, InkColourFollowsEntryAndGame)
{
    BingoCard card;
    card.Numbers[1][0][0] = QStringLiteral("12");
    auto darkest = [](const QImage& img) {
        int best = 255;
        QRgb colour = 0;
        for (int x = 0; x < 24; ++x)
            for (int y = 0; y < 24; ++y)
                if (qGray(img.pixel(x, y)) < best) {
                    best = qGray(img.pixel(x, y));
                    colour = img.pixel(x, y);
                }
        return colour;
    };
    EXPECT_EQ(QColor(darkest(DrawCells(card, 1, false))), QColor(128, 128, 128));
    EXPECT_EQ(QColor(darkest(DrawCells(card, 1, true))), QColor(192, 192, 192));
    card.Entered = true;
    EXPECT_EQ(QColor(darkest(DrawCells(card, 1, true))), QColor(0, 0, 0));
}

TEST(FaceDrawing, DaubIsAnEllipseOfTheCellColourInsideTheCell)
{
    BingoCard card;
    card.CellColour[1][3][1] = kBlue;
    card.CellColour[1][4][4] = kAqua;
    const QImage img = DrawCells(card, 1, false);
    const int x0 = 75, y0 = 25;
    EXPECT_EQ(QColor(img.pixel(x0 + 12, y0 + 12)), QColor(0, 0, 255));
    EXPECT_EQ(QColor(img.pixel(100 + 12, 100 + 12)), QColor(0, 255, 255));
    // The corners stay white; the outline is silver-grey, not the fill.
    EXPECT_EQ(QColor(img.pixel(x0, y0)), QColor(Qt::white));
    EXPECT_EQ(QColor(img.pixel(x0 + 23, y0 + 23)), QColor(Qt::white));
    const QRgb edge = img.pixel(x0 + 1, y0 + 12);
    EXPECT_TRUE(Greyish(edge) || qBlue(edge) < 255) << std::hex << edge;
    EXPECT_NE(QColor(edge), QColor(0, 0, 255));
    // Nothing spills to the neighbouring cell.
    EXPECT_EQ(QColor(img.pixel(x0 + 24, y0 + 12)), QColor(Qt::white));
}

// ---------------------------------------------------------------- board

TEST(BoardDrawing, NumbersAtTheirPlacesCalledOnesYellow)
{
    CoreTestbed bed;
    GameCore& core = bed.c();
    core.Cards[1].SetCalled(0, 15, 1);
    QImage img(259, 84, QImage::Format_RGB32);
    {
        QPainter p(&img);
        DrawBoard(p, core, img.size());
    }
    auto lit = [](QRgb p) { return qGray(p) > 60; };
    // 15: row 0, column 15, x 242, y 2, called so bold yellow.
    EXPECT_EQ(LeftmostInk(img, 240, 259, 0, 17, lit), 242);
    EXPECT_GE(TopmostInk(img, 240, 259, 0, 17, lit), 2);
    EXPECT_NE(LeftmostInk(img, 240, 259, 0, 17, Yellow), -1);
    // 16: row 1, column 1, x 18, y 19, not called so grey.
    EXPECT_EQ(LeftmostInk(img, 16, 32, 17, 34, lit), 18);
    EXPECT_GE(TopmostInk(img, 16, 32, 17, 34, lit), 19);
    EXPECT_EQ(LeftmostInk(img, 16, 32, 17, 34, Yellow), -1);
    EXPECT_NE(LeftmostInk(img, 16, 32, 17, 34, Greyish), -1);
    // Letters in red: B at x 2, I at x 4.
    auto red = [](QRgb p) { return qRed(p) > 120 && qGreen(p) < 60; };
    EXPECT_EQ(LeftmostInk(img, 0, 16, 0, 17, red), 2);
    EXPECT_EQ(LeftmostInk(img, 0, 16, 17, 34, red), 4);
}

// ---------------------------------------------------------------- main window with the core

TEST(MainWindow, NamesResolveToWidgetsActionsAndWindows)
{
    Client c;
    EXPECT_TRUE(qobject_cast<QLabel*>(c.hub->resolve(QStringLiteral("status"))));
    EXPECT_TRUE(qobject_cast<QAction*>(c.hub->resolve(QStringLiteral("Autodauber"))));
    EXPECT_EQ(c.hub->resolve(QStringLiteral("TForm1")), &c.form);
    EXPECT_EQ(c.hub->resolve(QStringLiteral("no-such-control")), nullptr);
    c.hub->setText(QStringLiteral("no-such-control"), QStringLiteral("x"));   // quietly ignored
    // Card children by "CardN.child"; the core set the ticket texts at creation.
    auto* ticket = qobject_cast<QLabel*>(c.hub->resolve(QStringLiteral("Card3.ticketid")));
    ASSERT_TRUE(ticket);
    EXPECT_TRUE(ticket->text().endsWith(QLatin1String("3")));
    // Every design name the core addresses on the main window exists.
    for (const char* name : {"Panel8", "Panel6", "TopPanel", "adspace1", "Panel11", "board", "recent", "rec5", "anigrid2",
                             "Label3", "lplayers", "Jackpot", "CallField", "f_credits", "AdSpace2", "BingoGIF", "Panel7",
                             "Ani2Panel", "machineimage", "ballpanel", "Image10", "Image10a", "Label5", "Label8", "Panel13",
                             "Panel18", "SidePanel", "button4", "cardid1", "dpresent", "adpresent", "LeftCard", "CardLabel",
                             "RightCard", "s1text", "s4image", "anigrid1", "tbimage", "tbtext", "PlayPanel", "MultiPanel",
                             "GameBackground", "GridPanel1", "Panel10", "BingoBackground", "Image7", "GridBackground",
                             "Card10", "Splitter2", "cpanel", "ListBox1", "mtext", "Panel25", "Panel16", "BottomPanel",
                             "Label9", "ProgressBar1", "Connect1", "ConnecttoGame1", "si1", "About2", "ChatRoom6"})
        EXPECT_TRUE(c.hub->resolve(QLatin1String(name))) << name;
    // Start-up state reached the screen: auto daub off, teal buttons, progress clamped to 0..91.
    EXPECT_FALSE(qobject_cast<QAction*>(c.hub->resolve(QStringLiteral("Autodauber")))->isChecked());
    EXPECT_EQ(qobject_cast<RoundButton*>(c.w("tbimage"))->faceColor(), QColor(0, 128, 128));
    c.hub->setProgress(QStringLiteral("ProgressBar1"), 500);
    EXPECT_EQ(qobject_cast<QProgressBar*>(c.w("ProgressBar1"))->value(), 91);
    c.core->SetAutoDaub(kAqua);
    EXPECT_TRUE(qobject_cast<QAction*>(c.hub->resolve(QStringLiteral("Autodauber")))->isChecked());
}

TEST(MainWindow, SecondaryWindowTextsWaitForTheirWindow)
{
    Client c;
    // ApplyLanguage ran before the login dialog existed; its texts arrive on registration.
    c.hub->setText(QStringLiteral("Tlogindialog.Label1"), QStringLiteral("Player:"));
    Tlogindialog login(c.core.get());
    c.hub->addWindow(QStringLiteral("Tlogindialog"), &login);
    EXPECT_EQ(login.findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("Player:"));
    EXPECT_EQ(login.windowTitle(), QStringLiteral("-"));   // id 200 with no language file
    // Shown, the dialog is filled from the settings by the core.
    c.core->Settings.UserName = QStringLiteral("demo");
    login.show();
    EXPECT_EQ(login.findChild<QLineEdit*>(QStringLiteral("Edit1"))->text(), QStringLiteral("demo"));
    c.hub->setText(QStringLiteral("Twinners.payout"), QStringLiteral("$5"));
    Twinners winners(&c.form);
    c.hub->addWindow(QStringLiteral("Twinners"), &winners);
    EXPECT_EQ(winners.findChild<QLabel*>(QStringLiteral("payout"))->text(), QStringLiteral("$5"));
}

TEST(MainWindow, LayoutColumnsFollowTheMultiPanelWidth)
{
    Client c;
    GameCore& core = *c.core;
    core.Cards[1].CellWidth = 10;   // grid 360 wide: one column up to 180, two to 300, three above
    core.GameRunning = 1;
    core.CurrentCard = 1;
    c.hub->setGeometry(QStringLiteral("PlayPanel"), 92, 0, 700, 300);   // too low for a second row
    struct { int width; bool second; bool third; } cases[] = {{180, false, false}, {181, true, false}, {300, true, false}, {301, true, true}};
    for (const auto& t : cases) {
        for (int k = 1; k <= 10; ++k)
            c.hub->setVisible(QStringLiteral("Card") + QString::number(k), false);
        c.hub->setGeometry(QStringLiteral("MultiPanel"), 0, 0, t.width, 300);
        core.LayoutMainWindow();
        EXPECT_TRUE(c.shown("Card1")) << t.width;
        EXPECT_EQ(c.shown("Card2"), t.second) << t.width;
        EXPECT_EQ(c.shown("Card3"), t.third) << t.width;
        EXPECT_FALSE(c.shown("Card4")) << t.width;
        if (t.second) {
            EXPECT_EQ(c.w("Card2")->pos(), QPoint(120, 25));
        }
        if (t.third) {
            EXPECT_EQ(c.w("Card3")->pos(), QPoint(237, 25));
        }
    }
    EXPECT_EQ(c.w("GridPanel1")->width(), 60 * 6);
}

TEST(MainWindow, CurrentCardSixBeepsAndResizeReturnsToCardOne)
{
    Client c;
    GameCore& core = *c.core;
    core.GameRunning = 1;
    core.CurrentCard = 6;
    c.hub->setVisible(QStringLiteral("Card2"), true);
    const int before = c.hub->beepCount();
    core.LayoutMainWindow();
    EXPECT_EQ(c.hub->beepCount(), before + 1);
    EXPECT_TRUE(c.shown("Card6"));
    EXPECT_TRUE(c.shown("Card2")) << "no card is hidden after the beep";

    core.GameRunning = 0;
    ASSERT_TRUE(core.CardsReady);
    c.form.resize(c.form.width() + 40, c.form.height() + 30);
    ASSERT_TRUE(QTest::qWaitFor([&] { return core.CurrentCard == 1; }, 2000));
    EXPECT_EQ(qobject_cast<QLabel*>(c.w("CardLabel"))->text(), QStringLiteral("1"));
    EXPECT_TRUE(c.shown("Card1"));
    EXPECT_FALSE(c.shown("Card6"));
    EXPECT_FALSE(c.shown("LeftCard"));
    EXPECT_TRUE(c.shown("RightCard"));
}

TEST(MainWindow, ButtonsAndFacesReachTheCore)
{
    Client c;
    GameCore& core = *c.core;
    c.hub->setVisible(QStringLiteral("Panel18"), true);
    c.hub->setVisible(QStringLiteral("s1image"), true);
    QTest::mouseClick(c.w("s1image"), Qt::LeftButton);
    EXPECT_EQ(core.PendingRequest, 7);

    // A press on an entered card's face daubs the called number under the mouse.
    BingoCard& card = core.Cards[1];
    card.Numbers[1][1][3] = QStringLiteral("19");
    card.Entered = true;
    card.SetCalled(1, 4, 1);
    CardPanel1* panel = c.form.cardPanel(1);
    QTest::mousePress(panel->card()->faceWidget(1), Qt::LeftButton, {}, QPoint(25 + 5, 75 + 5));
    EXPECT_EQ(card.CellColour[1][1][3], card.DaubColour);
    EXPECT_EQ(card.Marked[1][1][3], 1);
    // A press on a number not called, and one on a grid line, change nothing.
    card.Numbers[1][0][0] = QStringLiteral("2");
    QTest::mousePress(panel->card()->faceWidget(1), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(card.CellColour[1][0][0], kWhite);
    EXPECT_EQ(card.Marked[1][0][0], 0);
    card.SetCalled(0, 2, 1);
    card.Marked[1][0][0] = 0;
    card.CellColour[1][0][0] = kWhite;
    QTest::mousePress(panel->card()->faceWidget(1), Qt::LeftButton, {}, QPoint(24, 5));
    EXPECT_EQ(card.CellColour[1][0][0], kWhite);

    // The drawn face shows the daub at that cell's origin, grid lines between cells.
    const QImage face = panel->card()->faceWidget(1)->grab().toImage();
    EXPECT_EQ(QColor(face.pixel(25 + 12, 75 + 19)), QColor(0, 0, 255));   // below the digits
    EXPECT_NE(QColor(face.pixel(24, 10)), QColor(Qt::white));
    EXPECT_EQ(QColor(face.pixel(25, 10)), QColor(Qt::white));

    // Paging by the card's own ">>" button.
    core.RequestBusy = 0;
    panel->show();
    QTest::mouseClick(panel->findChild<QWidget*>(QStringLiteral("rightbutton")), Qt::LeftButton);
    EXPECT_EQ(core.CurrentCard, 2);
}

namespace {

TEST(MainWindow, MenuCommandsReachTheCore)
{
    Client c;
    GameCore& core = *c.core;
    auto trigger = [&](const char* name) {
        auto* action = c.form.findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        action->trigger();
    };
    trigger("Small1");
    EXPECT_EQ(core.Cards[1].NumberFontSize, 10);
    trigger("Large1");
    EXPECT_EQ(core.Cards[1].NumberFontSize, 12);
    const bool autoDaub = core.Cards[1].AutoDaubOn;
    trigger("Autodauber");
    EXPECT_NE(core.Cards[1].AutoDaubOn, autoDaub);
    trigger("BingoMarker1");
    EXPECT_TRUE(core.DauberCursor);
    trigger("Shape6");
    EXPECT_FALSE(core.DauberCursor);
    trigger("OFF1");
    EXPECT_EQ(core.Settings.SoundOn, QStringLiteral("FALSE"));
    EXPECT_EQ(core.CallSpacing, 10);
}

}   // namespace
