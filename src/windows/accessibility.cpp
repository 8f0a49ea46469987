#include "windows/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <vector>

namespace {

class CellInterface : public QAccessibleInterface {
public:
    CellInterface(QWidget* owner, ReadableGrid* grid, int index) : owner_(owner), grid_(grid), index_(index) {}

    bool isValid() const override { return owner_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner_ ? owner_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && owner_ ? grid_->cellReading(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override
    {
        if (!owner_)
            return {};
        const QRect r = grid_->cellRect(index_);
        return QRect(owner_->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.focusable = true;
        s.focused = owner_ && owner_->hasFocus() && grid_->focusCell() == index_;
        s.invisible = !owner_ || !owner_->isVisible();
        return s;
    }

private:
    QPointer<QWidget> owner_;
    ReadableGrid* grid_;   // the owner itself, read only while it lives
    int index_;
};

// The grid as a table of cells; the cells live as long as the grid's interface.
class GridInterface : public QAccessibleWidget {
public:
    GridInterface(QWidget* widget, ReadableGrid* grid) : QAccessibleWidget(widget, QAccessible::Table), grid_(grid) {}
    ~GridInterface() override
    {
        for (QAccessible::Id id : ids_)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return grid_->cellCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= grid_->cellCount())
            return nullptr;
        if (ids_.size() <= size_t(index))
            ids_.resize(size_t(index) + 1, 0);
        if (!ids_[size_t(index)])
            ids_[size_t(index)] = QAccessible::registerAccessibleInterface(new CellInterface(widget(), grid_, index));
        return QAccessible::accessibleInterface(ids_[size_t(index)]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (size_t i = 0; i < ids_.size(); ++i)
            if (ids_[i] && QAccessible::accessibleInterface(ids_[i]) == child)
                return int(i);
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const QPoint at = widget()->mapFromGlobal(QPoint(x, y));
        for (int i = 0; i < grid_->cellCount(); ++i)
            if (grid_->cellRect(i).contains(at))
                return child(i);
        return nullptr;
    }
    QAccessibleInterface* focusChild() const override
    {
        return widget()->hasFocus() ? child(grid_->focusCell()) : nullptr;
    }
    QString text(QAccessible::Text t) const override
    {
        const QString own = QAccessibleWidget::text(t);
        if (!own.isEmpty())
            return own;
        return t == QAccessible::Name ? grid_->gridReading() : t == QAccessible::Description ? grid_->gridHelp() : own;
    }

private:
    ReadableGrid* grid_;
    mutable std::vector<QAccessible::Id> ids_;
};

QAccessibleInterface* Factory(const QString& className, QObject* object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (className == QLatin1String("Announcer"))
        return new QAccessibleWidget(widget, QAccessible::AlertMessage);
    if (auto* grid = dynamic_cast<ReadableGrid*>(widget))
        return new GridInterface(widget, grid);
    return nullptr;
}

void ReportCell(QWidget* grid, int index, QAccessible::Event type)
{
    if (index < 0)
        return;
    QAccessibleEvent event(grid, type);
    event.setChild(index);
    QAccessible::updateAccessibility(&event);
}

}   // namespace

void ReportCellFocus(QWidget* grid, int index) { ReportCell(grid, index, QAccessible::Focus); }
void ReportCellChanged(QWidget* grid, int index) { ReportCell(grid, index, QAccessible::NameChanged); }

Announcer::Announcer(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("announcer"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    resize(1, 1);
}

void Announcer::say(const QString& text)
{
    setAccessibleName(text);
    // Said again when the same words come twice (two claims that both fail).
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

void InstallScreenReaderSupport()
{
    static bool installed = false;
    if (!installed)
        QAccessible::installFactory(Factory);
    installed = true;
}
