#pragma once

#include <QDialog>
#include <QStringList>

class QCheckBox;

// A question answered with OK or Cancel, with one check box bound to a preference
// flag (1 ticked, 0 not) that is stored only on OK: the completion dialog after a
// backup ("BComplete") and the exit confirmation ("Quitb").
class CPreferenceDialog : public QDialog
{
    Q_OBJECT
public:
    CPreferenceDialog(const QStringList& lines, const QString& boxText, int& preference,
                      QWidget* parent = nullptr);

    QCheckBox* GetBox() const { return m_box; }
    void accept() override;

private:
    QCheckBox* m_box;
    int& m_preference;
};
