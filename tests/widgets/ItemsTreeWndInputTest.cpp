// Mouse and keyboard on the selection tree: toggling check boxes, the notifications
// and messages to the parent, and labels that cannot be edited.
#include "CheckTreeItemModel.h"
#include "SampleTree.h"
#include "WidgetTests.h"

#include <QSignalSpy>

#include <QLineEdit>

using widgettest::CSampleTree;

namespace {

bool Editing(const CItemsTreeWnd& view)
{
    return view.findChild<QLineEdit*>() != nullptr;
}

} // namespace

class ItemsTreeWndInputTest : public QObject
{
    Q_OBJECT
private slots:
    void clickOnCheckBoxTogglesAndNotifies()
    {
        CSampleTree tree;
        QSignalSpy notify(tree.view.get(), &CItemsTreeWnd::checkChangeNotify);
        tree.Click(Qt::LeftButton, tree.BoxCentre("My Files"));
        QCOMPARE(tree.State("My Files"), tvcheck::kChecked);
        QCOMPARE(tree.State("Backup"), tvcheck::kPartial);
        QCOMPARE(notify.count(), 1);
        QCOMPARE(notify.at(0).at(0).toInt(), tvtree::kNotifyCheckChange);
        QCOMPARE(tree.view->GetSelectedItem(), tree.items["My Files"]);

        tree.Click(Qt::LeftButton, tree.BoxCentre("My Files"));
        QCOMPARE(tree.State("My Files"), tvcheck::kUnchecked);
        QCOMPARE(tree.State("Backup"), tvcheck::kUnchecked);
        QCOMPARE(notify.count(), 2);
    }

    void spaceTogglesTheSelectedItem()
    {
        CSampleTree tree;
        QSignalSpy notify(tree.view.get(), &CItemsTreeWnd::checkChangeNotify);
        tree.view->setFocus();
        tree.view->SelectItem(tree.items["Work"]);
        QTest::keyClick(tree.view.get(), Qt::Key_Space);
        QCOMPARE(tree.State("Work"), tvcheck::kChecked);
        QCOMPARE(tree.State("Outlook Express"), tvcheck::kPartial);
        QCOMPARE(tree.State("Backup"), tvcheck::kPartial);
        QCOMPARE(notify.count(), 1);
        QCOMPARE(notify.at(0).at(0).toInt(), tvtree::kNotifyCheckChange);
        QCOMPARE(tree.view->GetSelectedItemCheckState(), tvcheck::kChecked);

        QTest::keyClick(tree.view.get(), Qt::Key_Space);
        QCOMPARE(tree.State("Work"), tvcheck::kUnchecked);
        QCOMPARE(tree.State("Backup"), tvcheck::kUnchecked);
        QCOMPARE(notify.count(), 2);
    }

    void clickOnLabelOnlySelects()
    {
        CSampleTree tree;
        QSignalSpy notify(tree.view.get(), &CItemsTreeWnd::checkChangeNotify);
        tree.Click(Qt::LeftButton, tree.OnLabel("Main Identity"));
        QCOMPARE(tree.view->GetSelectedItem(), tree.items["Main Identity"]);
        QCOMPARE(tree.State("Main Identity"), tvcheck::kUnchecked);
        QCOMPARE(notify.count(), 0);
    }

    void unavailableAndBoxlessItemsNeverChange()
    {
        CSampleTree tree;
        QSignalSpy notify(tree.view.get(), &CItemsTreeWnd::checkChangeNotify);
        tree.Click(Qt::LeftButton, tree.BoxCentre("Favorites"));
        QCOMPARE(tree.State("Favorites"), tvcheck::kUnavailable);
        QCOMPARE(tree.view->GetSelectedItemCheckType(), 4);
        QTest::keyClick(tree.view.get(), Qt::Key_Space);
        QCOMPARE(tree.State("Favorites"), tvcheck::kUnavailable);

        QVERIFY(tree.view->StateRectOf(tree.items["Settings"]).isEmpty());
        tree.view->SelectItem(tree.items["Settings"]);
        QTest::keyClick(tree.view.get(), Qt::Key_Space);
        QCOMPARE(tree.State("Settings"), tvcheck::kNone);
        QCOMPARE(notify.count(), 0);
    }

    // The parent answers the notification as the pages do: by pushing the selected
    // item's state down to its children.
    void parentPushesTheStateDown()
    {
        CSampleTree tree;
        CItemsTreeWnd* view = tree.view.get();
        connect(view, &CItemsTreeWnd::checkChangeNotify, view, [view] {
            const TvTreeItem selected = view->GetSelectedItem();
            if (view->GetModel().ItemHasChildren(selected))
                view->GetModel().CheckItemChildern(selected);
        });
        tree.Click(Qt::LeftButton, tree.BoxCentre("Outlook Express"));
        QCOMPARE(tree.State("Outlook Express"), tvcheck::kCheckedPartial);
        QCOMPARE(tree.State("Main Identity"), tvcheck::kChecked);
        QCOMPARE(tree.State("Work"), tvcheck::kChecked);
        QCOMPARE(tree.State("Backup"), tvcheck::kPartial);
        const QModelIndex work = view->IndexOf(tree.items["Work"]);
        QCOMPARE(work.data(CCheckTreeItemModel::kStateRole).toInt(), tvcheck::kChecked);
    }

    void rightClickSendsTheItemAndItsData()
    {
        CSampleTree tree;
        QSignalSpy message(tree.view.get(), &CItemsTreeWnd::itemRightClicked);
        QVERIFY(tree.active);
        tree.view->clearFocus();
        tree.Click(Qt::RightButton, tree.OnLabel("Work"));
        QCOMPARE(message.count(), 1);
        QCOMPARE(message.at(0).at(0).toInt(), tvtree::kMessageRightClick);
        QCOMPARE(message.at(0).at(1).value<TvTreeItem>(), tree.items["Work"]);
        QCOMPARE(message.at(0).at(2).value<quintptr>(), quintptr{0xBEEF});
        QCOMPARE(tree.view->GetSelectedItem(), tree.items["Work"]);
        QVERIFY(tree.view->hasFocus());

        tree.Click(Qt::RightButton, tree.BoxCentre("My Files"));
        QCOMPARE(message.count(), 2);
        QCOMPARE(tree.State("My Files"), tvcheck::kUnchecked);
        // Far right of the label is no part of the item.
        const QRect row = tree.view->visualRect(tree.view->IndexOf(tree.items["Work"]));
        tree.Click(Qt::RightButton, QPoint(row.right() - 2, row.center().y()));
        QCOMPARE(message.count(), 2);
    }

    void deleteKeySendsAMessageAndDeletesNothing()
    {
        CSampleTree tree;
        QSignalSpy message(tree.view.get(), &CItemsTreeWnd::deleteKeyPressed);
        tree.view->SelectItem(tree.items["Work"]);
        QTest::keyClick(tree.view.get(), Qt::Key_Delete);
        QCOMPARE(message.count(), 1);
        QCOMPARE(message.at(0).at(0).toInt(), tvtree::kMessageDeleteKey);
        QVERIFY(tree.view->GetModel().IsItem(tree.items["Work"]));
    }

    void labelsAreNeverEdited()
    {
        CSampleTree tree;
        const QModelIndex work = tree.view->IndexOf(tree.items["Work"]);
        tree.view->SelectItem(tree.items["Work"]);
        QTest::keyClick(tree.view.get(), Qt::Key_F2);
        QVERIFY(!Editing(*tree.view));
        QTest::ignoreMessage(QtWarningMsg, "edit: editing failed");
        tree.view->edit(work);
        QVERIFY(!Editing(*tree.view));
        QTest::mouseDClick(tree.view->viewport(), Qt::LeftButton, Qt::NoModifier,
                           tree.OnLabel("Work"));
        QVERIFY(!Editing(*tree.view));
        QVERIFY(!(work.flags() & Qt::ItemIsEditable));
    }

    void doubleClickOnCheckBoxKeepsTheBranch()
    {
        CSampleTree tree;
        const QModelIndex express = tree.view->IndexOf(tree.items["Outlook Express"]);
        QVERIFY(tree.view->isExpanded(express));
        QTest::mouseDClick(tree.view->viewport(), Qt::LeftButton, Qt::NoModifier,
                           tree.BoxCentre("Outlook Express"));
        QVERIFY(tree.view->isExpanded(express));
    }
};

static widgettest::CRegister<ItemsTreeWndInputTest> g_register;

#include "ItemsTreeWndInputTest.moc"
