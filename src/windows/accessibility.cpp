#include "windows/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include <vector>

namespace {

// A part of a grid without parts of its own (a cell or a header), living while its grid does.
class LeafInterface : public QAccessibleInterface {
public:
    explicit LeafInterface(QWidget* owner) : owner_(owner) {}
    bool isValid() const override { return owner_ != nullptr; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return owner_ ? owner_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

protected:
    QPointer<QWidget> owner_;
};

// A column's or a row's header ("G"): a cell of its own that says its letter.
class HeaderInterface : public LeafInterface {
public:
    HeaderInterface(QWidget* owner, const QString& text, QAccessible::Role role)
        : LeafInterface(owner), text_(text), role_(role)
    {
    }
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? text_ : QString(); }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return role_; }
    QAccessible::State state() const override
    {
        QAccessible::State s;
        s.invisible = true;   // the letters are drawn with the grid, not as cells of their own
        return s;
    }

private:
    QString text_;
    QAccessible::Role role_;
};

// Interfaces made on demand and kept while their grid's interface lives.
class Registry {
public:
    ~Registry()
    {
        for (QAccessible::Id id : ids_)
            if (id)
                QAccessible::deleteAccessibleInterface(id);
    }
    template <class Make>
    QAccessibleInterface* get(int slot, Make make) const
    {
        if (slot < 0)
            return nullptr;
        if (ids_.size() <= size_t(slot))
            ids_.resize(size_t(slot) + 1, 0);
        if (!ids_[size_t(slot)])
            ids_[size_t(slot)] = QAccessible::registerAccessibleInterface(make());
        return QAccessible::accessibleInterface(ids_[size_t(slot)]);
    }
    int slotOf(const QAccessibleInterface* i) const
    {
        for (size_t k = 0; k < ids_.size(); ++k)
            if (ids_[k] && QAccessible::accessibleInterface(ids_[k]) == i)
                return int(k);
        return -1;
    }

private:
    mutable std::vector<QAccessible::Id> ids_;
};

class CellInterface : public LeafInterface, public QAccessibleTableCellInterface {
public:
    CellInterface(QWidget* owner, ReadableGrid* grid, int index) : LeafInterface(owner), grid_(grid), index_(index) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableCellInterface ? static_cast<QAccessibleTableCellInterface*>(this) : nullptr;
    }
    bool isSelected() const override { return false; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    int columnIndex() const override { return grid_->cellColumn(index_); }
    int rowIndex() const override { return grid_->cellRow(index_); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && owner_ ? grid_->cellReading(index_) : QString();
    }
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
    ReadableGrid* grid_;   // the owner itself, read only while it lives
    int index_;
};

// The grid as a table of cells, with its letters as headers; the cells and headers live as
// long as the grid's interface.
class GridInterface : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    GridInterface(QWidget* widget, ReadableGrid* grid) : QAccessibleWidget(widget, QAccessible::Table), grid_(grid) {}

    void* interface_cast(QAccessible::InterfaceType t) override
    {
        return t == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                                : QAccessibleWidget::interface_cast(t);
    }

    int childCount() const override { return grid_->cellCount(); }
    QAccessibleInterface* child(int index) const override
    {
        if (index < 0 || index >= grid_->cellCount())
            return nullptr;
        return cells_.get(index, [&] { return new CellInterface(widget(), grid_, index); });
    }
    int indexOfChild(const QAccessibleInterface* child) const override { return cells_.slotOf(child); }

    // The table: rows and columns of cells, the letters as their headers, nothing selected.
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override { return child(grid_->cellIndex(row, column)); }
    int selectedCellCount() const override { return 0; }
    QList<QAccessibleInterface*> selectedCells() const override { return {}; }
    QString columnDescription(int column) const override { return grid_->columnHeader(column); }
    QString rowDescription(int row) const override { return grid_->rowHeader(row); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return 0; }
    int columnCount() const override { return grid_->columnCount(); }
    int rowCount() const override { return grid_->rowCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override { return {}; }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int) const override { return false; }
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

    // The header of a column (slots 0..) or a row (slots after the columns); none without a text.
    QAccessibleInterface* header(bool column, int k) const
    {
        const QString text = column ? grid_->columnHeader(k) : grid_->rowHeader(k);
        if (text.isEmpty())
            return nullptr;
        const int slot = column ? k : grid_->columnCount() + k;
        const QAccessible::Role role = column ? QAccessible::ColumnHeader : QAccessible::RowHeader;
        return headers_.get(slot, [&] { return new HeaderInterface(widget(), text, role); });
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
    Registry cells_;
    Registry headers_;
};

QList<QAccessibleInterface*> CellInterface::columnHeaderCells() const
{
    auto* table = dynamic_cast<GridInterface*>(parent());
    QAccessibleInterface* h = table ? table->header(true, columnIndex()) : nullptr;
    return h ? QList<QAccessibleInterface*>{h} : QList<QAccessibleInterface*>{};
}

QList<QAccessibleInterface*> CellInterface::rowHeaderCells() const
{
    auto* table = dynamic_cast<GridInterface*>(parent());
    QAccessibleInterface* h = table ? table->header(false, rowIndex()) : nullptr;
    return h ? QList<QAccessibleInterface*>{h} : QList<QAccessibleInterface*>{};
}

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
