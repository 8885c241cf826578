#pragma once

#include <QStyledItemDelegate>

class CStatePictures;

// Paints a selection tree item: its state picture at the left of the cell (outside the
// selection highlight, as check boxes are), then the label in the usual look, bold
// where the item says so. Also tells the view where those parts are, for hit tests.
class CItemsTreeDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    static constexpr int kGap = 2; // between the picture and the label

    explicit CItemsTreeDelegate(QObject* parent = nullptr) : QStyledItemDelegate(parent) {}

    // Null (the default) shows no pictures: items then have no check box to click.
    void SetPictures(const CStatePictures* pictures) { m_pictures = pictures; }

    // Where the state picture of an item in `state` sits in its cell; empty when the
    // item shows none.
    QRect StateRect(const QRect& cell, int state) const;
    // The picture and the label together: the part of the cell that is the item.
    QRect ItemPartRect(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    bool ShowsPicture(int state) const;
    int PictureWidth(const QModelIndex& index) const;

    const CStatePictures* m_pictures = nullptr;
};
