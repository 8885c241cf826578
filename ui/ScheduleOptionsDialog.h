#pragma once

#include <QDialog>

class QCheckBox;

// The five options of the schedule ("SC_A1" ... "SC_A5"), stored into the schedule
// when the dialog is confirmed.
class CScheduleOptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CScheduleOptionsDialog(QWidget* parent = nullptr);

    QCheckBox* GetBox(int index) const { return m_boxes[index]; }
    void accept() override;

private:
    QCheckBox* m_boxes[5];
};
