#pragma once

#include "CheckTreeModel.h"
#include "ItemsTreeMessages.h"
#include "StatePictures.h"

#include <QMetaType>
#include <QTreeView>

#include <functional>
#include <memory>

class CCheckTreeItemModel;
class CItemsTreeDelegate;

Q_DECLARE_METATYPE(TvTreeItem)

// The selection tree control: a tree view over a CCheckTreeModel, which it owns and
// which stays the only store of items, states and keys (GetModel gives it to the
// owner and the data sources). Items show their check state as a picture; a click on
// the picture or Space toggles the item and notifies the parent. Labels are never
// editable. Messages to the parent are the signals, carrying the message codes of
// ItemsTreeMessages.h.
class CItemsTreeWnd : public QTreeView
{
    Q_OBJECT
public:
    explicit CItemsTreeWnd(QWidget* parent = nullptr);
    // With a model of the owner's own class (one that overrides CheckItem, say).
    explicit CItemsTreeWnd(std::unique_ptr<CCheckTreeModel> model, QWidget* parent = nullptr);
    ~CItemsTreeWnd() override;
    using QTreeView::edit;

    CCheckTreeModel& GetModel() { return *m_model; }
    const CCheckTreeModel& GetModel() const { return *m_model; }

    // Draws the state pictures and shows them; until then items have no check boxes.
    // Returns 1.
    int Intilize();

    // What the user's clicks and Space call; the model's CheckItem by default.
    virtual int CheckItem(TvTreeItem item, int type);
    void SetItemBold(TvTreeItem item, bool bold) { m_model->SetItemBold(item, bold); }
    bool DeleteItem(TvTreeItem item) { return m_model->DeleteItem(item); }
    bool DeleteAllItems() { return m_model->DeleteAllItems(); }
    // As the model's, but a file that cannot be written, read or understood is also
    // reported to the user (see SetFileErrorReporter).
    bool SaveCheckStateToFile(const std::string& path);
    bool LoadCheckStateFromFile(const std::string& path);
    // Replaces the message box that reports file errors (tests, the command line).
    void SetFileErrorReporter(std::function<void(const QString&)> reporter);

    TvTreeItem GetSelectedItem() const;
    bool SelectItem(TvTreeItem item);
    // The selected item's state; 0 when nothing is selected.
    int GetSelectedItemCheckState() const;
    // 0 when the selected item is checked or sub-checked (or nothing is selected), 4
    // when it is unavailable, else 1.
    int GetSelectedItemCheckType() const;
    // Expands the item and all its descendants (null: the whole tree), then scrolls
    // the selected item into view.
    void ExpandBranch(TvTreeItem item);
    void SendNotifyCheckChange();

    QModelIndex IndexOf(TvTreeItem item) const;
    TvTreeItem ItemAt(const QPoint& viewportPos) const;
    // The state picture of an item in viewport coordinates; empty when it has none.
    QRect StateRectOf(TvTreeItem item) const;

signals:
    // kNotifyCheckChange, after the user toggled a check box.
    void checkChangeNotify(int code);
    // kMessageRightClick, with the item and its item data.
    void itemRightClicked(int message, TvTreeItem item, quintptr itemData);
    // kMessageDeleteKey.
    void deleteKeyPressed(int message);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

private:
    bool OnStatePicture(const QModelIndex& index, const QPoint& pos) const;
    bool OnItemPart(const QModelIndex& index, const QPoint& pos) const;
    void ToggleByUser(TvTreeItem item);
    void ReportFileError();

    std::unique_ptr<CCheckTreeModel> m_model;
    std::unique_ptr<CCheckTreeItemModel> m_itemModel;
    CItemsTreeDelegate* m_delegate;
    CStatePictures m_pictures;
    std::function<void(const QString&)> m_reportFileError;
};
