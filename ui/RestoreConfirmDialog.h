#pragma once

#include <QDialog>

#include <string>

// Asked before a restore starts (205): the files restored may replace files in place,
// so the user confirms, seeing which backup is restored.
class CRestoreConfirmDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 205;

    CRestoreConfirmDialog(const std::string& backup, QWidget* parent = nullptr);
};
