#pragma once

#include "TvPageDlg.h"

class CMediumSubPage;
class CTvPropertiesPages;
class QButtonGroup;
struct CWizardContext;

// The medium page (156): where the backup goes (0 folder, 1 removable disks, 2 parts
// of a fixed size, 3 CD/DVD folder), with one sub-page per medium in a frame of its
// own. Leaving it stores the medium, lets the shown sub-page check and store its
// values and recomputes the job's output path.
class CMediumPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 156;

    explicit CMediumPage(CWizardContext& context);

    void OnSetActive() override;
    bool OnKillActive() override;

    // Chooses a medium as the user's click on its radio button does.
    void ChooseMedium(int medium);
    CMediumSubPage* GetSubPage(int medium) const;
    int GetShownMedium() const { return m_shown; }

private:
    void ShowMedium(int medium);

    CWizardContext& m_context;
    QButtonGroup* m_radios;
    CTvPropertiesPages* m_pages;
    CMediumSubPage* m_sub[4];
    int m_shown = 0;
};
