#include "CheckTreeItemModel.h"

CCheckTreeItemModel::CCheckTreeItemModel(CCheckTreeModel& tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree)
{
    m_tree.AddObserver(this);
}

CCheckTreeItemModel::~CCheckTreeItemModel()
{
    m_tree.RemoveObserver(this);
}

QModelIndex CCheckTreeItemModel::IndexOf(TvTreeItem item) const
{
    const int row = m_tree.GetItemRow(item);
    return row < 0 ? QModelIndex() : createIndex(row, 0, static_cast<quintptr>(item.id));
}

TvTreeItem CCheckTreeItemModel::ItemOf(const QModelIndex& index)
{
    return index.isValid() ? TvTreeItem{index.internalId()} : TvTreeItem{};
}

QModelIndex CCheckTreeItemModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || (parent.isValid() && parent.column() != 0))
        return QModelIndex();
    const TvTreeItem item = m_tree.GetChildAt(ItemOf(parent), row);
    return item ? createIndex(row, 0, static_cast<quintptr>(item.id)) : QModelIndex();
}

QModelIndex CCheckTreeItemModel::parent(const QModelIndex& index) const
{
    return IndexOf(m_tree.GetParentItem(ItemOf(index)));
}

int CCheckTreeItemModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0)
        return 0;
    return m_tree.GetChildCount(ItemOf(parent));
}

int CCheckTreeItemModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant CCheckTreeItemModel::data(const QModelIndex& index, int role) const
{
    const TvTreeItem item = ItemOf(index);
    if (!m_tree.IsItem(item))
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(m_tree.GetItemText(item));
    case kStateRole:
        return m_tree.GetItemCheckState(item);
    case kBoldRole:
        return m_tree.IsItemBold(item);
    default:
        return QVariant();
    }
}

Qt::ItemFlags CCheckTreeItemModel::flags(const QModelIndex& index) const
{
    // Labels are never editable in this system.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void CCheckTreeItemModel::OnBeforeInsertItem(TvTreeItem parent, int row)
{
    beginInsertRows(IndexOf(parent), row, row);
}

void CCheckTreeItemModel::OnAfterInsertItem(TvTreeItem)
{
    endInsertRows();
}

void CCheckTreeItemModel::OnBeforeDeleteItem(TvTreeItem item)
{
    const int row = m_tree.GetItemRow(item);
    beginRemoveRows(IndexOf(m_tree.GetParentItem(item)), row, row);
}

void CCheckTreeItemModel::OnAfterDeleteItem()
{
    endRemoveRows();
}

void CCheckTreeItemModel::OnBeforeDeleteAll()
{
    beginResetModel();
}

void CCheckTreeItemModel::OnAfterDeleteAll()
{
    endResetModel();
}

void CCheckTreeItemModel::OnItemChanged(TvTreeItem item)
{
    const QModelIndex index = IndexOf(item);
    emit dataChanged(index, index);
}
