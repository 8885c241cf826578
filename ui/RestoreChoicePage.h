#pragma once

#include "TreeDetailPage.h"

class CBackupTreeItem;
class COEData;

// What to restore (152): the restore tree of the open backup beside a frame with the
// detail page of the selected item's kind. Ticking an item ticks what it holds; an
// Outlook Express identity can only be ticked once a target identity was chosen for
// it. Next leads through the My Files page when the backup holds My Files.
class CRestoreChoicePage : public CTreeDetailPage
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 152;

    explicit CRestoreChoicePage(CWizardContext& context);

    void OnSetActive() override;

    // Empties the tree before the catalogue its items point into goes.
    void Clear();
    // Fills the tree from the engine's catalogue of the backup just opened.
    void Build();
    bool HoldsMyFiles() const { return m_bMyFiles; }

protected:
    int DetailPageOf(const ItemTag& tag) override;
    void OnChecked(TvTreeItem item) override;

private:
    bool RefusesIdentity(TvTreeItem item);
    int IdentityPageOf(const CBackupTreeItem& stored);
    void ChooseTarget(const CBackupTreeItem& stored);
    COEData* IdentityOf(const CBackupTreeItem& stored) const;
    std::size_t PositionOf(const CBackupTreeItem& stored) const;

    bool m_bMyFiles = false;
};
