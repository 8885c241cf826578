// The check box pictures: one per state, sharp at ratios 1 and 2, and a screenshot of
// a small tree in every state at both ratios (written to $TBM_SCREENSHOT_DIR when set).
#include "StatePictures.h"
#include "ItemsTreeWnd.h"
#include "WidgetTestUtil.h"
#include "WidgetTests.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <cstdlib>

namespace {

using widgettest::Render;
using widgettest::Save;

QImage Image(const CStatePictures& pictures, int state, qreal ratio)
{
    return pictures.Picture(state, ratio).toImage().convertToFormat(QImage::Format_ARGB32);
}

struct CStateTree
{
    CStateTree()
    {
        view.Intilize();
        CCheckTreeModel& model = view.GetModel();
        const TvTreeItem root = model.InsertItem("Backup (0, no box)", {}, kTvItemLast, 0);
        view.SetItemBold(root, true);
        const char* names[] = {"",
                               "Unchecked (1)",
                               "Checked (2)",
                               "Partly chosen (3)",
                               "Checked, partly below (4)",
                               "Unavailable (5)"};
        for (int state = 1; state <= 5; ++state)
            items[state] = model.InsertItem(names[state], root, kTvItemLast, state);
        items[0] = root;
        const TvTreeItem inbox = model.InsertItem("Inbox.dbx", items[3], kTvItemLast, 2);
        model.InsertItem("Sent Items.dbx", items[3], kTvItemLast, 1);
        view.resize(300, 170);
        view.ExpandBranch({});
        view.SelectItem(inbox);
        view.show();
    }
    CItemsTreeWnd view;
    TvTreeItem items[6];
};

QImage Region(const QImage& image, const QRect& logical, qreal ratio)
{
    const QRect device(logical.topLeft() * ratio, logical.size() * ratio);
    return image.copy(device);
}

} // namespace

class StatePicturesTest : public QObject
{
    Q_OBJECT
private slots:
    void onePicturePerState()
    {
        CStatePictures pictures;
        QVERIFY(pictures.Picture(1, 1.0).isNull());
        pictures.Build();
        QVERIFY(pictures.Picture(0, 1.0).isNull());
        QVERIFY(pictures.Picture(6, 1.0).isNull());
        for (const qreal ratio : {1.0, 2.0, 1.5}) {
            for (int state = 1; state <= 5; ++state) {
                const QPixmap picture = pictures.Picture(state, ratio);
                QCOMPARE(picture.deviceIndependentSize(), QSizeF(16, 16));
                QCOMPARE(picture.devicePixelRatio(), ratio);
            }
            QCOMPARE(Image(pictures, 2, ratio), Image(pictures, 4, ratio));
            for (int a : {1, 2, 3, 5})
                for (int b : {1, 2, 3, 5})
                    if (a < b)
                        QVERIFY(Image(pictures, a, ratio) != Image(pictures, b, ratio));
        }
    }

    // The left border is one solid device column at ratio 1 and two at ratio 2, with
    // nothing blurred into its neighbours.
    void bordersAreSharp_data()
    {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("1x") << 1.0 << 1 << 1;
        QTest::newRow("2x") << 2.0 << 2 << 3;
    }

    void bordersAreSharp()
    {
        QFETCH(qreal, ratio);
        QFETCH(int, first);
        QFETCH(int, last);
        CStatePictures pictures;
        pictures.Build();
        for (int state = 1; state <= 5; ++state) {
            const QImage image = Image(pictures, state, ratio);
            const int y = image.height() / 2;
            QCOMPARE(qAlpha(image.pixel(first - 1, y)), 0);
            for (int x = first; x <= last; ++x)
                QCOMPARE(qAlpha(image.pixel(x, y)), 255);
            QCOMPARE(qAlpha(image.pixel(last + 1, y)), 255);
            QVERIFY(image.pixel(last + 1, y) != image.pixel(last, y));
        }
    }

    void screenshotsOfEveryState()
    {
        CStateTree tree;
        QVERIFY(QTest::qWaitForWindowExposed(&tree.view));
        const QImage normal = tree.view.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage high = Render(tree.view, 2.0);
        Save(normal, "items-tree-1x.png");
        Save(high, "items-tree-2x.png");

        const QPoint offset = tree.view.viewport()->mapTo(&tree.view, QPoint(0, 0));
        for (const auto& [image, ratio] : {std::pair{normal, 1.0}, std::pair{high, 2.0}}) {
            QImage boxes[6];
            for (int state = 1; state <= 5; ++state) {
                const QRect box = tree.view.StateRectOf(tree.items[state]).translated(offset);
                QVERIFY(!box.isEmpty());
                boxes[state] = Region(image, box, ratio);
            }
            QCOMPARE(boxes[2], boxes[4]);
            QVERIFY(boxes[1] != boxes[2]);
            QVERIFY(boxes[2] != boxes[3]);
            QVERIFY(boxes[3] != boxes[5]);
            QVERIFY(tree.view.StateRectOf(tree.items[0]).isEmpty());
        }
    }
};

static widgettest::CRegister<StatePicturesTest> g_register;

#include "StatePicturesTest.moc"
