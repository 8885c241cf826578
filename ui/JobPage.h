#pragma once

#include "TvPageDlg.h"

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
struct CWizardContext;

// The backup job page (154): the saved jobs (the first entry makes a new one), the
// job's name, description and backup file name, and whether the file name follows
// the job name. Leaving it renames the job and stores the fields; a refused name
// keeps the user here.
class CJobPage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 154;

    explicit CJobPage(CWizardContext& context);

    void OnSetActive() override;
    bool OnKillActive() override;

    QListWidget* GetJobList() const { return m_jobs; }
    QLineEdit* GetNameEdit() const { return m_name; }
    QLineEdit* GetFileNameEdit() const { return m_fileName; }
    QPushButton* GetDeleteButton() const { return m_delete; }

private:
    void FillJobs();
    void ShowJob();
    void OnJobChosen(int row);
    void OnDelete();
    void OnNameEdited(const QString& name);

    CWizardContext& m_context;
    QListWidget* m_jobs;
    QLineEdit* m_name;
    QLineEdit* m_description;
    QLineEdit* m_fileName;
    QCheckBox* m_follow;
    QPushButton* m_delete;
    bool m_filling = false;
};
