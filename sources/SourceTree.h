#pragma once

#include "CheckTreeModel.h"

#include <memory>

// The selection tree a source fills: the one the window shows, or one of the
// source's own when nobody shows it (an unattended run, the command line, a
// restore). Its items point at tags and entries of the source, so the items go
// when the holder does, before the source's members.
class CSourceTree
{
public:
    CSourceTree() { Set(nullptr); }
    ~CSourceTree() { m_pTree->DeleteAllItems(); }
    CSourceTree(const CSourceTree&) = delete;
    CSourceTree& operator=(const CSourceTree&) = delete;

    // The tree shown to the user (not owned); null: a tree of the source's own.
    void Set(CCheckTreeModel* tree)
    {
        if (!tree) {
            if (!m_pOwnTree)
                m_pOwnTree = std::make_unique<CCheckTreeModel>();
            tree = m_pOwnTree.get();
        }
        m_pTree = tree;
        m_bFilled = false;
    }
    CCheckTreeModel& Get() const { return *m_pTree; }
    // Empties the tree; it counts as not filled until the source fills it again.
    void Clear()
    {
        m_pTree->DeleteAllItems();
        m_bFilled = false;
    }
    bool IsFilled() const { return m_bFilled; }
    void SetFilled() { m_bFilled = true; }

private:
    std::unique_ptr<CCheckTreeModel> m_pOwnTree;
    CCheckTreeModel* m_pTree = nullptr;
    bool m_bFilled = false;
};
