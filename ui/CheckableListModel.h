#pragma once

#include <QIdentityProxyModel>

class CCheckTreeModel;

// A source's selection tree on a detail page, with check boxes the user ticks: the
// tree's five states shown as Qt's check states, and a tick given to the tree as
// the selection tree control gives it (the item, then its descendants).
class CCheckableListModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    CCheckableListModel(CCheckTreeModel& tree, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    int StateOf(const QModelIndex& index) const;

    CCheckTreeModel& m_tree;
};
