// The windows' side of the desktop notices: the Notifications submenu switches each kind and the
// choice is kept for the next run; the main window answers whether it is the active window.
#include "coretestbed.h"
#include "scriptedpeer.h"
#include "windows/notifymenu.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

namespace {
struct Away : WindowFocus {
    bool mainWindowActive() const override { return false; }
};
}   // namespace

TEST(NotificationsMenu, EachItemSwitchesItsKindAndTheChoiceIsKept)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QLatin1String(Notifier::kFileName));
    CoreTestbed bed;
    DesktopNotices notices(QStringLiteral("unix:path=") + dir.filePath(QStringLiteral("no-bus")));
    Away away;
    const char* names[kNoticeKinds] = {"NotifySalesClosing", "NotifyGameStarted", "NotifyOneToGo", "NotifyWon",
                                       "NotifyMentioned"};
    {
        Notifier notifier(bed.c().events(), notices, away, path);
        QMenu sounds;
        QMenu* sub = AddNotificationsMenu(&sounds, &notifier);
        EXPECT_EQ(sub->objectName(), "Notifications1");
        EXPECT_EQ(sub->title(), "&Notifications");
        ASSERT_EQ(sub->actions().size(), kNoticeKinds);
        QStringList keys;
        for (int k = 0; k < kNoticeKinds; ++k) {
            QAction* item = sub->findChild<QAction*>(QLatin1String(names[k]));
            ASSERT_TRUE(item) << names[k];
            EXPECT_EQ(sub->actions().value(k), item);
            EXPECT_TRUE(item->isCheckable() && item->isChecked()) << names[k];
            EXPECT_FALSE(item->whatsThis().isEmpty());
            const int amp = item->text().indexOf(QLatin1Char('&'));
            ASSERT_GE(amp, 0) << names[k];
            keys << item->text().mid(amp + 1, 1).toLower();
        }
        QAccessibleInterface* menu = QAccessible::queryAccessibleInterface(sub);
        ASSERT_TRUE(menu);
        ASSERT_EQ(menu->childCount(), kNoticeKinds);
        for (int k = 0; k < kNoticeKinds; ++k) {   // what a screen reader says of each item
            QAccessibleInterface* item = menu->child(k);
            ASSERT_TRUE(item);
            EXPECT_EQ(item->object(), sub->actions().value(k));
            EXPECT_EQ(item->text(QAccessible::Description), sub->actions().value(k)->whatsThis());
            EXPECT_EQ(item->text(QAccessible::Accelerator), QStringLiteral("Alt+") + keys[k].toUpper());
            EXPECT_TRUE(item->state().checkable && item->state().checked);
            EXPECT_EQ(menu->indexOfChild(item), k);
        }
        keys.removeDuplicates();
        EXPECT_EQ(keys.size(), kNoticeKinds);   // each item its own key
        menu->child(3)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());   // My card won
        sub->findChild<QAction*>(QStringLiteral("NotifySalesClosing"))->trigger();
        EXPECT_FALSE(notifier.enabled(NoticeKind::Won));
        EXPECT_FALSE(notifier.enabled(NoticeKind::SalesClosing));
        EXPECT_TRUE(notifier.enabled(NoticeKind::OneToGo));
    }
    // The next run reads the switches and the items show them.
    Notifier notifier(bed.c().events(), notices, away, path);
    QMenu sounds;
    QMenu* sub = AddNotificationsMenu(&sounds, &notifier);
    QStringList checked;
    for (QAction* item : sub->actions())
        checked << QString::number(item->isChecked());
    EXPECT_EQ(checked.join(QString()), "01101");
}

// The notices are held back while the main window is the active window, and only then.
TEST(NotificationsMenu, TheMainWindowSaysWhetherItIsActive)
{
    QWidget main;
    QWidget other;
    MainWindowFocus focus(&main);
    main.show();
    other.show();
    main.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &main; }));
    EXPECT_TRUE(focus.mainWindowActive());
    other.activateWindow();
    ASSERT_TRUE(WaitFor([&] { return QApplication::activeWindow() == &other; }));
    EXPECT_FALSE(focus.mainWindowActive());
}
