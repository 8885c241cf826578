#include "ItemsTreeDelegate.h"

#include "CheckStates.h"
#include "CheckTreeItemModel.h"
#include "StatePictures.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

namespace {

int StateOf(const QModelIndex& index)
{
    return index.data(CCheckTreeItemModel::kStateRole).toInt();
}

} // namespace

bool CItemsTreeDelegate::ShowsPicture(int state) const
{
    return m_pictures && m_pictures->IsBuilt() && state >= tvcheck::kUnchecked &&
           state <= tvcheck::kUnavailable;
}

int CItemsTreeDelegate::PictureWidth(const QModelIndex& index) const
{
    return ShowsPicture(StateOf(index)) ? CStatePictures::kSize + kGap : 0;
}

QRect CItemsTreeDelegate::StateRect(const QRect& cell, int state) const
{
    if (!ShowsPicture(state))
        return QRect();
    const int size = CStatePictures::kSize;
    return QRect(cell.left(), cell.top() + (cell.height() - size) / 2, size, size);
}

QRect CItemsTreeDelegate::ItemPartRect(const QStyleOptionViewItem& option,
                                       const QModelIndex& index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    const QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, opt.widget) + 1;
    const int width =
        PictureWidth(index) + 2 * margin + opt.fontMetrics.horizontalAdvance(opt.text);
    return QRect(option.rect.left(), option.rect.top(), std::min(width, option.rect.width()),
                 option.rect.height());
}

void CItemsTreeDelegate::initStyleOption(QStyleOptionViewItem* option,
                                         const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.data(CCheckTreeItemModel::kBoldRole).toBool()) {
        option->font.setBold(true);
        option->fontMetrics = QFontMetrics(option->font);
    }
}

void CItemsTreeDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const
{
    const int state = StateOf(index);
    QStyleOptionViewItem label(option);
    const QRect box = StateRect(option.rect, state);
    if (!box.isEmpty()) {
        // The row's background (the selection, say) runs under the picture as it runs
        // under the branch lines, so a selected row reads as one band.
        QStyleOptionViewItem background(option);
        initStyleOption(&background, index);
        const QWidget* widget = option.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &background, painter, widget);
        // The painter's device tells the ratio to draw at: screens, and grabs at 2x.
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(box.topLeft(), m_pictures->Picture(state, ratio));
        label.rect.setLeft(box.right() + 1 + kGap);
    }
    QStyledItemDelegate::paint(painter, label, index);
}

QSize CItemsTreeDelegate::sizeHint(const QStyleOptionViewItem& option,
                                   const QModelIndex& index) const
{
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    size.rwidth() += PictureWidth(index);
    size.setHeight(std::max(size.height(), CStatePictures::kSize + 2));
    return size;
}
