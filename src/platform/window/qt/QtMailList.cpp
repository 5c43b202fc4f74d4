#include "QtMailList.h"

#include "QtText.h"

#include <QAbstractListModel>
#include <QActionGroup>
#include <QApplication>
#include <QDialog>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

namespace platform {
namespace {

// The down arrow after each header button's label.
const QString kArrow = QStringLiteral(" \u25BC");
// A folder name wider than this, in pixels of a 96 dpi screen, is cut.
constexpr int kFolderTextWidth = 110;
constexpr int kRowHeight = 32;
constexpr int kIconWidth = 20;

// The folder name cut to the button's room and ended with "... ".
QString FolderLabel(const QString& name, const QFontMetrics& metrics, qreal scale)
{
    const int room = static_cast<int>(kFolderTextWidth * scale);
    if (metrics.horizontalAdvance(name) <= room)
        return name;
    const QString ellipsis = QStringLiteral("... ");
    QString cut = name;
    while (!cut.isEmpty() && metrics.horizontalAdvance(cut) > room - metrics.horizontalAdvance(ellipsis))
        cut.chop(1);
    return cut + ellipsis;
}

// The small picture of a message: a closed envelope while unread, an open
// one once read.
void DrawEnvelope(QPainter& painter, const QRect& at, bool unread)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(0x30, 0x40, 0x58), 1.2));
    painter.setBrush(unread ? QColor(0xff, 0xe9, 0x9a) : QColor(0xf4, 0xf4, 0xf4));
    const QRectF body(at.left() + 0.5, at.top() + 3.5, at.width() - 1.0, at.height() - 4.0);
    painter.drawRect(body);
    QPainterPath flap;
    if (unread) {
        flap.moveTo(body.topLeft());
        flap.lineTo(body.center().x(), body.top() + body.height() * 0.6);
        flap.lineTo(body.topRight());
    } else {
        flap.moveTo(body.topLeft());
        flap.lineTo(body.center().x(), body.top() - 3.0);
        flap.lineTo(body.topRight());
    }
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(flap);
    painter.restore();
}

} // namespace

// The rows, read when shown and kept until the count is set again.
class MailRowsModel final : public QAbstractListModel {
public:
    explicit MailRowsModel(std::function<std::optional<MailListRow>(int)> read, QObject* parent)
        : QAbstractListModel(parent)
        , read_(std::move(read))
    {
    }
    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : count_; }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::AccessibleTextRole || role == Qt::DisplayRole) {
            const MailListRow* row = Row(index.row());
            return row != nullptr ? ToQString(row->Sender) + QStringLiteral(" ") + ToQString(row->Subject) : QString();
        }
        return {};
    }
    void SetCount(int count)
    {
        beginResetModel();
        count_ = count;
        cache_.clear();
        endResetModel();
    }
    const MailListRow* Row(int row) const
    {
        if (row < 0 || row >= count_)
            return nullptr;
        auto found = cache_.find(row);
        if (found == cache_.end())
            found = cache_.insert(row, read_ ? read_(row) : std::nullopt);
        return found->has_value() ? &**found : nullptr;
    }

private:
    std::function<std::optional<MailListRow>(int)> read_;
    int count_ = 0;
    mutable QHash<int, std::optional<MailListRow>> cache_;
};

namespace {

// Two lines a row: the sender with the date at the right, then the subject;
// the read or unread picture at the left.
class MailRowDelegate final : public QStyledItemDelegate {
public:
    MailRowDelegate(const MailRowsModel* rows, QObject* parent)
        : QStyledItemDelegate(parent)
        , rows_(rows)
    {
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override
    {
        return { option.rect.width(), std::max(kRowHeight, 2 * option.fontMetrics.height() + 6) };
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette& palette = option.palette;
        painter->fillRect(option.rect, selected ? palette.highlight() : palette.base());
        painter->setPen(palette.color(QPalette::Mid));
        painter->drawLine(option.rect.bottomLeft(), option.rect.bottomRight());
        const MailListRow* row = rows_->Row(index.row());
        if (row == nullptr)
            return;
        const QRect r = option.rect.adjusted(0, 1, 0, -1);
        DrawEnvelope(*painter, QRect(r.left() + 3, r.top() + (r.height() - 13) / 2, 15, 13), row->Unread);
        QFont font = option.font;
        font.setBold(row->Unread);
        painter->setFont(font);
        const QFontMetrics metrics(font);
        painter->setPen(selected ? palette.color(QPalette::HighlightedText) : palette.color(QPalette::Text));
        const QString date = ToQString(row->Date);
        const int dateWidth = metrics.horizontalAdvance(QStringLiteral(" 00/00/0000"));
        const int left = r.left() + kIconWidth + 4;
        const int half = r.height() / 2;
        const QRect upper(left, r.top(), r.width() - kIconWidth - 8 - dateWidth, half);
        const QRect lower(left, r.top() + half, r.width() - kIconWidth - 8, r.height() - half);
        const QRect dateRect(r.right() - dateWidth - 4, r.top(), dateWidth, half);
        painter->drawText(upper, Qt::AlignVCenter | Qt::AlignLeft,
            metrics.elidedText(ToQString(row->Sender), Qt::ElideRight, upper.width()));
        painter->drawText(dateRect, Qt::AlignVCenter | Qt::AlignRight, date);
        painter->drawText(lower, Qt::AlignVCenter | Qt::AlignLeft,
            metrics.elidedText(ToQString(row->Subject), Qt::ElideRight, lower.width()));
    }

private:
    const MailRowsModel* rows_;
};

// A header button: a flat label followed by the down arrow.
QToolButton* HeaderButton(QWidget* parent, const QString& name)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    return button;
}

} // namespace

QtMailList::QtMailList(const MailListLayout& layout, std::function<void(int)> activate,
    std::function<void(int)> command, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("MailView"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("MailHeaderBar"));
    bar->setAutoFillBackground(true);
    QPalette grey = bar->palette();
    grey.setColor(QPalette::Window, QColor(0xd4, 0xd4, 0xd4));
    bar->setPalette(grey);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(4, 2, 4, 2);
    folder_ = HeaderButton(bar, QStringLiteral("FolderButton"));
    sort_ = HeaderButton(bar, QStringLiteral("SortButton"));
    row->addWidget(folder_);
    row->addStretch(1);
    row->addWidget(sort_);
    column->addWidget(bar);
    auto* line = new QWidget(this);
    line->setFixedHeight(1);
    line->setAutoFillBackground(true);
    QPalette black = line->palette();
    black.setColor(QPalette::Window, Qt::black);
    line->setPalette(black);
    column->addWidget(line);

    list_ = new QListView(this);
    list_->setObjectName(QStringLiteral("MailList"));
    rows_ = new MailRowsModel(layout.Row, list_);
    list_->setModel(rows_);
    list_->setItemDelegate(new MailRowDelegate(rows_, list_));
    list_->setUniformItemSizes(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    column->addWidget(list_, 1);

    QObject::connect(list_, &QListView::activated, list_, [activate](const QModelIndex& index) { activate(index.row()); });
    QObject::connect(folder_, &QToolButton::clicked, folder_, [command, id = layout.FolderButtonCommand] { command(id); });
    QObject::connect(sort_, &QToolButton::clicked, sort_, [command, id = layout.SortButtonCommand] { command(id); });
}

void QtMailList::SetCount(int count)
{
    const int current = list_->currentIndex().isValid() ? list_->currentIndex().row() : 0;
    rows_->SetCount(count);
    if (count > 0)
        list_->setCurrentIndex(rows_->index(std::min(current, count - 1)));
    list_->setFocus();
}

void QtMailList::SetHeader(const std::u16string& folderText, const std::u16string& sortText)
{
    const qreal scale = logicalDpiX() / 96.0;
    folder_->setText(FolderLabel(ToQString(folderText), folder_->fontMetrics(), scale) + kArrow);
    folder_->setToolTip(ToQString(folderText));
    sort_->setText(ToQString(sortText) + kArrow);
}

int QtMailList::ListWidth() const
{
    return list_->viewport()->width();
}

int QtMailList::RowsPerPage() const
{
    return std::max(1, list_->viewport()->height() / kRowHeight);
}

int QtMailList::Popup(const std::vector<MenuItem>& items)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("SortPopup"));
    auto* group = new QActionGroup(&menu);
    for (const MenuItem& item : items) {
        QAction* action = menu.addAction(ToQString(item.Text));
        action->setCheckable(true);
        action->setChecked(item.Checked);
        action->setData(item.Id);
        group->addAction(action);
    }
    const QPoint below = sort_->mapToGlobal(QPoint(sort_->width(), sort_->height()));
    QAction* chosen = menu.exec(below - QPoint(menu.sizeHint().width(), 0));
    return chosen != nullptr ? chosen->data().toInt() : 0;
}

TreeHandle QtMailList::RunFolderTree(const WindowModel& model, const std::function<void(TreeHandle)>& expanding)
{
    QDialog drop(this, Qt::Popup);
    drop.setObjectName(QStringLiteral("FolderDialog"));
    auto* column = new QVBoxLayout(&drop);
    column->setContentsMargins(1, 1, 1, 1);
    auto* tree = new QTreeWidget(&drop);
    tree->setObjectName(QStringLiteral("FolderTree"));
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(true);
    column->addWidget(tree);
    QHash<TreeHandle, QTreeWidgetItem*> shown;
    const QIcon storeIcon = style()->standardIcon(QStyle::SP_DriveHDIcon);
    const QIcon folderIcon = style()->standardIcon(QStyle::SP_DirIcon);
    // Adds the model's children of `parent` that are not shown yet.
    std::function<void(TreeHandle, QTreeWidgetItem*)> add = [&](TreeHandle parent, QTreeWidgetItem* under) {
        const std::vector<TreeHandle>& children = parent == 0 ? model.TreeRoots() : model.TreeItem(parent)->Children;
        for (TreeHandle child : children) {
            const FolderTreeItem* item = model.TreeItem(child);
            QTreeWidgetItem* row = shown.value(child);
            if (row == nullptr) {
                row = under != nullptr ? new QTreeWidgetItem(under) : new QTreeWidgetItem(tree);
                row->setText(0, ToQString(item->Name));
                row->setIcon(0, item->Parent == 0 ? storeIcon : folderIcon);
                row->setData(0, Qt::UserRole, QVariant::fromValue<qulonglong>(child));
                row->setChildIndicatorPolicy(
                    item->HasChildren ? QTreeWidgetItem::ShowIndicator : QTreeWidgetItem::DontShowIndicatorWhenChildless);
                shown.insert(child, row);
            }
            add(child, row);
        }
    };
    add(0, nullptr);
    for (QTreeWidgetItem* row = shown.value(model.CurrentTreeItem()); row != nullptr; row = row->parent())
        row->setExpanded(true);
    if (QTreeWidgetItem* current = shown.value(model.CurrentTreeItem()))
        tree->setCurrentItem(current);
    QObject::connect(tree, &QTreeWidget::itemExpanded, tree, [&](QTreeWidgetItem* row) {
        const TreeHandle item = row->data(0, Qt::UserRole).value<qulonglong>();
        if (model.TreeItem(item) != nullptr && model.TreeItem(item)->Children.empty()) {
            expanding(item);
            add(item, row);
            if (model.TreeItem(item)->Children.empty())
                row->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
        }
    });
    TreeHandle chosen = 0;
    QObject::connect(tree, &QTreeWidget::itemActivated, &drop, [&](QTreeWidgetItem* row) {
        chosen = row->data(0, Qt::UserRole).value<qulonglong>();
        drop.accept();
    });
    QObject::connect(tree, &QTreeWidget::itemClicked, &drop, [&](QTreeWidgetItem* row) {
        chosen = row->data(0, Qt::UserRole).value<qulonglong>();
        drop.accept();
    });
    const QPoint below = folder_->mapToGlobal(QPoint(0, folder_->height()));
    drop.resize(std::max(260, width() / 2), std::max(240, height() / 2));
    drop.move(below);
    tree->setFocus();
    drop.exec();
    return chosen;
}

} // namespace platform
