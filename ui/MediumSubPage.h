#pragma once

#include "TvPageDlg.h"

class QFormLayout;
class QLineEdit;

// A sub-page of the medium page (165-168): shows the job's values of its medium and,
// when the medium page is left, checks and stores them (false keeps the user there).
class CMediumSubPage : public CTvPageDlg
{
    Q_OBJECT
public:
    using CTvPageDlg::CTvPageDlg;

    virtual void Load() = 0;
    virtual bool Store() = 0;

protected:
    // A folder field with a Browse button, added to `form`.
    QLineEdit* AddFolderRow(QFormLayout* form, const QString& label);
    // Makes the folder when missing; shows why it cannot be used and returns false.
    static bool UsableFolder(const std::string& folder);
};
