#include "ItemsTreeWnd.h"

#include "CheckTreeItemModel.h"
#include "ItemsTreeDelegate.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>

CItemsTreeWnd::CItemsTreeWnd(QWidget* parent)
    : CItemsTreeWnd(std::make_unique<CCheckTreeModel>(), parent)
{
}

CItemsTreeWnd::CItemsTreeWnd(std::unique_ptr<CCheckTreeModel> model, QWidget* parent)
    : QTreeView(parent), m_model(model ? std::move(model) : std::make_unique<CCheckTreeModel>()),
      m_itemModel(std::make_unique<CCheckTreeItemModel>(*m_model)),
      m_delegate(new CItemsTreeDelegate(this))
{
    setModel(m_itemModel.get());
    setItemDelegate(m_delegate);
    setHeaderHidden(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_reportFileError = [this](const QString& text) {
        QMessageBox::warning(this, QApplication::applicationDisplayName(), text);
    };
}

CItemsTreeWnd::~CItemsTreeWnd()
{
    // The view must let go of the item model before it and the tree go.
    setModel(nullptr);
}

int CItemsTreeWnd::Intilize()
{
    m_pictures.Build();
    m_delegate->SetPictures(&m_pictures);
    scheduleDelayedItemsLayout();
    return 1;
}

int CItemsTreeWnd::CheckItem(TvTreeItem item, int type)
{
    return m_model->CheckItem(item, type);
}

void CItemsTreeWnd::SetFileErrorReporter(std::function<void(const QString&)> reporter)
{
    m_reportFileError = std::move(reporter);
}

void CItemsTreeWnd::ReportFileError()
{
    const std::string& error = m_model->GetLastFileError();
    if (!error.empty() && m_reportFileError)
        m_reportFileError(QString::fromUtf8(error));
}

bool CItemsTreeWnd::SaveCheckStateToFile(const std::string& path)
{
    const bool saved = m_model->SaveCheckStateToFile(path);
    if (!saved)
        ReportFileError();
    return saved;
}

bool CItemsTreeWnd::LoadCheckStateFromFile(const std::string& path)
{
    const bool loaded = m_model->LoadCheckStateFromFile(path);
    if (!loaded)
        ReportFileError();
    return loaded;
}

QModelIndex CItemsTreeWnd::IndexOf(TvTreeItem item) const
{
    return m_itemModel->IndexOf(item);
}

TvTreeItem CItemsTreeWnd::ItemAt(const QPoint& viewportPos) const
{
    return CCheckTreeItemModel::ItemOf(indexAt(viewportPos));
}

TvTreeItem CItemsTreeWnd::GetSelectedItem() const
{
    return CCheckTreeItemModel::ItemOf(currentIndex());
}

bool CItemsTreeWnd::SelectItem(TvTreeItem item)
{
    const QModelIndex index = IndexOf(item);
    if (!index.isValid())
        return false;
    setCurrentIndex(index);
    return true;
}

int CItemsTreeWnd::GetSelectedItemCheckState() const
{
    return m_model->GetItemCheckState(GetSelectedItem());
}

int CItemsTreeWnd::GetSelectedItemCheckType() const
{
    const TvTreeItem item = GetSelectedItem();
    if (!item || m_model->IsItemCheckedOrSubChecked(item))
        return 0;
    return m_model->GetItemCheckState(item) == tvcheck::kUnavailable ? 4 : 1;
}

void CItemsTreeWnd::ExpandBranch(TvTreeItem item)
{
    if (!item)
        expandAll();
    else if (const QModelIndex index = IndexOf(item); index.isValid())
        expandRecursively(index);
    if (currentIndex().isValid())
        scrollTo(currentIndex());
}

void CItemsTreeWnd::SendNotifyCheckChange()
{
    emit checkChangeNotify(tvtree::kNotifyCheckChange);
}

QRect CItemsTreeWnd::StateRectOf(TvTreeItem item) const
{
    const QModelIndex index = IndexOf(item);
    if (!index.isValid())
        return QRect();
    return m_delegate->StateRect(visualRect(index), m_model->GetItemCheckState(item));
}

bool CItemsTreeWnd::OnStatePicture(const QModelIndex& index, const QPoint& pos) const
{
    return index.isValid() && StateRectOf(CCheckTreeItemModel::ItemOf(index)).contains(pos);
}

bool CItemsTreeWnd::OnItemPart(const QModelIndex& index, const QPoint& pos) const
{
    if (!index.isValid())
        return false;
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return m_delegate->ItemPartRect(option, index).contains(pos);
}

// A click or Space that changes nothing (an unavailable item) sends no notification:
// the parent would answer it by pushing the item's unchecked state onto its children.
void CItemsTreeWnd::ToggleByUser(TvTreeItem item)
{
    const int before = m_model->GetItemCheckState(item);
    CheckItem(item, tvcheck::kToggle);
    if (m_model->IsItem(item) && m_model->GetItemCheckState(item) != before)
        SendNotifyCheckChange();
}

void CItemsTreeWnd::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    if (event->button() == Qt::LeftButton && OnStatePicture(index, pos)) {
        setCurrentIndex(index);
        ToggleByUser(CCheckTreeItemModel::ItemOf(index));
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton && OnItemPart(index, pos)) {
        const TvTreeItem item = CCheckTreeItemModel::ItemOf(index);
        setCurrentIndex(index);
        emit itemRightClicked(tvtree::kMessageRightClick, item,
                              static_cast<quintptr>(m_model->GetItemData(item)));
        if (!hasFocus())
            setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void CItemsTreeWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    // Quick clicks on a check box toggle it each time and never expand the branch.
    const QPoint pos = event->position().toPoint();
    const QModelIndex index = indexAt(pos);
    if (event->button() == Qt::LeftButton && OnStatePicture(index, pos)) {
        ToggleByUser(CCheckTreeItemModel::ItemOf(index));
        event->accept();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
}

void CItemsTreeWnd::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    if (event->key() == Qt::Key_Space && !ctrl) {
        if (const TvTreeItem item = GetSelectedItem())
            ToggleByUser(item);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Delete) {
        emit deleteKeyPressed(tvtree::kMessageDeleteKey);
        event->accept();
        return;
    }
    QTreeView::keyPressEvent(event);
}

bool CItemsTreeWnd::edit(const QModelIndex&, EditTrigger, QEvent*)
{
    // Labels are never edited here: F2, double clicks and programmatic requests alike.
    return false;
}
