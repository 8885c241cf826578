#pragma once

#include <QDialog>

#include <string>

class QLineEdit;

// Asks for a password: what it is for, and a field that hides what is typed.
class CPasswordDialog : public QDialog
{
    Q_OBJECT
public:
    CPasswordDialog(const std::string& text, QWidget* parent = nullptr);

    QLineEdit* GetPasswordEdit() const { return m_password; }
    std::string GetPassword() const;

private:
    QLineEdit* m_password;
};
