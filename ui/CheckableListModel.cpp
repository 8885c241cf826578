#include "CheckableListModel.h"

#include "CheckStates.h"
#include "CheckTreeItemModel.h"
#include "CheckTreeModel.h"

CCheckableListModel::CCheckableListModel(CCheckTreeModel& tree, QObject* parent)
    : QIdentityProxyModel(parent), m_tree(tree)
{
}

int CCheckableListModel::StateOf(const QModelIndex& index) const
{
    return QIdentityProxyModel::data(index, CCheckTreeItemModel::kStateRole).toInt();
}

QVariant CCheckableListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::CheckStateRole)
        return QIdentityProxyModel::data(index, role);
    const int state = StateOf(index);
    if (state == tvcheck::kNone || state == tvcheck::kUnavailable)
        return {};
    if (tvcheck::IsChecked(state))
        return Qt::Checked;
    return state == tvcheck::kPartial ? Qt::PartiallyChecked : Qt::Unchecked;
}

bool CCheckableListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::CheckStateRole || !(flags(index) & Qt::ItemIsUserCheckable))
        return QIdentityProxyModel::setData(index, value, role);
    const TvTreeItem item = CCheckTreeItemModel::ItemOf(mapToSource(index));
    const bool check = value.toInt() == Qt::Checked;
    m_tree.CheckItem(item, check ? tvcheck::kCheck : tvcheck::kUncheck);
    m_tree.CheckItemChildern(item);
    return true;
}

Qt::ItemFlags CCheckableListModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags flags = QIdentityProxyModel::flags(index);
    const int state = StateOf(index);
    return state == tvcheck::kNone || state == tvcheck::kUnavailable
               ? flags
               : flags | Qt::ItemIsUserCheckable;
}
