#include "windows/mainwindow.h"

#include "calls/setcatalogue.h"
#include "calls/soundqueue.h"
#include "cards/cardshop.h"
#include "cards/playtable.h"
#include "chat/chatsession.h"
#include "game/gamecore.h"
#include "limits/playlimits.h"
#include "session/signin.h"
#include "shell/programupdate.h"
#include "windows/accessibility.h"
#include "windows/boardwidget.h"
#include "windows/cardwidgets.h"
#include "windows/viewhub.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QTimer>
#include <cmath>

namespace {
// The dark theme between the skin tiles.
const QColor kInk(0xee, 0xf0, 0xf6);
const QColor kDim(0xa9, 0xb8, 0xd6);
const QColor kGold(0xff, 0xd2, 0x4a);
const QColor kNight(0x10, 0x16, 0x24);

template <class W>
W* Named(W* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, const QColor& colour, int points, bool bold,
                  Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* l = Named(new QLabel(text, parent), name);
    QFont f = l->font();
    f.setFamily(QStringLiteral("Arial"));
    f.setPixelSize(qMax(1, (points * 96 + 36) / 72));
    f.setBold(bold);
    l->setFont(f);
    QPalette p = l->palette();
    p.setColor(QPalette::WindowText, colour);
    l->setPalette(p);
    l->setAlignment(align);
    return l;
}

// A translucent rounded plate that keeps texts readable on any skin.
void Plate(QPainter& p, const QRect& r, int alpha = 170)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 60), 1));
    p.setBrush(QColor(8, 12, 24, alpha));
    p.drawRoundedRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5), 7, 7);
}

RoundButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int points)
{
    auto* b = Named(new RoundButton(caption, parent), name);
    QFont f = b->font();
    f.setFamily(QStringLiteral("Arial"));
    f.setPixelSize((points * 96 + 36) / 72);
    f.setBold(true);
    b->setFont(f);
    b->setFaceColor(QColor(0, 128, 128));
    return b;
}
}

// ---------------------------------------------------------------- MainWindow

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent)
{
    InstallScreenReaderSupport();
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(QStringLiteral("Vexo Bingo Client for Windows 95/NT"));
    resize(808, 609);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, kNight);
    pal.setColor(QPalette::WindowText, kInk);
    pal.setColor(QPalette::Base, QColor(0x18, 0x20, 0x34));
    pal.setColor(QPalette::Text, kInk);
    pal.setColor(QPalette::Button, QColor(0x24, 0x30, 0x4c));
    pal.setColor(QPalette::ButtonText, kInk);
    pal.setColor(QPalette::Highlight, QColor(0x2f, 0x6f, 0xd0));
    setPalette(pal);

    buildMenus();

    auto* panel8 = new Pane(QStringLiteral("Panel8"), this);
    setCentralWidget(panel8);
    auto* panel6 = new Pane(QStringLiteral("Panel6"), panel8);
    auto* panel13 = new Pane(QStringLiteral("Panel13"), panel8);
    auto* panel16 = new Pane(QStringLiteral("Panel16"), panel8);
    panel8->onResize = [=](const QSize& s) {
        panel6->setGeometry(0, 0, s.width(), 100);
        panel16->setGeometry(0, s.height() - 29, s.width(), 29);
        panel13->setGeometry(0, 100, s.width(), qMax(0, s.height() - 129));
    };
    buildTopBand(panel6);
    buildBottomBand(panel16);

    auto* twoCards = new Pane(QStringLiteral("Panel4twocards"), panel13);
    twoCards->setAutoFillBackground(true);
    auto* side = new Pane(QStringLiteral("Panel18"), twoCards);
    auto* play = new Pane(QStringLiteral("PlayPanel"), twoCards);
    panel13->onResize = [=](const QSize& s) { twoCards->setGeometry(0, 0, s.width(), s.height()); };
    twoCards->onResize = [=](const QSize& s) {
        side->setGeometry(0, 0, 92, s.height());
        play->setGeometry(92, 0, qMax(0, s.width() - 92), s.height());
    };
    buildSidePanel(side);
    buildPlayPanel(play);

    memo_ = Named(new QPlainTextEdit(panel8), "Memo1");
    memo_->setReadOnly(true);
    memo_->setGeometry(100, 120, 400, 200);
    memo_->hide();
    buildKeys();
}

void MainWindow::buildKeys()
{
    const auto key = [this](const QKeySequence& sequence, std::function<void()> action) {
        connect(new QShortcut(sequence, this), &QShortcut::activated, this, std::move(action));
    };
    // A key does what a control does only while the control is there to be used.
    const auto usable = [this](const char* name) {
        auto* w = findChild<QWidget*>(QLatin1String(name));
        return w && w->isVisible() && w->isEnabled() ? w : nullptr;
    };
    const auto press = [usable](const char* name) {
        if (auto* button = qobject_cast<QAbstractButton*>(usable(name)))
            button->click();
    };
    key(Qt::Key_PageUp, [this] { if (core_) core_->table().LeftCardClick(); });   // a beep at either end
    key(Qt::Key_PageDown, [this] { if (core_) core_->table().RightCardClick(); });
    static const char* faceButtons[4] = {"s1image", "s2image", "s3image", "s4image"};
    for (int k = 0; k < 4; ++k)
        key(QKeySequence(Qt::Key_1 + k), [press, k] { press(faceButtons[k]); });
    key(QKeySequence(Qt::CTRL | Qt::Key_B), [press] { press("tbimage"); });
    key(Qt::Key_F8, [this, usable] { if (core_ && usable("button4")) core_->table().ClaimByKey(); });
    key(Qt::Key_F6, [usable] { if (QWidget* input = usable("mtext")) input->setFocus(Qt::ShortcutFocusReason); });
    key(Qt::Key_F10, [this] { menuBar()->setActiveAction(menuBar()->actions().value(0)); });
    key(Qt::Key_Escape, [this] { if (hub_) hub_->hideWindow(QStringLiteral("Twinners")); });

    // Choosing and buying a card, claiming, the daubers, the cards face by face, then the chat.
    QList<QWidget*> order;
    for (const char* name : {"s1image", "s2image", "s3image", "s4image", "tbimage", "button4", "dpresent", "adpresent"})
        order << findChild<QWidget*>(QLatin1String(name));
    for (CardPanel* panel : cards_)
        for (int face = 1; face <= 4; ++face)
            order << panel->card()->faceWidget(face);
    for (const char* name : {"mtext", "mChat", "ListBox1"})
        order << findChild<QWidget*>(QLatin1String(name));
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}

MainWindow::~MainWindow() = default;

CardPanel* MainWindow::cardPanel(int card) const
{
    return card >= 1 && card <= 10 ? cards_[card - 1] : nullptr;
}

void MainWindow::attach(GameCore* core, ViewHub* hub)
{
    core_ = core;
    hub_ = hub;
    board_->setCore(core);
    for (CardPanel* c : cards_)
        c->card()->setCore(core);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    if (core_)
        core_->table().FormResize(tableRoom());
}

TableRoom MainWindow::tableRoom() const
{
    const auto size = [this](const char* name) {
        const QWidget* w = findChild<QWidget*>(QLatin1String(name));
        return w ? w->size() : QSize();
    };
    return CardRoom(size("MultiPanel").width(), size("PlayPanel").height());
}

void MainWindow::widenCardTable()
{
    if (auto* grid = findChild<QWidget*>(QStringLiteral("GridPanel1")))
        grid->setGeometry(0, 0, CardTableWidth(), grid->height());
}

void MainWindow::dockChat(bool shown)
{
    auto* play = findChild<Pane*>(QStringLiteral("PlayPanel"));
    auto* multi = findChild<QWidget*>(QStringLiteral("MultiPanel"));
    if (!play || !multi)
        return;
    // The play area's own layout leaves the chat at least 100 pixels beside the splitter.
    const int width = shown ? kChatDockWidth : play->width();
    multi->setGeometry(0, 0, width, multi->height());
    for (const char* name : {"Splitter2", "cpanel"})
        if (auto* w = findChild<QWidget*>(QLatin1String(name)))
            w->setVisible(shown);
    layOutPlayArea();
}

void MainWindow::layOutPlayArea()
{
    if (auto* play = findChild<Pane*>(QStringLiteral("PlayPanel")); play && play->onResize)
        play->onResize(play->size());
    if (auto* members = findChild<QListWidget*>(QStringLiteral("ListBox1"))) {
        // The member list shows a column for every 80 pixels of its width.
        const int n = qMax(1, int(std::lround(members->width() / 80.0)));
        members->setFlow(QListView::TopToBottom);
        members->setWrapping(n > 1);
        members->setGridSize(n > 1 ? QSize(qMax(1, members->viewport()->width() / n), 18) : QSize());
    }
    if (core_)
        core_->table().RoomChanged(tableRoom());
}

void MainWindow::showWindow(const QString& name)
{
    if (hub_)
        hub_->showWindow(name);
}

void MainWindow::buildTopBand(QWidget* band)
{
    auto* top = Named(new TiledImage(band), "TopPanel");
    static_cast<Pane*>(band)->onResize = [top](const QSize& s) { top->setGeometry(0, 0, s.width(), s.height()); };

    auto* ad1 = new ClickPicture(QStringLiteral("adspace1"), band);   // a double-click opens the web site
    ad1->setGeometry(16, 6, 190, 85);
    ad1->hide();
    connect(ad1, &ClickPicture::doubleClicked, this, [this] { if (core_) core_->signIn().adspace1DblClick(); });

    // Next game's pattern, with its caption on a plate.
    auto* patternPlate = new Pane(QStringLiteral("PatternPlate"), band);
    patternPlate->setGeometry(212, 2, 86, 94);
    patternPlate->onPaint = [](QPainter& p, const QRect& r) { Plate(p, r); };
    auto* anigrid2 = Named(new PictureBox(patternPlate), "anigrid2");
    anigrid2->setGeometry(13, 6, 60, 60);
    auto* label3 = MakeLabel(patternPlate, "Label3", QStringLiteral("Next Game Pattern"), kDim, 7, true, Qt::AlignCenter);
    label3->setWordWrap(true);
    label3->setGeometry(2, 66, 82, 26);

    // The game figures.
    auto* figures = new Pane(QStringLiteral("FiguresPlate"), band);
    figures->setGeometry(308, 2, 124, 94);
    figures->onPaint = [](QPainter& p, const QRect& r) {
        Plate(p, r, 190);
        p.setPen(QColor(255, 255, 255, 28));
        // Rules through the middle of their pixel row, so a doubled screen fills two whole rows.
        for (int k = 1; k < 4; ++k)
            p.drawLine(QLineF(8.5, 3.5 + 22 * k, r.width() - 7.5, 3.5 + 22 * k));
    };
    const struct { const char* caption; const char* value; const char* text; } rows[] = {
        {"pllls", "lplayers", "Players"}, {"label4", "Jackpot", "Jackpot"},
        {"calllabel", "CallField", "Time"}, {"Label7", "f_credits", "Balance"},
    };
    for (int k = 0; k < 4; ++k) {
        auto* c = MakeLabel(figures, rows[k].caption, QLatin1String(rows[k].text), kDim, 7, true);
        c->setGeometry(7, 4 + 22 * k, 54, 22);
        auto* v = MakeLabel(figures, rows[k].value, QString(), kGold, 10, true, Qt::AlignRight | Qt::AlignVCenter);
        v->setGeometry(50, 4 + 22 * k, 68, 22);
    }

    // The board and the recent calls, over the ad space during a game.
    auto* panel11 = new Pane(QStringLiteral("Panel11"), band);
    panel11->setGeometry(4, 3, 302, 94);
    panel11->setAutoFillBackground(true);
    QPalette black = panel11->palette();
    black.setColor(QPalette::Window, Qt::black);
    panel11->setPalette(black);
    auto* panel1 = new Pane(QStringLiteral("Panel1"), panel11);
    panel1->setGeometry(2, 5, 259, 84);
    board_ = new BoardWidget(panel1);
    board_->setGeometry(0, 0, 259, 84);
    auto* recent = new Pane(QStringLiteral("recent"), panel11);
    recent->setGeometry(263, 2, 37, 90);
    recent->onPaint = [](QPainter& p, const QRect& r) {
        p.fillRect(r, QColor(0x14, 0x14, 0x20));
        p.setPen(QColor(0x40, 0x40, 0x60));
        p.drawRect(QRectF(r).adjusted(0.5, 0.5, -0.5, -0.5));   // edges of one pixel at any scale
    };
    for (int k = 0; k < 5; ++k) {
        const QByteArray name = "rec" + QByteArray::number(k + 1);
        auto* l = MakeLabel(recent, name.constData(), QString(), k == 0 ? QColor(255, 0, 0) : Qt::white, 10, true,
                            Qt::AlignCenter);
        QFont f = l->font();
        f.setPixelSize(13);
        l->setFont(f);
        l->setGeometry(0, 1 + 18 * k, 37, 18);
    }
    panel11->hide();

    auto* ad2 = Named(new PictureBox(band), "AdSpace2");
    ad2->setGeometry(436, 8, 190, 85);
    ad2->setAlignment(Qt::AlignCenter);
    auto* bingo = Named(new PictureBox(band), "BingoGIF");
    bingo->setGeometry(438, 5, 191, 91);
    bingo->setAlignment(Qt::AlignCenter);
    bingo->hide();

    auto* panel7 = new Pane(QStringLiteral("Panel7"), band);
    panel7->setGeometry(435, 2, 195, 94);
    panel7->onPaint = [](QPainter& p, const QRect& r) { Plate(p, r, 200); };
    auto* ani2 = new Pane(QStringLiteral("Ani2Panel"), panel7);
    ani2->setGeometry(0, 0, 80, 94);
    auto* machine = Named(new PictureBox(ani2), "machineimage");
    machine->setGeometry(0, -4, 85, 93);
    auto* ballpanel = new Pane(QStringLiteral("ballpanel"), panel7);
    ballpanel->setGeometry(80, 3, 115, 88);
    ballpanel->setAutoFillBackground(true);
    ballpanel->setPalette(black);
    auto* image10a = Named(new PictureBox(ballpanel), "Image10a");
    image10a->setGeometry(-10, -4, 127, 100);
    auto* image10 = Named(new PictureBox(ballpanel), "Image10");
    image10->setGeometry(-10, -4, 127, 100);
    image10->hide();
    for (const auto& [name, labelTop] : {std::pair<const char*, int>{"Label5", 22}, {"Label8", 42}}) {
        auto* l = MakeLabel(ballpanel, name, QString(), Qt::black, 16, true, Qt::AlignCenter);
        l->setGeometry(48, labelTop, 55, 29);
        l->setAttribute(Qt::WA_TranslucentBackground);
    }
    ani2->hide();
    ballpanel->hide();
    panel7->hide();
}

void MainWindow::buildSidePanel(QWidget* side)
{
    auto* frame = Named(new TiledImage(side), "SidePanel");
    auto* plate = new Pane(QStringLiteral("SidePlate"), side);
    static_cast<Pane*>(side)->onResize = [frame, plate](const QSize& s) {
        frame->setGeometry(0, 0, s.width(), s.height());
        plate->setGeometry(2, 2, s.width() - 4, qMin(s.height() - 4, 376));
    };
    plate->onPaint = [](QPainter& p, const QRect& r) { Plate(p, r, 150); };

    auto* claim = new ClaimButton(QStringLiteral("Bingo!"), side);
    claim->setObjectName(QStringLiteral("button4"));
    QFont cf = claim->font();
    cf.setFamily(QStringLiteral("Arial"));
    cf.setPixelSize(17);
    cf.setBold(true);
    claim->setFont(cf);
    claim->setGeometry(5, 5, 82, 32);
    claim->hide();
    connect(claim, &QAbstractButton::clicked, this, [this] { if (core_) core_->table().Button4Click(); });
    connect(claim, &ClaimButton::mouseUp, this, [this] { if (core_) core_->table().Button4MouseUp(); });

    auto* cardid = MakeLabel(side, "cardid1", QString::fromLatin1(kNoCardId).left(6), kGold, 7, true, Qt::AlignCenter);
    cardid->setGeometry(2, 39, 88, 14);
    cardid->setToolTip(QStringLiteral("Top Card Identifier"));

    auto* dpresent = new ColourSwatch(QStringLiteral("dpresent"), side);
    dpresent->setGeometry(12, 55, 24, 24);
    auto* adpresent = new ColourSwatch(QStringLiteral("adpresent"), side);
    adpresent->setGeometry(56, 55, 24, 24);
    adpresent->setColour(QColor(0, 255, 255));
    connect(dpresent, &ColourSwatch::pressed, this, [this] { if (core_) core_->table().dpresentMouseDown(); });
    connect(adpresent, &ColourSwatch::pressed, this, [this] { if (core_) core_->table().adpresentMouseDown(); });
    MakeLabel(side, "Label1", QStringLiteral("Dauber"), kDim, 7, true, Qt::AlignCenter)->setGeometry(0, 80, 48, 13);
    MakeLabel(side, "Label6", QStringLiteral("Auto"), kDim, 7, true, Qt::AlignCenter)->setGeometry(44, 80, 48, 13);

    MakeLabel(side, "Label2", QStringLiteral("Select Ticket"), kInk, 8, true, Qt::AlignCenter)->setGeometry(0, 97, 92, 14);
    auto* left = new ClickPicture(QStringLiteral("LeftCard"), side);
    left->setGeometry(6, 113, 24, 24);
    left->hide();
    auto* right = new ClickPicture(QStringLiteral("RightCard"), side);
    right->setGeometry(62, 113, 24, 24);
    right->hide();
    connect(left, &ClickPicture::clicked, this, [this] { if (core_) core_->table().LeftCardClick(); });
    connect(right, &ClickPicture::clicked, this, [this] { if (core_) core_->table().RightCardClick(); });
    MakeLabel(side, "CardLabel", QStringLiteral("1"), kGold, 14, true, Qt::AlignCenter)->setGeometry(30, 111, 32, 28);

    auto* s1text = MakeLabel(side, "s1text", QStringLiteral("Select Number of Cards"), kInk, 7, true, Qt::AlignCenter);
    s1text->setWordWrap(true);
    s1text->setGeometry(2, 141, 88, 26);
    s1text->hide();
    const struct { const char* name; const char* caption; int x; int y; } faces[] = {
        {"s1image", "1", 6, 169}, {"s2image", "2", 48, 169}, {"s3image", "3", 6, 196}, {"s4image", "4", 48, 196},
    };
    for (int i = 0; i < 4; ++i) {
        const auto& f = faces[i];
        auto* b = MakeButton(side, f.name, QLatin1String(f.caption), 11);
        b->setGeometry(f.x, f.y, 38, 24);
        b->hide();
        connect(b, &QAbstractButton::clicked, this, [this, faces = i + 1] { if (core_) core_->shop().chooseFaces(faces); });
    }

    auto* anigrid1 = Named(new PictureBox(side), "anigrid1");
    anigrid1->setGeometry(16, 226, 60, 60);
    anigrid1->hide();

    auto* buy = MakeButton(side, "tbimage", QStringLiteral("Buy"), 11);
    buy->setGeometry(6, 292, 80, 28);
    buy->hide();
    connect(buy, &QAbstractButton::clicked, this, [this] { if (core_) core_->shop().Button3Click(); });
    auto* tbtext = MakeLabel(side, "tbtext", QStringLiteral("Enter Card Into the Game"), kInk, 7, true, Qt::AlignCenter);
    tbtext->setWordWrap(true);
    tbtext->setGeometry(2, 322, 88, 28);
    tbtext->hide();

    // Auto-buy, beside Buy: this card now and one of as many faces at each of the next sales.
    auto* games = Named(new QSpinBox(side), "AutoBuyGames");
    games->setRange(1, 50);
    games->setValue(5);
    games->setGeometry(4, 354, 40, 24);
    games->setAccessibleName(QStringLiteral("Auto-buy games"));
    games->setAccessibleDescription(QStringLiteral("How many games, this one included, auto-buy buys a card for"));
    // The keyboard reaches the box's own line: it tells a reader the same.
    for (QLineEdit* line : games->findChildren<QLineEdit*>()) {
        line->setAccessibleName(games->accessibleName());
        line->setAccessibleDescription(games->accessibleDescription());
    }
    games->hide();
    auto* autoBuy = MakeButton(side, "AutoBuy", QStringLiteral("Auto"), 9);
    autoBuy->setGeometry(48, 354, 40, 24);
    autoBuy->setToolTip(QStringLiteral("Buy this card, then one like it for each of the next games"));
    autoBuy->setAccessibleName(QStringLiteral("Auto-buy"));
    autoBuy->setAccessibleDescription(autoBuy->toolTip());
    autoBuy->hide();
    connect(autoBuy, &QAbstractButton::clicked, this, [this, games] {
        if (core_)
            core_->shop().StartAutoBuy(games->value());
    });
}

void MainWindow::buildPlayPanel(QWidget* play)
{
    auto* multi = new Pane(QStringLiteral("MultiPanel"), play);
    auto* splitter = new Pane(QStringLiteral("Splitter2"), play);
    splitter->hide();
    splitter->setCursor(Qt::SplitHCursor);
    splitter->setToolTip(QStringLiteral("Adjust Chat Window Size"));
    splitter->onPaint = [](QPainter& p, const QRect& r) {
        p.fillRect(r, QColor(0x24, 0x30, 0x4c));
        p.setPen(QColor(255, 255, 255, 90));
        const QPointF middle(r.center().x() + 0.5, r.center().y() + 0.5);
        for (int k = -1; k <= 1; ++k)
            p.drawLine(middle + QPointF(-1, 6 * k), middle + QPointF(1, 6 * k));
    };
    auto* chat = new Pane(QStringLiteral("cpanel"), play);
    chat->hide();
    auto* playPane = static_cast<Pane*>(play);
    playPane->onResize = [multi, splitter, chat](const QSize& s) {
        if (!chat->isVisibleTo(chat->parentWidget())) {
            multi->setGeometry(0, 0, s.width(), s.height());
            return;
        }
        const int w = qMin(multi->width(), qMax(0, s.width() - 107));
        multi->setGeometry(0, 0, w, s.height());
        splitter->setGeometry(w, 0, 7, s.height());
        chat->setGeometry(w + 7, 0, qMax(0, s.width() - w - 7), s.height());
    };
    // Showing, hiding or dragging the chat aside lays the play area out again.
    splitter->onDrag = [this, multi, playPane](const QPoint& at) {
        multi->resize(qBound(100, at.x(), qMax(100, playPane->width() - 107)), multi->height());
        layOutPlayArea();
    };

    auto* back = Named(new TiledImage(multi), "GameBackground");
    auto* grid = new Pane(QStringLiteral("GridPanel1"), multi);
    multi->onResize = [back, grid](const QSize& s) {
        back->setGeometry(0, 0, s.width(), s.height());
        grid->setGeometry(0, 0, qMax(s.width(), grid->width()), s.height());
    };
    auto* panel10 = new Pane(QStringLiteral("Panel10"), grid);
    auto* bingoBack = Named(new TiledImage(panel10), "BingoBackground");
    auto* gridBack = Named(new TiledImage(grid), "GridBackground");
    grid->onResize = [panel10, gridBack](const QSize& s) {
        panel10->setGeometry(0, 0, s.width(), 24);
        gridBack->setGeometry(0, 24, s.width(), qMax(0, s.height() - 24));
    };
    panel10->onResize = [bingoBack](const QSize& s) { bingoBack->setGeometry(0, 0, s.width(), s.height()); };
    for (int k = 0; k < 6; ++k) {
        const QByteArray name = "Image" + QByteArray::number(k + 2);
        auto* title = Named(new PictureBox(panel10), name.constData());
        title->setGeometry(5 + 130 * k, 2, 125, 20);
    }
    for (int k = 1; k <= 10; ++k)
        cards_[k - 1] = new CardPanel(nullptr, k, grid);
    grid->hide();

    buildChatPanel(chat);
}

void MainWindow::buildChatPanel(QWidget* chat)
{
    chat->setAutoFillBackground(true);
    const auto colours = [](QWidget* w, const QColor& ink, const QColor& paper) {
        QPalette p = w->palette();
        p.setColor(QPalette::Text, ink);
        p.setColor(QPalette::Base, paper);
        w->setPalette(p);
        QFont f = w->font();
        f.setFamily(QStringLiteral("Arial"));
        f.setPixelSize(12);
        w->setFont(f);
    };
    auto* label = MakeLabel(chat, "ChatLabel", QString(), QColor(0xff, 0x40, 0x40), 10, true, Qt::AlignCenter);
    auto* members = Named(new QListWidget(chat), "ListBox1");
    members->setToolTip(QStringLiteral("Players Currently Chatting"));
    colours(members, kGold, Qt::black);
    connect(members, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        if (core_ && item)
            core_->chat().ToggleIgnore(item->text());
    });
    auto* lines = Named(new QPlainTextEdit(chat), "mChat");
    lines->setReadOnly(true);
    lines->setMaximumBlockCount(1000);
    lines->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    colours(lines, QColor(0xff, 0xff, 0x00), QColor(0x00, 0x00, 0x80));
    QFont bold = lines->font();
    bold.setBold(true);
    lines->setFont(bold);
    auto* input = Named(new ChatInput(chat), "mtext");
    input->setToolTip(QStringLiteral("Type Text here.  Press return to send your message."));
    input->onEnter = [this](const QString& text) {
        if (core_)
            core_->chat().SendTypedLines(text);
    };
    QList<QPushButton*> tools, phrases;
    for (const char* name : {"Panel9", "Panel4", "ChatQuit"})
        tools << Named(new QPushButton(chat), name);
    for (const char* name : {"Panel17", "Panel19", "Panel20", "Panel22", "Panel23", "Panel24", "Panel25", "Panel21"}) {
        auto* b = Named(new QPushButton(chat), name);
        connect(b, &QAbstractButton::clicked, this, [this, b] {
            if (core_)
                core_->chat().SendQuickPhrase(b->toolTip());
        });
        phrases << b;
    }
    for (QPushButton* b : tools + phrases)
        b->setFocusPolicy(Qt::NoFocus);
    connect(tools[0], &QAbstractButton::clicked, this, [this] { if (core_) core_->chat().RefreshMembers(); });
    connect(tools[1], &QAbstractButton::clicked, this, [this] { if (core_) core_->chat().ClearChatLog(); });
    connect(tools[2], &QAbstractButton::clicked, this, [this] { if (core_) core_->chat().LeaveChatRoom(); });
    static_cast<Pane*>(chat)->onResize = [=](const QSize& s) {
        const int w = s.width();
        label->setGeometry(0, 0, w, 20);
        members->setGeometry(0, 20, w, 84);
        const int third = qMax(1, w / 3);
        for (int k = 0; k < 3; ++k)
            tools[k]->setGeometry(k * third, 106, k == 2 ? w - 2 * third : third, 22);
        const int bottom = s.height() - 48;   // two rows of quick phrases
        input->setGeometry(0, bottom - 46, w, 44);
        lines->setGeometry(0, 130, w, qMax(0, bottom - 48 - 130));
        const int quarter = qMax(1, w / 4);
        for (int k = 0; k < 8; ++k)
            phrases[k]->setGeometry((k % 4) * quarter, bottom + (k / 4) * 24, quarter - 1, 22);
    };
}

void MainWindow::buildBottomBand(QWidget* band)
{
    auto* frame = Named(new TiledImage(band), "BottomPanel");
    auto* plate = new Pane(QStringLiteral("StatusPlate"), band);
    plate->onPaint = [](QPainter& p, const QRect& r) { Plate(p, r, 185); };
    auto* alias = MakeLabel(band, "Label9", QString(), kGold, 9, true, Qt::AlignCenter);
    auto* status = MakeLabel(band, "status", QString(), kInk, 9, false);
    new Announcer(band);   // says the game's updates to screen readers; nothing to see
    auto* progress = Named(new QProgressBar(band), "ProgressBar1");
    progress->setRange(0, 91);
    progress->setValue(0);
    progress->setTextVisible(false);
    // Auto-buy's progress and its Cancel, shown while it runs, take the status text's right end.
    autoBuy_ = new Pane(QStringLiteral("AutoBuyPanel"), band);
    auto* autoText = MakeLabel(autoBuy_, "AutoBuyLabel", QString(), kGold, 9, true, Qt::AlignRight | Qt::AlignVCenter);
    auto* cancel = MakeButton(autoBuy_, "AutoBuyCancel", QStringLiteral("Cancel"), 8);
    cancel->setAccessibleName(QStringLiteral("Cancel auto-buy"));
    cancel->setAccessibleDescription(QStringLiteral("Stops buying cards for the coming games"));
    connect(cancel, &QAbstractButton::clicked, this, [this] { if (core_) core_->shop().CancelAutoBuy(); });
    autoBuy_->hide();
    static_cast<Pane*>(autoBuy_)->onResize = [=](const QSize& s) {
        autoText->setGeometry(0, 0, s.width() - 62, s.height());
        cancel->setGeometry(s.width() - 58, 4, 56, s.height() - 8);
    };
    bottomBand_ = band;
    static_cast<Pane*>(band)->onResize = [=](const QSize& s) {
        frame->setGeometry(0, 0, s.width(), s.height());
        plate->setGeometry(2, 2, s.width() - 4, s.height() - 4);
        alias->setGeometry(0, 0, 160, s.height());
        const int autoWidth = autoBuy_->isVisibleTo(band) ? 230 : 0;
        status->setGeometry(166, 0, qMax(0, s.width() - 166 - 88 - autoWidth), s.height());
        autoBuy_->setGeometry(s.width() - 88 - autoWidth, 0, autoWidth, s.height());
        progress->setGeometry(s.width() - 84, 7, 80, s.height() - 14);
    };
}

void MainWindow::showAutoBuy(const QString& text)
{
    if (auto* label = autoBuy_->findChild<QLabel*>(QStringLiteral("AutoBuyLabel")))
        label->setText(text);
    autoBuy_->setVisible(!text.isEmpty());
    if (auto* band = static_cast<Pane*>(bottomBand_); band && band->onResize)
        band->onResize(band->size());
}

void MainWindow::buildMenus()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    bar->setStyleSheet(QStringLiteral(
        "QMenuBar{background:#182238;color:#eef0f6;}"
        "QMenuBar::item:selected{background:#2f6fd0;}"
        "QMenu{background:#1b2438;color:#eef0f6;border:1px solid #3a4a6a;}"
        "QMenu::item:selected{background:#2f6fd0;}"
        "QMenu::item:disabled{color:#6c7890;}"
        "QMenu::separator{height:1px;background:#3a4a6a;margin:3px 8px;}"));

    auto menu = [bar](const char* name, const char* title) {
        QMenu* m = bar->addMenu(QLatin1String(title));
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto item = [this](QMenu* m, const char* name, const char* text, std::function<void()> action) {
        QAction* a = m->addAction(QLatin1String(text));
        a->setObjectName(QLatin1String(name));
        if (action)
            connect(a, &QAction::triggered, this, [action] { action(); });
        return a;
    };
    // Commands go to the core through plain function pointers (a pointer to a member
    // function captured in a slot trips the address sanitizer on this compiler).
    auto core = [this](void (*command)(GameCore&)) {
        return std::function<void()>([this, command] { if (core_) command(*core_); });
    };

    QMenu* connectMenu = menu("Connect1", "Connect");
    item(connectMenu, "ConnecttoGame1", "Connect to Game", core([](GameCore& g) { g.ConnecttoGame1Click(); }));
    item(connectMenu, "PlayLimits1", "Play &Limits...", core([](GameCore& g) { g.limits().ShowLimits(); }))
        ->setToolTip(QStringLiteral("Your spending and loss limits and the reality check"));
    item(connectMenu, "Quit1", "Quit", [] { QApplication::quit(); });

    QMenu* dauber = menu("MarkerColor1", "Dauber");
    QAction* autodaub = item(dauber, "Autodauber", "AUTODAUBER", core([](GameCore& g) { g.table().AutodauberClick(); }));
    autodaub->setCheckable(true);
    dauber->addSeparator();
    item(dauber, "Shape6", "Standard Pointer", core([](GameCore& g) { g.table().Shape6Click(); }))->setToolTip(QStringLiteral("Standard Arrow Cursor"));
    item(dauber, "BingoMarker1", "Bingo Marker", core([](GameCore& g) { g.table().BingoMarker1Click(); }));
    dauber->addSeparator();
    // For this session only.
    item(dauber, "BestCardFirst1", "Best Card First", core([](GameCore& g) { g.table().BestCardFirstClick(); }))
        ->setCheckable(true);

    QMenu* fonts = menu("Fonts1", "Fonts");
    item(fonts, "Small1", "Small", core([](GameCore& g) { g.table().Small1Click(); }));
    item(fonts, "Large1", "Large", core([](GameCore& g) { g.table().Large1Click(); }));

    QMenu* sound = menu("Sound1", "Sounds");
    item(sound, "TurnSoundON1", "ON", core([](GameCore& g) { g.sounds().TurnSoundOn(); }));
    item(sound, "OFF1", "OFF", core([](GameCore& g) { g.sounds().TurnSoundOff(); }));
    sound->addSeparator();
    item(sound, "GetNewSounds1", "Set Bingo Caller", core([](GameCore& g) { g.catalogue(SetKind::Caller).Open(); }));
    item(sound, "GetFunBingos1", "Get Fun Bingos", core([](GameCore& g) { g.catalogue(SetKind::FunBingo).Open(); }));
    item(sound, "Get1", "Set Announcer", core([](GameCore& g) { g.catalogue(SetKind::Announcer).Open(); }));

    // The rooms open with the chat; until the web login names them they read "closed".
    QMenu* chat = menu("CHATROOM1", "Chat Room");
    for (int k = 1; k <= 6; ++k) {
        const QByteArray name = k == 1 ? QByteArray("JoinChatRoom1") : "ChatRoom" + QByteArray::number(k);
        item(chat, name.constData(), "closed", [this, k] { if (core_) core_->chat().JoinChatRoom(k); });
    }

    QMenu* skins = menu("Skins1", "Skins");
    const char* skinItems[12][2] = {
        {"logo1", "logo"}, {"Woody1", "Woody"}, {"Blue1", "Blue"}, {"Green1", "Green"}, {"Classic1", "Classic"},
        {"Neon1", "Neon"}, {"Stucco1", "Stucco"}, {"Linen1", "Linnen"}, {"Pinky1", "Pinky"}, {"Walls1", "Walls"},
        {"Water1", "Water"}, {"si1", "Silly"},
    };
    for (int row = 0; row < 12; ++row)
        item(skins, skinItems[row][0], skinItems[row][1], [this, row] { if (core_) core_->table().ChooseSkin(row); });

    QMenu* help = menu("About1", "Help");
    item(help, "PopUpNews1", "Pop-Up News", core([](GameCore& g) { g.signIn().ShowNewsWindow(); }));
    item(help, "ShowLastGamesWinners1", "Show Last Games Winners",
         [this] { if (core_) core_->ShowLastWinners(QStringLiteral("000000")); });
    // The player's own record of games, kept beside the core (see setMyGamesCommand).
    QAction* myGames = item(help, "MyGames1", "My &Games", [this] { if (myGames_) myGames_(); });
    myGames->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    myGames->setToolTip(QStringLiteral("The games you bought into: a table, totals, charts and an export as CSV"));
    help->addSeparator();
    item(help, "OnlineHelp1", "Online Help", core([](GameCore& g) { g.signIn().OnlineHelp1Click(); }));
    item(help, "NewoftheDay1", "Online News", core([](GameCore& g) { g.signIn().NewoftheDay1Click(); }));
    item(help, "UPDATE1", "Update Program Only", core([](GameCore& g) { g.update().UPDATE1Click(); }));
    item(help, "UpdateAllFiles1", "Update All Files", core([](GameCore& g) { g.update().UpdateAllFiles1Click(); }));
    item(help, "OpenaTroubleTicket1", "Open a Trouble Ticket",
         core([](GameCore& g) { g.signIn().OpenaTroubleTicket1Click(); }));
    help->addSeparator();
    item(help, "KeyboardKeys1", "Keyboard Keys", core([](GameCore& g) { g.table().KeyboardKeysClick(); }))
        ->setShortcut(Qt::Key_F1);
    item(help, "About2", "About", [this] { showWindow(QStringLiteral("TAboutDialog")); });
}
