#pragma once

#include <QWidget>

// A page of a page frame made from a dialog: its controls are built by the derived
// class, and the frame calls the four page operations. Enter and Escape never close
// a page (OnOK and OnCancel do nothing): a page is left only through the frame.
class CTvPageDlg : public QWidget
{
    Q_OBJECT
public:
    explicit CTvPageDlg(unsigned dialogId, QWidget* parent = nullptr);

    unsigned GetDialogId() const { return m_dialogId; }

    // The page has become the visible one.
    virtual void OnSetActive() {}
    // The frame is about to leave the page; false keeps it.
    virtual bool OnKillActive() { return true; }
    // The frame has adopted the page (after its controls exist).
    virtual void OnCreatePage() {}
    // The frame is about to destroy the page.
    virtual void OnDestroyPage() {}
    virtual void OnOK() {}
    virtual void OnCancel() {}

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    unsigned m_dialogId;
};
