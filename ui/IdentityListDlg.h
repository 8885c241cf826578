#pragma once

#include <QDialog>

#include <string>
#include <vector>

class QListWidget;
class QListWidgetItem;

// The identity list: which identity of this system an identity of a backup is
// restored into. It lists the existing identities and, last, a new one. The identity
// chosen before, if any, is the one row marked (bold, with a tick) and starts selected.
class CIdentityListDlg : public QDialog
{
    Q_OBJECT
public:
    CIdentityListDlg(const std::string& backupIdentity, const std::vector<std::string>& names,
                     int chosenRow = -1, QWidget* parent = nullptr);

    // The row chosen: an existing identity's position, or NewIdentityRow().
    int GetChoice() const;
    int NewIdentityRow() const { return m_nNewRow; }
    QListWidget* GetList() const { return m_list; }

private:
    void Mark(QListWidgetItem* item);

    QListWidget* m_list;
    int m_nNewRow;
};
