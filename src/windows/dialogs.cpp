#include "windows/dialogs.h"

#include "components/media/pictures.h"
#include "calls/setcatalogue.h"
#include "game/gamecore.h"
#include "session/signin.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
template <class W>
W* Named(W* w, const char* name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QLabel* MakeText(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h,
             int pixels = 12, bool bold = false, const QColor& colour = QColor())
{
    auto* l = Named(new QLabel(text, parent), name);
    l->setGeometry(x, y, w, h);
    l->setWordWrap(true);
    QFont f = l->font();
    f.setFamily(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    l->setFont(f);
    if (colour.isValid()) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, colour);
        l->setPalette(p);
    }
    return l;
}

// Escape closes a plain window as it closes a dialog, through the window's own close.
class EscapeCloses : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* window, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent*>(event)->key() != Qt::Key_Escape)
            return false;
        static_cast<QWidget*>(window)->close();
        return true;
    }
};

void CloseOnEscape(QWidget* window) { window->installEventFilter(new EscapeCloses(window)); }

QPushButton* Button(QWidget* parent, const char* name, const QString& text, int x, int y, int w, int h)
{
    auto* b = Named(new QPushButton(text, parent), name);
    b->setGeometry(x, y, w, h);
    return b;
}
}

// ---------------------------------------------------------------- login

LoginDialog::LoginDialog(GameCore* core, QWidget* parent) : QDialog(parent), core_(core)
{
    setObjectName(QStringLiteral("Tlogindialog"));
    setWindowTitle(QStringLiteral("Bingo Login"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(330, 196);
    setModal(false);

    MakeText(this, "Label3", QStringLiteral("Enter Your Player ID and Password:"), 16, 12, 300, 18, 13, true);
    auto* edit1 = Named(new QLineEdit(this), "Edit1");
    edit1->setGeometry(110, 42, 200, 24);
    auto* edit2 = Named(new QLineEdit(this), "Edit2");
    edit2->setGeometry(110, 74, 200, 24);
    // Each box is named by its label, for readers.
    MakeText(this, "Label1", QStringLiteral("Player ID:"), 16, 44, 90, 22)->setBuddy(edit1);
    MakeText(this, "Label2", QStringLiteral("Password:"), 16, 76, 90, 22)->setBuddy(edit2);
    edit2->setEchoMode(QLineEdit::Password);
    auto* edit3 = Named(new QLineEdit(this), "Edit3");
    edit3->setText(core ? core->signIn().defaultWebHost() : QString());
    edit3->setGeometry(110, 104, 200, 24);
    edit3->hide();
    auto* check = Named(new QCheckBox(this), "CheckBox1");
    check->setGeometry(108, 108, 20, 20);
    auto* label4 = MakeText(this, "Label4", QStringLiteral("Remember my Password."), 132, 106, 180, 24);
    label4->setBuddy(check);

    auto* connectButton = Button(this, "Button1", QStringLiteral("Connect"), 110, 148, 96, 30);
    connectButton->setDefault(true);
    auto* cancel = Button(this, "Button2", QStringLiteral("Cancel"), 214, 148, 96, 30);
    connect(connectButton, &QPushButton::clicked, this, [this, edit1, edit2, edit3, check] {
        if (core_)
            core_->signIn().LoginButton1Click(edit1->text(), edit2->text(), edit3->text(), check->isChecked());
    });
    connect(cancel, &QPushButton::clicked, this, [this] {
        if (core_)
            core_->signIn().LoginButton2Click();
        else
            hide();
    });
}

void LoginDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The keyboard starts where typing is needed: the first empty box, else Connect.
    for (const char* name : {"Edit1", "Edit2", "Button1"}) {
        auto* w = findChild<QWidget*>(QLatin1String(name));
        auto* edit = qobject_cast<QLineEdit*>(w);
        if (w && (!edit || edit->text().isEmpty())) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

// ---------------------------------------------------------------- about

void CentredDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* s = screen())
        move(s->availableGeometry().center() - rect().center());
}

AboutDialog::AboutDialog(QWidget* mainWindow, QWidget* parent) : CentredDialog(parent)
{
    setObjectName(QStringLiteral("TAboutDialog"));
    setWindowTitle(QStringLiteral("About Vexo Bingo"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setFixedSize(300, 170);
    auto* logo = Named(new PictureBox(this), "ProgramIcon");
    logo->setGeometry(16, 16, 64, 64);
    logo->setText(QStringLiteral("<span style='font-size:40px;color:#ff4040;font-weight:bold'>V</span>"));
    logo->setAlignment(Qt::AlignCenter);
    MakeText(this, "ProductName", QStringLiteral("Vexo Bingo"), 92, 20, 200, 26, 20, true);
    MakeText(this, "Version", QStringLiteral("Version  4.66 -February 2000"), 92, 52, 200, 20);
    MakeText(this, "Copyright", QStringLiteral("A client for the Vexo Bingo hall."), 92, 74, 200, 20);
    auto* ok = Button(this, "OKBtn", QStringLiteral("Close"), 110, 124, 80, 28);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this, mainWindow] {
        hide();
        if (mainWindow)
            mainWindow->update();
    });
}

// ---------------------------------------------------------------- thanks

ThanksDialog::ThanksDialog(GameCore* core, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Tmarketdialog"));
    setWindowTitle(QStringLiteral("THANKS"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(420, 260);
    auto* image = Named(new PictureBox(this), "Image1");
    image->setGeometry(14, 14, 100, 100);
    if (core)
        image->loadFile(core->folder().path(QStringLiteral("thanks.gif")));
    MakeText(this, "ThankT", QStringLiteral("Thank you!"), 128, 14, 280, 32, 22, true, QColor(220, 0, 0));
    MakeText(this, "Label1", QString(), 128, 52, 280, 58);
    MakeText(this, "Label2", QString(), 128, 114, 280, 48);
    MakeText(this, "Label3", QString(), 14, 170, 394, 36, 12, true);
    auto* ok = Button(this, "OKBtn", QStringLiteral("Close"), 170, 216, 80, 28);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::hide);
}

// ---------------------------------------------------------------- news

NewsDialog::NewsDialog(QWidget* parent) : QWidget(parent)
{
    CloseOnEscape(this);
    setObjectName(QStringLiteral("TForm2"));
    setWindowTitle(QStringLiteral("Welcome"));
    resize(513, 290);
    // The operator's news is shown, never followed: the box opens no link and loads nothing.
    auto* rich = Named(new QTextBrowser(this), "RichEdit1");
    rich->setOpenLinks(false);
    rich->setOpenExternalLinks(false);
    rich->setReadOnly(true);
    rich->setUndoRedoEnabled(false);
    rich->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    rich->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    rich->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
    fill->addWidget(rich);
}

// ---------------------------------------------------------------- alias

AliasDialog::AliasDialog(GameCore* core, QWidget* parent) : CentredDialog(parent)
{
    setObjectName(QStringLiteral("TAliasConfirm"));
    setWindowTitle(QStringLiteral("Alias Confirmation Form"));
    setWindowFlag(Qt::WindowStaysOnTopHint);
    setFixedSize(360, 210);
    MakeText(this, "Label1", QStringLiteral("Your current assigned alias is set to:"), 16, 12, 328, 20, 13);
    MakeText(this, "Label2", QString(), 16, 36, 328, 40, 28, true, QColor(0, 0, 255))->setAlignment(Qt::AlignCenter);
    MakeText(this, "Label3", QString(), 16, 84, 328, 60);
    auto* ok = Button(this, "OKBtn", QStringLiteral("Change My Alias"), 16, 162, 156, 30);
    ok->setDefault(true);
    auto* cancel = Button(this, "CancelBtn", QStringLiteral("Keep Existing Alias"), 188, 162, 156, 30);
    connect(ok, &QPushButton::clicked, this, [core] {
        if (core)
            core->signIn().AliasOkClick();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::hide);
}

// ---------------------------------------------------------------- downloads

DownloadWindow::DownloadWindow(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Tgifdownload"));
    setWindowTitle(QStringLiteral("File Download"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint);   // no border icons
    setFixedSize(300, 96);
    MakeText(this, "Label1", QStringLiteral("Retrieving System File. Please wait..."), 12, 8, 276, 20);
    MakeText(this, "Label2", QStringLiteral("filename"), 12, 30, 276, 20, 9, true);
    auto* bar = Named(new QProgressBar(this), "ProgressBar1");
    bar->setRange(0, 100);
    bar->setGeometry(12, 60, 276, 20);
}

void DownloadWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TForm1"))
            move(w->geometry().left(), w->frameGeometry().top() + 430);
}

SetCatalogueWindow::SetCatalogueWindow(GameCore* core, SetKind kind, const QString& className, const QString& caption, QWidget* parent)
    : QWidget(parent), core_(core), kind_(kind)
{
    CloseOnEscape(this);
    setObjectName(className);
    setWindowTitle(caption);
    setFixedSize(320, 330);
    MakeText(this, "Label1", QString(), 12, 10, 296, 20, 13, true);
    MakeText(this, "Label2", QString(), 12, 32, 296, 20);
    auto* list = Named(new QListWidget(this), "ListBox1");
    list->setGeometry(12, 56, 296, 190);
    Named(new QProgressBar(this), "ProgressBar1")->setGeometry(12, 254, 296, 18);
    auto* close = Button(this, "Button1", QStringLiteral("Close"), 120, 284, 80, 30);
    connect(close, &QPushButton::clicked, this, [this, core, kind] {
        if (core)
            core->catalogue(kind).CloseClick();
        else
            hide();
    });
    // A double-click, or Enter on the chosen line.
    connect(list, &QListWidget::itemActivated, this, [core, kind, list] {
        if (core)
            core->catalogue(kind).ChooseSet(list->currentRow());
    });
}

CallerSetWindow::CallerSetWindow(GameCore* core, QWidget* parent)
    : SetCatalogueWindow(core, SetKind::Caller, QStringLiteral("Tgetcset"), QStringLiteral("Set Game Caller"), parent) {}
FunBingoWindow::FunBingoWindow(GameCore* core, QWidget* parent)
    : SetCatalogueWindow(core, SetKind::FunBingo, QStringLiteral("Tgetbings"), QStringLiteral("Set Fun Bingo Callers"), parent) {}
AnnouncerSetWindow::AnnouncerSetWindow(GameCore* core, QWidget* parent)
    : SetCatalogueWindow(core, SetKind::Announcer, QStringLiteral("Tgetaset"), QStringLiteral("set Game Announcer/Host"), parent) {}

// ---------------------------------------------------------------- winners

WinnersWindow::WinnersWindow(QWidget* mainWindow, QWidget* parent) : QWidget(parent), main_(mainWindow)
{
    CloseOnEscape(this);
    setObjectName(QStringLiteral("Twinners"));
    setWindowTitle(QStringLiteral("Winners Circle"));
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    setFixedSize(349, 272);
    auto* backdrop = Named(new PictureBox(this), "winbackdrop");
    backdrop->setGeometry(0, 0, 349, 272);
    const QColor ink(0x2a, 0x20, 0x40);
    for (int k = 0; k < 4; ++k) {
        static const char* names[4] = {"wc1", "WC2", "WC3", "WC4"};
        MakeText(this, names[k], QString(), 30, 66 + 26 * k, 180, 24, 14, true, ink);
    }
    MakeText(this, "PrizeCaption", QStringLiteral("Prize"), 214, 64, 104, 16, 11, true, QColor(0x80, 0x60, 0x20))
        ->setAlignment(Qt::AlignRight);
    MakeText(this, "payout", QStringLiteral("0.00"), 196, 80, 122, 28, 20, true, QColor(0x10, 0x80, 0x30))
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    auto* list = Named(new QListWidget(this), "ListBox1");
    list->setGeometry(28, 64, 170, 112);
    list->setFrameShape(QFrame::NoFrame);
    QPalette lp = list->palette();
    lp.setColor(QPalette::Base, QColor(0xfd, 0xf8, 0xec));
    lp.setColor(QPalette::Text, ink);
    list->setPalette(lp);
    list->hide();
    MakeText(this, "memo2", QString(), 30, 184, 290, 66, 12, false, ink);
}

void WinnersWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (main_)
        move(main_->geometry().left(), main_->frameGeometry().top() + 48);
}


// ---------------------------------------------------------------- communications alert

void SetCatalogueWindow::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (core_)
        core_->catalogue(kind_).CloseClick();
}

CommsAlert::CommsAlert(GameCore* core, QWidget* parent) : QWidget(parent), core_(core)
{
    CloseOnEscape(this);
    setObjectName(QStringLiteral("TForm3"));
    setWindowTitle(QStringLiteral("Internet Communications Alert"));
    resize(368, 353);
    const QColor red(200, 0, 0);
    MakeText(this, "Label3", QStringLiteral("Communication Problem Encountered:"), 12, 10, 344, 20, 14, true);
    MakeText(this, "Label1",
             QStringLiteral("Your system is currently having difficulty communicating with the Bingo Servers. "), 12,
             32, 344, 36);
    MakeText(this, "Label5", QStringLiteral("Causes?"), 12, 74, 344, 20, 14, true, red);
    MakeText(this, "Label4", QStringLiteral("Internet service disconnected."), 24, 96, 332, 20);
    MakeText(this, "Label6", QStringLiteral("Internet routing problems from your ISP to the Bingo Server."), 24, 116,
             332, 34);
    MakeText(this, "Label7", QStringLiteral("Failure or Service Interuption of The Bingo Servers"), 24, 152, 332, 34);
    MakeText(this, "Label8", QStringLiteral("What can I do?"), 12, 190, 344, 20, 14, true, red);
    MakeText(this, "Label2",
         QStringLiteral("Confirm you are still connected to the internet by attempting to Surf the net with your web "
                        "browser or inspecting your Modem."),
         24, 212, 332, 50);
    MakeText(this, "Label9", QStringLiteral("Press OK, the software will continue to re-attempt communication"), 12,
             266, 344, 34, 12, true);
    auto* ok = Button(this, "Button1", QStringLiteral("OK, keep trying to connect..."), 84, 308, 200, 32);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this, core] {
        if (core)
            core->AlertButton1Click();
        else
            hide();
    });
}

void CommsAlert::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (core_)
        core_->AlertButton1Click();
}
