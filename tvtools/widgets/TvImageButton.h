#pragma once

#include <QColor>
#include <QIcon>
#include <QPushButton>

// A push button of the page frame's strip: a flat face in a colour of its own, a
// second colour while the pointer is over it, and an image on either side of the text.
class CTvImageButton : public QPushButton
{
    Q_OBJECT
public:
    CTvImageButton(const QString& text, int controlId, QWidget* parent);

    int GetControlId() const { return m_controlId; }
    void SetFaceColors(const QColor& face, const QColor& hot);
    // The image and whether it stands right of the text.
    void SetImage(const QIcon& icon, bool imageOnRight);
    bool IsImageOnRight() const { return m_imageOnRight; }
    QColor GetFaceColor() const { return m_face; }

    static constexpr QRgb kDisabledText = 0x8C8C8C;
    static constexpr QRgb kDisabledFace = 0xDCDCDC;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int m_controlId;
    QColor m_face;
    QColor m_hot;
    bool m_imageOnRight = false;
    bool m_hover = false;
};
