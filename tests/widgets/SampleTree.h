#pragma once

// A small selection tree shown offscreen, as the backup page fills one.
#include "ItemsTreeWnd.h"

#include <QTest>

#include <map>
#include <memory>
#include <string>

namespace widgettest {

struct CSampleTree
{
    CSampleTree()
    {
        CCheckTreeModel& model = view->GetModel();
        view->Intilize();
        Add("Backup", "", tvcheck::kUnchecked);
        Add("Outlook Express", "Backup", tvcheck::kUnchecked);
        Add("Main Identity", "Outlook Express", tvcheck::kUnchecked);
        Add("Work", "Outlook Express", tvcheck::kUnchecked);
        Add("My Files", "Backup", tvcheck::kUnchecked);
        Add("Favorites", "Backup", tvcheck::kUnavailable);
        Add("Settings", "Backup", tvcheck::kNone);
        view->SetItemBold(items["Backup"], true);
        model.SetItemData(items["Work"], 0xBEEF);
        view->resize(320, 240);
        view->ExpandBranch({});
        view->show();
        view->activateWindow();
        active = QTest::qWaitForWindowActive(view.get());
    }

    TvTreeItem Add(const std::string& text, const std::string& parent, int state)
    {
        const TvTreeItem parentItem = parent.empty() ? TvTreeItem{} : items.at(parent);
        items[text] = view->GetModel().InsertItem(text, parentItem, kTvItemLast, state);
        view->GetModel().SetCheckStringState(items[text], text);
        return items[text];
    }

    int State(const std::string& text) const
    {
        return view->GetModel().GetItemCheckState(items.at(text));
    }

    QPoint BoxCentre(const std::string& text) const
    {
        return view->StateRectOf(items.at(text)).center();
    }

    // A point on the label, just right of the check box.
    QPoint OnLabel(const std::string& text) const
    {
        const QRect box = view->StateRectOf(items.at(text));
        return QPoint(box.right() + 8, box.center().y());
    }

    void Click(Qt::MouseButton button, const QPoint& pos) const
    {
        QTest::mouseClick(view->viewport(), button, Qt::NoModifier, pos);
    }

    std::unique_ptr<CItemsTreeWnd> view = std::make_unique<CItemsTreeWnd>();
    std::map<std::string, TvTreeItem> items;
    bool active = false;
};

} // namespace widgettest
