#pragma once

#include "TreeDetailPage.h"

#include <set>

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

signals:
    // The My Files tree must be (re)loaded: the first showing, or another job.
    void myFilesNeeded();

protected:
    unsigned DetailPageOf(std::uint32_t kind) override;

private:
    std::set<std::uint32_t> m_filledKinds; // sources whose lists are filled for this tree
};
