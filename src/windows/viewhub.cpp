#include "windows/viewhub.h"

#include "components/media/effects.h"
#include "components/media/pictures.h"
#include "windows/accessibility.h"
#include "windows/controls.h"
#include "windows/richtext.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QUrl>

namespace {
QColor FromColour(std::uint32_t rgb) { return QColor::fromRgb(QRgb(rgb & 0xFFFFFFu)); }

// The letter a menu text underlines for Alt (after a single '&'; "&&" is an ampersand), or
// a null character when it has none.
QChar MnemonicOf(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('&'))
            continue;
        if (text.at(i + 1) != QLatin1Char('&'))
            return text.at(i + 1);
        ++i;
    }
    return {};
}

// A menu title with a letter underlined for Alt: the first letter that no other menu of the
// bar has taken. Ampersands of the text itself are shown as they are.
QString WithMnemonic(QMenu* menu, const QString& title)
{
    QString text = title;
    text.replace(QLatin1Char('&'), QStringLiteral("&&"));
    auto* bar = qobject_cast<QMenuBar*>(menu->parentWidget());
    if (!bar)
        return text;
    QString taken;
    for (const QAction* a : bar->actions()) {
        const QChar letter = MnemonicOf(a->text());
        if (a->menu() != menu && !letter.isNull())
            taken += letter.toLower();
    }
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text.at(i).isLetter() && !taken.contains(text.at(i).toLower()))
            return text.insert(i, QLatin1Char('&'));
    return text;
}

QObject* FindNamed(QObject* root, const QString& name)
{
    if (!root)
        return nullptr;
    return root->findChild<QObject*>(name);
}
}

ViewHub::ViewHub(QWidget* mainWindow) : main_(mainWindow)
{
    windows_.insert(QStringLiteral("TForm1"), mainWindow);
}

ViewHub::~ViewHub() = default;

void ViewHub::addWindow(const QString& name, QWidget* window)
{
    windows_.insert(name, window);
    cache_.clear();
}

QObject* ViewHub::resolve(const QString& name) const
{
    if (name.isEmpty())
        return nullptr;
    auto cached = cache_.constFind(name);
    if (cached != cache_.constEnd() && cached.value())
        return cached.value();

    QObject* found = nullptr;
    if (QWidget* w = windows_.value(name))
        found = w;
    else {
        const int dot = name.lastIndexOf(QLatin1Char('.'));
        if (dot > 0)
            found = FindNamed(resolve(name.left(dot)), name.mid(dot + 1));
        else
            found = FindNamed(main_, name);
    }
    if (found) {
        cache_.insert(name, found);
    } else if (strict_) {
        qFatal("ViewHub: no window has a control named \"%s\"", qPrintable(name));
    } else if (!reported_.contains(name)) {
        reported_.insert(name);
        qWarning("ViewHub: no window has a control named \"%s\"", qPrintable(name));
    }
    return found;
}

QWidget* ViewHub::widget(const QString& name) const { return qobject_cast<QWidget*>(resolve(name)); }

QWidget* ViewHub::dialogParent() const { return main_; }

void ViewHub::setVisible(const QString& control, bool visible)
{
    QObject* o = resolve(control);
    if (auto* a = qobject_cast<QAction*>(o))
        a->setVisible(visible);
    else if (auto* w = qobject_cast<QWidget*>(o)) {
        w->setVisible(visible);
        if (visible && !w->isWindow())
            w->raise();
    }
}

void ViewHub::setEnabled(const QString& control, bool enabled)
{
    QObject* o = resolve(control);
    if (auto* a = qobject_cast<QAction*>(o))
        a->setEnabled(enabled);
    else if (auto* w = qobject_cast<QWidget*>(o))
        w->setEnabled(enabled);
}

void ViewHub::setText(const QString& control, const QString& text)
{
    QObject* o = resolve(control);
    if (!o)
        return;
    if (auto* menu = qobject_cast<QMenu*>(o)) {   // a menu is a window of its own: its title is in the bar
        menu->setTitle(WithMnemonic(menu, text));
    } else if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow()) {
        w->setWindowTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(o)) {
        if (control == QLatin1String("status")) {
            statusText_ = text;
            if (!statusNotice_.isEmpty())
                return;
        }
        // What a label shows is never read as markup, whoever sent it.
        label->setTextFormat(Qt::PlainText);
        label->setText(text);
    } else if (auto* button = qobject_cast<QAbstractButton*>(o)) {
        button->setText(text);
    } else if (auto* action = qobject_cast<QAction*>(o)) {
        action->setText(text);
    } else if (auto* edit = qobject_cast<QLineEdit*>(o)) {
        edit->setText(text);
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(o)) {
        plain->setPlainText(text);
    } else if (auto* rich = qobject_cast<QTextEdit*>(o)) {
        rich->setPlainText(text);
    } else if (auto* panel = qobject_cast<QWidget*>(o)) {
        panel->setWindowTitle(text);   // kept for panels that carry a caption
    }
}

void ViewHub::setHint(const QString& control, const QString& hint)
{
    QObject* o = resolve(control);
    if (auto* a = qobject_cast<QAction*>(o))
        a->setToolTip(hint);
    else if (auto* w = qobject_cast<QWidget*>(o))
        w->setToolTip(hint);
    // An empty input box shows its hint inside, greyed.
    if (auto* input = qobject_cast<QPlainTextEdit*>(o); input && !input->isReadOnly())
        input->setPlaceholderText(hint);
}

void ViewHub::describe(const QString& control, const QString& name, const QString& description)
{
    if (auto* w = qobject_cast<QWidget*>(resolve(control))) {
        if (!name.isEmpty())
            w->setAccessibleName(name);
        w->setAccessibleDescription(description);
    }
}

void ViewHub::announce(const QString& text)
{
    if (auto* announcer = qobject_cast<Announcer*>(resolve(QStringLiteral("announcer"))))
        announcer->say(text);
}

void ViewHub::setChecked(const QString& control, bool checked)
{
    QObject* o = resolve(control);
    if (auto* a = qobject_cast<QAction*>(o)) {
        a->setCheckable(true);
        a->setChecked(checked);
    } else if (auto* b = qobject_cast<QAbstractButton*>(o)) {
        b->setCheckable(true);
        b->setChecked(checked);
    }
}

void ViewHub::setFontColour(const QString& control, std::uint32_t rgb)
{
    QObject* o = resolve(control);
    if (auto* round = qobject_cast<RoundButton*>(o)) {
        round->setFontColor(FromColour(rgb));
    } else if (auto* w = qobject_cast<QWidget*>(o)) {
        QPalette p = w->palette();
        p.setColor(QPalette::WindowText, FromColour(rgb));
        p.setColor(QPalette::ButtonText, FromColour(rgb));
        p.setColor(QPalette::Text, FromColour(rgb));
        w->setPalette(p);
    }
}

void ViewHub::setFaceColour(const QString& control, std::uint32_t rgb)
{
    QObject* o = resolve(control);
    if (auto* round = qobject_cast<RoundButton*>(o)) {
        round->setFaceColor(FromColour(rgb));
    } else if (auto* swatch = qobject_cast<ColourSwatch*>(o)) {
        swatch->setColour(FromColour(rgb));
    } else if (auto* w = qobject_cast<QWidget*>(o)) {
        QPalette p = w->palette();
        p.setColor(QPalette::Window, FromColour(rgb));
        p.setColor(QPalette::Button, FromColour(rgb));
        w->setPalette(p);
        w->setAutoFillBackground(true);
    }
}

void ViewHub::setItems(const QString& control, const QStringList& items)
{
    QObject* o = resolve(control);
    if (auto* list = qobject_cast<QListWidget*>(o)) {
        list->clear();
        list->addItems(items);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(o)) {
        memo->setPlainText(items.join(QLatin1Char('\n')));
    }
}

void ViewHub::appendLine(const QString& control, const QString& line)
{
    QObject* o = resolve(control);
    if (auto* list = qobject_cast<QListWidget*>(o))
        list->addItem(line);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(o))
        memo->appendPlainText(line);
}

void ViewHub::setProgress(const QString& control, int value)
{
    if (auto* bar = qobject_cast<QProgressBar*>(resolve(control)))
        bar->setValue(qBound(bar->minimum(), value, bar->maximum()));
}

void ViewHub::setGeometry(const QString& control, int left, int top, int width, int height)
{
    if (QWidget* w = widget(control))
        w->setGeometry(left, top, qMax(0, width), qMax(0, height));
}


bool ViewHub::isVisible(const QString& control) const
{
    QObject* o = resolve(control);
    if (auto* a = qobject_cast<QAction*>(o))
        return a->isVisible();
    const QWidget* w = qobject_cast<QWidget*>(o);
    if (!w)
        return false;
    // The control's own switch, as the design reads it, whether or not its window shows.
    return w->isWindow() ? w->isVisible() : !w->isHidden();
}


bool ViewHub::loadPicture(const QString& control, const QString& file)
{
    QObject* o = resolve(control);
    if (auto* picture = qobject_cast<PictureBox*>(o))
        return picture->loadFile(file);
    if (auto* tiled = qobject_cast<TiledImage*>(o))
        return tiled->loadFile(file);
    return false;
}

bool ViewHub::loadTiles(std::initializer_list<const char*> controls, const QString& file)
{
    const QImage image = LoadPictureFile(file, nullptr);
    if (image.isNull())
        return false;
    const QPixmap tile = QPixmap::fromImage(image);
    bool all = true;
    for (const char* control : controls) {
        auto* tiled = qobject_cast<TiledImage*>(resolve(QLatin1String(control)));
        if (tiled)
            tiled->setTile(tile);
        all &= tiled != nullptr;
    }
    return all;
}


void ViewHub::showWindow(const QString& name)
{
    QWidget* w = widget(name);
    if (!w)
        return;
    w->show();
    w->raise();
}

void ViewHub::hideWindow(const QString& name)
{
    if (QWidget* w = widget(name))
        w->hide();
}

// One box per text at a time: the same news again brings the open box to the front
// instead of stacking another. Boxes stay on top, where the player sees them even
// over the login dialog.
void ViewHub::showBox(int icon, const QString& text)
{
    openBoxes_.removeIf([](const auto& entry) { return entry.value().isNull(); });   // boxes closed since
    if (QMessageBox* open = openBoxes_.value(text)) {
        open->raise();
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Icon(icon), QApplication::applicationName(), text, QMessageBox::Ok,
                                dialogParent());
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowFlag(Qt::WindowStaysOnTopHint);
    box->setModal(false);
    box->setTextFormat(Qt::PlainText);
    openBoxes_.insert(text, box);
    box->show();
}

void ViewHub::messageBox(const QString& text) { showBox(QMessageBox::Information, text); }

void ViewHub::errorBox(const QString& text) { showBox(QMessageBox::Critical, text); }

bool ViewHub::question(const QString& text)
{
    // A question may carry the hall's words (its update message): shown as they are, never as markup.
    QMessageBox box(QMessageBox::Question, QApplication::applicationName(), text, QMessageBox::Yes | QMessageBox::No,
                    dialogParent());
    box.setDefaultButton(QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    return box.exec() == QMessageBox::Yes;
}

bool ViewHub::chooseColour(std::uint32_t initial, std::uint32_t* chosen)
{
    const QColor c = QColorDialog::getColor(FromColour(initial), dialogParent());
    if (!c.isValid())
        return false;
    if (chosen)
        *chosen = c.rgb() & 0xFFFFFFu;
    return true;
}

void ViewHub::beep()
{
    ++beeps_;
    if (!silent_)
        QApplication::beep();
}

void ViewHub::setStatusNotice(const QString& notice)
{
    statusNotice_ = notice;
    if (auto* label = qobject_cast<QLabel*>(resolve(QStringLiteral("status"))))
        label->setText(notice.isEmpty() ? statusText_ : notice);
}

bool ViewHub::loadRichText(const QString& control, const QString& file)
{
    auto* box = qobject_cast<QTextEdit*>(resolve(control));
    QFile in(file);
    if (!box || !in.open(QIODevice::ReadOnly))
        return false;
    // One byte past the bound tells the reader that there was more than it reads.
    FillRichText(box->document(), ReadRtf(in.read(Rtf::kMaxInput + 1)));
    box->moveCursor(QTextCursor::Start);
    return true;
}

void ViewHub::openUrl(const QString& url) { QDesktopServices::openUrl(QUrl(url)); }

bool ViewHub::startProgram(const QString& program, const QStringList& arguments)
{
    return QProcess::startDetached(program, arguments);
}

void ViewHub::quit() { QApplication::quit(); }
