#include "widgets/FlatButton.h"

#include <QEnterEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace tolvane::widgets {

namespace {
constexpr int kFrame = 2;   // border and edge, one pixel each
constexpr int kPadding = 6; // between the frame and the caption
} // namespace

TFlatButton::TFlatButton(QWidget* parent) : TFlatButton(QString(), parent) {}

TFlatButton::TFlatButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {
    setFlat(true);
    setAttribute(Qt::WA_Hover);
    // The windows are dialogs: a button that became their default by being
    // clicked would be pressed again by Enter typed in any edit (a second
    // paper saved, a second draw started).
    setAutoDefault(false);
    setDefault(false);
}

void TFlatButton::setColorBorder(const QColor& color) {
    m_border = color;
    update();
}

void TFlatButton::setColorHighLight(const QColor& color) {
    m_highLight = color;
    update();
}

void TFlatButton::setColorShadow(const QColor& color) {
    m_shadow = color;
    update();
}

void TFlatButton::setFrameColors(const QColor& border, const QColor& highLight,
                                 const QColor& shadow) {
    m_border = border;
    m_highLight = highLight;
    m_shadow = shadow;
    update();
}

void TFlatButton::setCaptionColor(const QColor& color) {
    m_caption = color;
    update();
}

QSize TFlatButton::sizeHint() const {
    const QFontMetrics fm = fontMetrics();
    QSize size(fm.horizontalAdvance(text()) + 2 * (kFrame + kPadding),
               fm.height() + 2 * (kFrame + kPadding / 2));
    if (!icon().isNull()) {
        size.rwidth() += iconSize().width() + kPadding;
        size.setHeight(qMax(size.height(), iconSize().height() + 2 * kFrame + 2));
    }
    return size.expandedTo(QSize(2 * kFrame + 8, 2 * kFrame + 8));
}

QSize TFlatButton::minimumSizeHint() const {
    return sizeHint();
}

void TFlatButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect outer = rect();
    const bool down = isDown() || isChecked();
    const QColor light = down ? m_shadow : m_highLight;
    const QColor dark = down ? m_highLight : m_shadow;

    // Whole-pixel rectangles rather than pen lines keep the frame crisp at
    // any scale factor.
    auto frame = [&painter](const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
        painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
        painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
        painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
        painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
    };
    frame(outer, m_border, m_border);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    frame(inner, light, dark);

    QRect content = outer.adjusted(kFrame, kFrame, -kFrame, -kFrame);
    if (down)
        content.translate(1, 1);
    QColor textColor = m_caption.isValid() ? m_caption : palette().color(QPalette::ButtonText);
    if (!isEnabled())
        textColor = palette().color(QPalette::Disabled, QPalette::ButtonText);

    if (!icon().isNull()) {
        const QSize iconSz = iconSize();
        const int textWidth = text().isEmpty() ? 0 : fontMetrics().horizontalAdvance(text());
        const int total = iconSz.width() + (textWidth ? kPadding + textWidth : 0);
        const int x = content.left() + qMax(0, (content.width() - total) / 2);
        const QRect iconRect(x, content.top() + (content.height() - iconSz.height()) / 2,
                             iconSz.width(), iconSz.height());
        icon().paint(&painter, iconRect, Qt::AlignCenter,
                     isEnabled() ? QIcon::Normal : QIcon::Disabled);
        content.setLeft(iconRect.right() + 1 + kPadding);
        painter.setPen(textColor);
        painter.drawText(content, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, text());
    } else {
        painter.setPen(textColor);
        painter.drawText(content, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = outer.adjusted(kFrame + 1, kFrame + 1, -kFrame - 1, -kFrame - 1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void TFlatButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    emit mouseEntered();
}

void TFlatButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    emit mouseLeft();
}

} // namespace tolvane::widgets
