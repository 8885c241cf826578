#pragma once

#include "TreeDetailPage.h"

#include <set>
#include <utility>

// What to back up (132): the backup tree of the data sources beside a frame of detail
// pages, one per kind of the selected item, made when first needed and kept. The tree
// is built the first time the page shows, and again after another job was chosen.
class CSelectionPage : public CTreeDetailPage
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 132;

    explicit CSelectionPage(CWizardContext& context);

    void OnSetActive() override;

    // Builds the backup tree (and has the My Files page load its selection).
    void BuildTree();
    // The identities' pages let go of their trees: the engine is about to drop the
    // identities' data.
    void ReleaseIdentities();

signals:
    // The My Files tree must be (re)loaded: the first showing, or another job.
    void myFilesNeeded();
    // The engine is about to be reset: what points into its sources lets go now.
    void resetting();

protected:
    int DetailPageOf(const ItemTag& tag) override;

private:
    int IdentityPageOf(std::size_t position, bool fill);

    // Sources whose lists are filled for this tree: kind, and position for identities.
    std::set<std::pair<std::uint32_t, std::uintptr_t>> m_filled;
};
