#pragma once

#include <QColor>
#include <QPushButton>

class QEnterEvent;

namespace tolvane::widgets {

// A flat push button whose frame is drawn in three settable colours: an outer
// border, a light top-left edge and a dark bottom-right edge (swapped while
// the button is held down). Raises mouseEntered/mouseLeft on hover.
class TFlatButton : public QPushButton {
    Q_OBJECT
    Q_PROPERTY(QColor ColorBorder READ ColorBorder WRITE setColorBorder)
    Q_PROPERTY(QColor ColorHighLight READ ColorHighLight WRITE setColorHighLight)
    Q_PROPERTY(QColor ColorShadow READ ColorShadow WRITE setColorShadow)
    Q_PROPERTY(QColor CaptionColor READ captionColor WRITE setCaptionColor)
public:
    explicit TFlatButton(QWidget* parent = nullptr);
    explicit TFlatButton(const QString& caption, QWidget* parent = nullptr);

    QColor ColorBorder() const { return m_border; }
    void setColorBorder(const QColor& color);
    QColor ColorHighLight() const { return m_highLight; }
    void setColorHighLight(const QColor& color);
    QColor ColorShadow() const { return m_shadow; }
    void setColorShadow(const QColor& color);
    // Sets all three frame colours at once.
    void setFrameColors(const QColor& border, const QColor& highLight, const QColor& shadow);

    // The colour of the caption; an invalid colour means the palette's text.
    QColor captionColor() const { return m_caption; }
    void setCaptionColor(const QColor& color);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void mouseEntered();
    void mouseLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QColor m_border{0x8a, 0x92, 0x9a};
    QColor m_highLight{Qt::white};
    QColor m_shadow{Qt::black};
    QColor m_caption;
};

} // namespace tolvane::widgets
