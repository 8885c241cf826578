#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>

#include <memory>
#include <vector>

class CTvImageButton;
class CTvPageDlg;

// The page frame: shows one page at a time above an optional strip with Previous,
// Next and (optionally) Exit, asks the visible page before leaving it, and can be
// steered by messages (CTvMessageEvent) that address pages by their dialog or window
// identifier, never by index.
//
// Dialog pages (CTvPageDlg) are owned by the frame. A window page (usually a
// CTvPage) becomes a child of the frame and goes with it; its window identifier is
// its "controlId" property.
class CTvPropertiesPages : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kNextId = 2001;
    static constexpr int kPreviousId = 2002;
    static constexpr int kExitId = 2003;
    // Button style flags of Create: 2 and 4 together give Previous and Next, 8 adds Exit.
    static constexpr unsigned kStylePrevious = 2;
    static constexpr unsigned kStyleNext = 4;
    static constexpr unsigned kStyleExit = 8;
    // Strip modes of a page: show the strip when it becomes visible, or hide it.
    static constexpr int kShowStrip = 2;
    static constexpr int kHideStrip = 4;
    static constexpr int kStripHeight = 25;
    static constexpr int kButtonWidth = 80;
    static constexpr int kButtonHeight = 20;

    explicit CTvPropertiesPages(QWidget* parent = nullptr);
    ~CTvPropertiesPages() override;

    // Places the frame in `parent` at `rect`, shows it and makes the buttons the
    // style flags ask for. False when the frame has been created already.
    bool Create(QWidget* parent, const QRect& rect, unsigned buttonStyle, int controlId);
    // Adopts a dialog page (owned from now on); returns its index.
    int InsertPage(unsigned dialogId, CTvPageDlg* page, int stripMode);
    // Adopts a window page; returns its index.
    int InsertPage(QWidget* window, int stripMode);

    // Shows the page at `index`: false for an index out of range; true otherwise,
    // also when the visible page refused to be left (it then stays).
    bool SetPage(int index);
    void SetControlVisible(bool visible);
    bool IsControlVisible() const { return m_stripVisible; }
    void SetControlColorBg(const QColor& color);
    void SetBtnColors(const QColor& face, const QColor& hot);
    // False when there is no Next button.
    bool EnableNextButton(bool enable);
    // The next press of Next (Previous) goes to the page with this dialog or window
    // identifier instead of the neighbour.
    void SetBtnNextPage(unsigned id) { m_nextOverride = id; }
    void SetBtnPrivousPage(unsigned id) { m_previousOverride = id; }

    QWidget* GetPageDlgHandle(unsigned dialogId) const;
    unsigned GetCurrentPageDlg() const;
    QWidget* GetPageHandleWnd(int index) const;
    int GetCurrentIndex() const { return m_current; }
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    // The page rectangle (the client area above the strip), and the strip's (empty
    // while it is hidden).
    QRect GetClientRect() const;
    QRect GetControlRect() const;
    void ReCalcLayout();
    // The button with that control id; null when the style has none.
    CTvImageButton* GetButton(int controlId) const;

    // What the Next and Previous buttons do.
    void OnNext();
    void OnPrevious();

signals:
    // A strip button was pressed (after Next and Previous have moved the frame); the
    // owner handles Exit.
    void buttonClicked(int controlId);

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    struct Page
    {
        unsigned dialogId = 0;
        QWidget* window = nullptr;
        CTvPageDlg* page = nullptr; // owned
        int stripMode = 0;
        unsigned windowId = 0;
    };

    void CreateButtons(unsigned style);
    void PlaceButtons();
    void GoToOverride(unsigned id);
    int FindById(unsigned id, bool dialogIdOnly) const;
    bool GoToPage(unsigned id, bool dialogPage, int mode);
    bool KillActive(const Page& page) const;
    void SetActive(const Page& page) const;

    std::vector<Page> m_pages;
    int m_current = -1;
    bool m_stripVisible = true;
    QColor m_stripColor;
    QColor m_buttonFace;
    QColor m_buttonHot;
    unsigned m_nextOverride = 0;
    unsigned m_previousOverride = 0;
    CTvImageButton* m_next = nullptr;
    CTvImageButton* m_previous = nullptr;
    CTvImageButton* m_exit = nullptr;
    bool m_created = false;
};
