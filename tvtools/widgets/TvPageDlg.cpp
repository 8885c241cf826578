#include "TvPageDlg.h"

#include <QKeyEvent>

CTvPageDlg::CTvPageDlg(unsigned dialogId, QWidget* parent) : QWidget(parent), m_dialogId(dialogId)
{
}

void CTvPageDlg::keyPressEvent(QKeyEvent* event)
{
    // Taken here so that a dialog around the frame never sees them: its Escape would
    // close it and its Enter press a default button.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        OnOK();
        event->accept();
        return;
    case Qt::Key_Escape:
        OnCancel();
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
