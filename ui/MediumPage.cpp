#include "MediumPage.h"

#include "CdMediumPage.h"
#include "CdrwInfoDlg.h"
#include "FolderMediumPage.h"
#include "PageLayout.h"
#include "PartsMediumPage.h"
#include "Preferences.h"
#include "ProjectData.h"
#include "RemovableMediumPage.h"
#include "TvPropertiesPages.h"
#include "UiDialogs.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

CMediumPage::CMediumPage(CWizardContext& context) : CTvPageDlg(kDialogId), m_context(context)
{
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pagelayout::Title(QStringLiteral("Where to back up"), this));
    m_radios = new QButtonGroup(this);
    auto* row = new QHBoxLayout;
    const char* const names[] = {"&Folder", "&Removable disks", "Fixed-size &parts", "&CD/DVD"};
    for (int medium = 0; medium < 4; ++medium) {
        auto* radio = new QRadioButton(QString::fromLatin1(names[medium]), this);
        m_radios->addButton(radio, medium);
        row->addWidget(radio);
    }
    row->addStretch();
    layout->addLayout(row);
    m_pages = new CTvPropertiesPages(this);
    m_pages->Create(this, QRect(0, 0, 600, 300), 0, 1000);
    m_pages->SetControlVisible(false);
    m_sub[0] = new CFolderMediumPage;
    m_sub[1] = new CRemovableMediumPage;
    m_sub[2] = new CPartsMediumPage;
    m_sub[3] = new CCdMediumPage;
    for (CMediumSubPage* sub : m_sub)
        m_pages->InsertPage(sub->GetDialogId(), sub, CTvPropertiesPages::kHideStrip);
    layout->addWidget(m_pages, 1);
    connect(m_radios, &QButtonGroup::idClicked, this, &CMediumPage::ChooseMedium);
}

CMediumSubPage* CMediumPage::GetSubPage(int medium) const
{
    return medium >= 0 && medium < 4 ? m_sub[medium] : nullptr;
}

void CMediumPage::OnSetActive()
{
    for (CMediumSubPage* sub : m_sub)
        sub->Load();
    ShowMedium(static_cast<int>(std::min<std::uint32_t>(g_ProjectData.GetMedium(), 3)));
}

void CMediumPage::ChooseMedium(int medium)
{
    if (medium == 3 && g_Preferences.m_nShowCDRW == 1 && m_shown != 3) {
        CCdrwInfoDlg advice(this);
        CUiDialogs::Exec(advice);
    }
    ShowMedium(medium);
}

void CMediumPage::ShowMedium(int medium)
{
    m_shown = medium;
    m_radios->button(medium)->setChecked(true);
    m_pages->SetPage(medium);
}

bool CMediumPage::OnKillActive()
{
    g_ProjectData.SetMedium(static_cast<std::uint32_t>(m_shown));
    if (!m_sub[m_shown]->Store())
        return false;
    g_ProjectData.RecomputeOutputPath();
    return true;
}
