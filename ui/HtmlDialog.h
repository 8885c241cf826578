#pragma once

#include <QDialog>

#include <string>

class CHtmlCtrl;

// A dialog whose body is a page of the page library: an HTML view in place of the
// placeholder 1073, with the context menu and text selection suppressed, centred
// on the desktop when it opens.
class CHtmlDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kPlaceholderId = 1073;

    CHtmlDialog(const QSize& size, QWidget* parent);

    // The view; null when it could not be made (the dialog then shows an empty area).
    CHtmlCtrl* GetHtmlCtrl() const { return m_html; }
    // Shows a page of PageRes.
    void ShowPage(const std::string& page);

protected:
    // The placeholder: the view takes its place and geometry.
    QWidget* Placeholder() const { return m_placeholder; }
    void CreateView();
    void showEvent(QShowEvent* event) override;

private:
    QWidget* m_placeholder = nullptr;
    CHtmlCtrl* m_html = nullptr;
};
