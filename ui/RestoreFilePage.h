#pragma once

#include "TvPageDlg.h"

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
struct CWizardContext;

// Choose the backup (151): a file dialog, or the path given on the command line or by
// a double-click, opened once. An open backup shows its job's name, description,
// date and time and enables Next; a file that is no backup leaves Next disabled.
class CRestoreFilePage : public CTvPageDlg
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 151;
    static constexpr const char* kFilter = "Tovan Backup File";

    explicit CRestoreFilePage(CWizardContext& context);

    void OnSetActive() override;

    // Opens the backup at `path` as if it had been picked in the file dialog; true
    // when it is open.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_bOpen; }

    QLineEdit* GetPathEdit() const { return m_path; }
    QPushButton* GetBrowseButton() const { return m_browse; }
    QLabel* GetNameLabel() const { return m_name; }
    QLabel* GetDescriptionLabel() const { return m_description; }
    QLabel* GetDateLabel() const { return m_date; }
    QLabel* GetTimeLabel() const { return m_time; }

signals:
    // Another backup is about to be opened: whatever points into the catalogue of
    // the one before must let go now.
    void closing();
    // The catalogue of a new backup was read: the restore trees are built from it
    // (the sources load theirs right after).
    void opened();

private:
    void Browse();
    void ClearFields();
    void ShowMainData();
    bool ReadCatalogue();
    bool LoadIdentities();
    void Refuse();

    CWizardContext& m_context;
    QLineEdit* m_path;
    QPushButton* m_browse;
    QLabel* m_name;
    QLabel* m_description;
    QLabel* m_date;
    QLabel* m_time;
    bool m_bOpen = false;
};
