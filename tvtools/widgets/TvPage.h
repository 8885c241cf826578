#pragma once

#include <QColor>
#include <QMargins>
#include <QWidget>

#include <string>
#include <vector>

class CHtmlCtrl;
class QTextDocument;

// A window page of the page frame that shows an HTML page and reacts to its command
// links: a link "TVEVENT:command:first:second" reaches OnBrowserEvent with its three
// fields after the prefix (missing ones empty, further ones dropped), and a loaded
// document reaches OnDocumentComplete.
class CTvPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHtmlControlId = 4094;

    explicit CTvPage(QWidget* parent = nullptr);

    // Places the page in `parent` at `rect`; `controlId` is its window identifier in
    // a page frame.
    bool Create(QWidget* parent, const QRect& rect, int controlId);
    // Makes the HTML view (context menu and mouse selection suppressed) and shows the
    // address: a page of `library` when one is given.
    bool CreateHtmlWnd(const QRect& rect, const std::string& address, const std::string& library);
    void Navigate(const std::string& address, const std::string& library);
    // The shown document; null before CreateHtmlWnd.
    QTextDocument* GetHtmlDocument() const;
    CHtmlCtrl* GetHtmlCtrl() const { return m_html; }
    void SetBackGroundColor(const QColor& color);

    virtual void OnSetActive() {}
    virtual bool OnKillActive() { return true; }
    virtual void OnBrowserEvent(const std::string& command, const std::string& first,
                                const std::string& second) = 0;
    virtual void OnDocumentComplete() = 0;

    // "TVEVENT:a:b:c:d" -> {"TVEVENT", "a", "b", "c"}: always four fields, later
    // parts dropped, missing ones empty.
    static std::vector<std::string> SplitCommand(const std::string& address);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The view keeps its distances to the page's edges.
    void resizeEvent(QResizeEvent* event) override;

private:
    CHtmlCtrl* m_html = nullptr;
    QColor m_background;
    QMargins m_htmlMargins;
};
