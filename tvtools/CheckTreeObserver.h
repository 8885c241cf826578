#pragma once

#include "TvTreeItem.h"

// Told about every change of a CCheckTreeModel, so that a view can follow it. The
// "before" calls come while the tree is still unchanged. Every call does nothing
// unless overridden.
class CCheckTreeObserver
{
public:
    virtual ~CCheckTreeObserver();

    // A new item is about to become child number `row` of `parent` (null: top level).
    virtual void OnBeforeInsertItem(TvTreeItem parent, int row);
    virtual void OnAfterInsertItem(TvTreeItem item);
    // `item` and all its descendants are about to go.
    virtual void OnBeforeDeleteItem(TvTreeItem item);
    virtual void OnAfterDeleteItem();
    virtual void OnBeforeDeleteAll();
    virtual void OnAfterDeleteAll();
    // Text, item data, bold flag or check state of `item` changed.
    virtual void OnItemChanged(TvTreeItem item);
};
