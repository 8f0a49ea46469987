#include "windows/notifymenu.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPointer>
#include <QWidget>

namespace {
const char kDescription[] = "accessibleDescription";

// A menu item read to a screen reader with its description too: Qt's own menu items say their
// name and key only. Otherwise it answers as they do: checkable, checked, pressed by its action.
class DescribedMenuItem : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    DescribedMenuItem(QMenu* menu, QAction* action) : menu_(menu), action_(action) {}
    bool isValid() const override { return menu_ && action_; }
    QObject* object() const override { return action_; }
    QWindow* window() const override { return menu_ ? menu_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(menu_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::MenuItem; }
    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        switch (t) {
        case QAccessible::Name:
            return QString(action_->text()).remove(QLatin1Char('&'));
        case QAccessible::Description:
            return action_->property(kDescription).toString();
        case QAccessible::Accelerator:
            return QKeySequence::mnemonic(action_->text()).toString(QKeySequence::NativeText);
        default:
            return {};
        }
    }
    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect r = menu_->actionGeometry(action_);
        return QRect(menu_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid())
            return s;
        s.focusable = true;
        s.focused = menu_->activeAction() == action_;
        s.disabled = !action_->isEnabled();
        s.invisible = !action_->isVisible() || !menu_->isVisible();
        s.checkable = action_->isCheckable();
        s.checked = action_->isChecked();
        return s;
    }
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction(), toggleAction()}; }
    void doAction(const QString& name) override
    {
        if (isValid() && action_->isEnabled() && (name == pressAction() || name == toggleAction()))
            action_->trigger();
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QMenu> menu_;
    QPointer<QAction> action_;
};

QAccessibleInterface* DescribedItems(const QString& className, QObject* object)
{
    auto* action = qobject_cast<QAction*>(object);
    if (className != QLatin1String("QAction") || !action || !action->property(kDescription).isValid())
        return nullptr;
    for (QObject* user : action->associatedObjects())
        if (auto* menu = qobject_cast<QMenu*>(user))
            return new DescribedMenuItem(menu, action);
    return nullptr;
}
}   // namespace

bool MainWindowFocus::mainWindowActive() const { return main_ && main_->isActiveWindow(); }

QMenu* AddNotificationsMenu(QMenu* menu, Notifier* notifier)
{
    struct Item {
        NoticeKind kind;
        const char* name;
        const char* text;
        const char* description;
    };
    static const Item items[kNoticeKinds] = {
        {NoticeKind::SalesClosing, "NotifySalesClosing", "&Sales close soon, no card",
         "A notice 30 seconds before the sales close when you have no card for the next game"},
        {NoticeKind::GameStarted, "NotifyGameStarted", "&Game started with my cards",
         "A notice when a game starts with your cards in it"},
        {NoticeKind::OneToGo, "NotifyOneToGo", "&One to go", "A notice when one of your cards needs one more number"},
        {NoticeKind::Won, "NotifyWon", "My card &won", "A notice when one of your cards wins, with the prize"},
        {NoticeKind::Mentioned, "NotifyMentioned", "&Mentioned in the chat room",
         "A notice when someone in the chat room writes your alias"},
    };
    static const bool described = (QAccessible::installFactory(DescribedItems), true);
    Q_UNUSED(described);
    menu->addSeparator();
    QMenu* sub = menu->addMenu(QStringLiteral("&Notifications"));
    sub->setObjectName(QStringLiteral("Notifications1"));
    sub->menuAction()->setObjectName(QStringLiteral("Notifications1Item"));
    const QString about = QStringLiteral("Desktop notices while the Vexo Bingo window is not the active window");
    sub->setAccessibleName(QStringLiteral("Notifications"));
    sub->setAccessibleDescription(about);
    sub->menuAction()->setStatusTip(about);
    sub->menuAction()->setWhatsThis(about);
    sub->setToolTipsVisible(true);
    for (const Item& item : items) {
        QAction* a = sub->addAction(QLatin1String(item.text));
        a->setObjectName(QLatin1String(item.name));
        a->setCheckable(true);
        a->setChecked(notifier->enabled(item.kind));
        const QString description = QLatin1String(item.description);
        a->setToolTip(description);
        a->setStatusTip(description);
        a->setWhatsThis(description);
        a->setProperty(kDescription, description);
        const NoticeKind kind = item.kind;
        QObject::connect(a, &QAction::toggled, sub, [notifier, kind](bool on) { notifier->setEnabled(kind, on); });
    }
    return sub;
}
