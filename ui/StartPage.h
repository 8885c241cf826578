#pragma once

#include "TvPage.h"

struct CWizardContext;

// The start page (194): an HTML page of the page library whose command links lead to
// the backup side, the restore side, the last report, or out of the program.
class CStartPage : public CTvPage
{
    Q_OBJECT
public:
    static constexpr const char* kPageName = "start.html";

    explicit CStartPage(CWizardContext& context);

    // What a link does; "restore" is also what a backup file named on the command
    // line sends.
    void OnBrowserEvent(const std::string& command, const std::string& first,
                        const std::string& second) override;
    void OnDocumentComplete() override {}

private:
    CWizardContext& m_context;
};
