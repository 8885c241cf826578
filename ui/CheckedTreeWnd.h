#pragma once

#include "ItemsTreeWnd.h"

#include <functional>

// A selection tree that tells its page which item the user ticked or unticked (the
// check-change notification names none, and the item clicked need not be selected).
class CCheckedTreeWnd : public CItemsTreeWnd
{
public:
    using AfterCheck = std::function<void(TvTreeItem item)>;

    CCheckedTreeWnd(AfterCheck afterCheck, QWidget* parent)
        : CItemsTreeWnd(parent), m_afterCheck(std::move(afterCheck))
    {
    }

    int CheckItem(TvTreeItem item, int type) override
    {
        const int result = CItemsTreeWnd::CheckItem(item, type);
        m_afterCheck(item);
        return result;
    }

private:
    AfterCheck m_afterCheck;
};
