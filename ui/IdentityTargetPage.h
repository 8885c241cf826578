#pragma once

#include "DetailPage.h"

#include <QString>

class QLabel;
class QPushButton;

// The detail page of an Outlook Express identity of a backup being restored: the
// identity's folders and settings as the backup holds them, the identity they go
// into and a button to choose another.
class CIdentityTargetPage : public CDetailPage
{
    Q_OBJECT
public:
    static constexpr unsigned kDialogId = 183;

    explicit CIdentityTargetPage(const QString& identityName);

    // The name of the identity restored into; empty: none chosen yet.
    void ShowTarget(const QString& name);
    QLabel* GetTargetLabel() const { return m_target; }
    QPushButton* GetChooseButton() const { return m_choose; }

signals:
    void chooseTarget();

private:
    QLabel* m_target;
    QPushButton* m_choose;
};
