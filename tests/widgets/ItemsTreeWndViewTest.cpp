// The selection tree as a view of its model: selection queries, expanding, bold
// labels, deleting, and file errors shown to the user.
#include "CheckTreeItemModel.h"
#include "SampleTree.h"
#include "WidgetTests.h"

#include "TestEnvironment.h"

#include <QSignalSpy>

#include <filesystem>

using widgettest::CSampleTree;

class ItemsTreeWndViewTest : public QObject
{
    Q_OBJECT
private slots:
    void selectedItemCheckType_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("type");
        QTest::newRow("none") << 0 << 1;
        QTest::newRow("unchecked") << 1 << 1;
        QTest::newRow("checked") << 2 << 0;
        QTest::newRow("partial") << 3 << 0;
        QTest::newRow("checked partial") << 4 << 0;
        QTest::newRow("unavailable") << 5 << 4;
    }

    void selectedItemCheckType()
    {
        QFETCH(int, state);
        QFETCH(int, type);
        CSampleTree tree;
        const TvTreeItem item = tree.items["My Files"];
        tree.view->GetModel().SetItemCheckState(item, state);
        tree.view->setCurrentIndex(QModelIndex());
        QCOMPARE(tree.view->GetSelectedItemCheckState(), 0);
        QCOMPARE(tree.view->GetSelectedItemCheckType(), 0);
        tree.view->SelectItem(item);
        QCOMPARE(tree.view->GetSelectedItemCheckState(), state);
        QCOMPARE(tree.view->GetSelectedItemCheckType(), type);
    }

    void expandBranchOpensEveryDescendant()
    {
        CSampleTree tree;
        tree.view->collapseAll();
        tree.Add("Deep", "Main Identity", tvcheck::kUnchecked);
        tree.view->ExpandBranch(tree.items["Backup"]);
        for (const char* name : {"Backup", "Outlook Express", "Main Identity"})
            QVERIFY2(tree.view->isExpanded(tree.view->IndexOf(tree.items[name])), name);
        tree.view->collapseAll();
        tree.view->ExpandBranch(tree.items["Outlook Express"]);
        QVERIFY(!tree.view->isExpanded(tree.view->IndexOf(tree.items["Backup"])));
        QVERIFY(tree.view->isExpanded(tree.view->IndexOf(tree.items["Main Identity"])));
    }

    void boldLabelsAreWider()
    {
        CSampleTree tree;
        const QModelIndex index = tree.view->IndexOf(tree.items["My Files"]);
        const int plain = tree.view->sizeHintForIndex(index).width();
        tree.view->SetItemBold(tree.items["My Files"], true);
        QVERIFY(index.data(CCheckTreeItemModel::kBoldRole).toBool());
        QVERIFY(tree.view->sizeHintForIndex(index).width() > plain);
    }

    void checkBoxesAppearWithIntilize()
    {
        CItemsTreeWnd view;
        const TvTreeItem item = view.GetModel().InsertItem("x");
        QVERIFY(view.StateRectOf(item).isEmpty());
        QCOMPARE(view.Intilize(), 1);
        QCOMPARE(view.StateRectOf(item).size(), QSize(16, 16));
    }

    void viewFollowsTheModel()
    {
        CSampleTree tree;
        CCheckTreeModel& model = tree.view->GetModel();
        QCOMPARE(tree.view->model()->rowCount(tree.view->IndexOf(tree.items["Backup"])), 4);
        QVERIFY(tree.view->DeleteItem(tree.items["Outlook Express"]));
        QCOMPARE(tree.view->model()->rowCount(tree.view->IndexOf(tree.items["Backup"])), 3);
        QVERIFY(!tree.view->IndexOf(tree.items["Work"]).isValid());
        const TvTreeItem added = tree.Add("Fonts", "Backup", tvcheck::kUnchecked);
        QCOMPARE(tree.view->IndexOf(added).row(), 3);
        model.SetItemText(added, "Installed fonts");
        QCOMPARE(tree.view->IndexOf(added).data().toString(), QString("Installed fonts"));
        QVERIFY(tree.view->DeleteAllItems());
        QCOMPARE(tree.view->model()->rowCount(), 0);
        QVERIFY(!model.GetFirstCheckedItem());
    }

    void fileErrorsAreReportedOnce()
    {
        CSampleTree tree;
        QStringList reports;
        tree.view->SetFileErrorReporter([&](const QString& text) { reports << text; });
        const std::string root = tbmtest::TestRoot();
        QVERIFY(!tree.view->SaveCheckStateToFile(root + "/missing/MainTree.xsel"));
        QCOMPARE(reports.size(), 1);
        QVERIFY(reports.at(0).contains("MainTree.xsel"));
        QVERIFY(!tree.view->LoadCheckStateFromFile(root + "/none.xsel"));
        QCOMPARE(reports.size(), 1);

        const std::string path = root + "/MainTree.xsel";
        tree.view->GetModel().SetItemCheckState(tree.items["Work"], tvcheck::kChecked);
        QVERIFY(tree.view->SaveCheckStateToFile(path));
        tree.view->GetModel().SetItemCheckState(tree.items["Work"], tvcheck::kUnchecked);
        QVERIFY(tree.view->LoadCheckStateFromFile(path));
        QCOMPARE(tree.State("Work"), tvcheck::kChecked);
        QCOMPARE(reports.size(), 1);
        std::filesystem::remove(path);
    }

    // A model of the owner's own class sees the user's clicks.
    void ownModelClassGetsTheClicks()
    {
        class CCountingModel : public CCheckTreeModel
        {
        public:
            explicit CCountingModel(int& calls) : m_calls(calls) {}
            int CheckItem(TvTreeItem item, int type) override
            {
                ++m_calls;
                return CCheckTreeModel::CheckItem(item, type);
            }

        private:
            int& m_calls;
        };
        int calls = 0;
        CItemsTreeWnd view(std::make_unique<CCountingModel>(calls));
        view.Intilize();
        const TvTreeItem item = view.GetModel().InsertItem("x");
        view.resize(200, 100);
        view.show();
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier,
                          view.StateRectOf(item).center());
        QCOMPARE(calls, 1);
        QCOMPARE(view.GetModel().GetItemCheckState(item), tvcheck::kChecked);
    }
};

static widgettest::CRegister<ItemsTreeWndViewTest> g_register;

#include "ItemsTreeWndViewTest.moc"
