#pragma once

#include "CheckTreeModel.h"
#include "CheckTreeObserver.h"

#include <QAbstractItemModel>

// Shows a CCheckTreeModel to Qt's item views: one column, an index per item (its
// internal id is the item handle), and the model's changes passed on as Qt's model
// signals. The CCheckTreeModel stays the only store of the tree; nothing here can be
// edited.
class CCheckTreeItemModel : public QAbstractItemModel, private CCheckTreeObserver
{
    Q_OBJECT
public:
    enum Role
    {
        kStateRole = Qt::UserRole + 1, // check state 0-5
        kBoldRole,                     // bool
    };

    CCheckTreeItemModel(CCheckTreeModel& tree, QObject* parent = nullptr);
    ~CCheckTreeItemModel() override;

    QModelIndex IndexOf(TvTreeItem item) const;
    static TvTreeItem ItemOf(const QModelIndex& index);

    QModelIndex index(int row, int column,
                      const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    void OnBeforeInsertItem(TvTreeItem parent, int row) override;
    void OnAfterInsertItem(TvTreeItem item) override;
    void OnBeforeDeleteItem(TvTreeItem item) override;
    void OnAfterDeleteItem() override;
    void OnBeforeDeleteAll() override;
    void OnAfterDeleteAll() override;
    void OnItemChanged(TvTreeItem item) override;

    CCheckTreeModel& m_tree;
};
