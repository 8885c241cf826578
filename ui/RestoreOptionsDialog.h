#pragma once

#include <QDialog>

class QButtonGroup;

// The restore options (204): what happens to a file of My Files that is already in
// place. Its radio group is the preference "ResFileType" (0 keep the file, 1 replace
// it by a newer copy only, any other value replace it), stored on OK.
class CRestoreOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 204;

    explicit CRestoreOptionsDialog(QWidget* parent = nullptr);

    QButtonGroup* GetChoices() const { return m_choices; }
    void accept() override;

private:
    QButtonGroup* m_choices;
};
