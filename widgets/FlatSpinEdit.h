#pragma once

#include <QAbstractSpinBox>

class QMouseEvent;

namespace tolvane::widgets {

// An integer spin edit without bounds. Any text can be typed; reading a text
// that is no whole number of 32 bits (empty text included) gives 0. The
// buttons, the arrow keys and the wheel step by 1 from the value read.
class TFlatSpinEditInteger : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue)
public:
    explicit TFlatSpinEditInteger(QWidget* parent = nullptr);

    int value() const;
    void setValue(int value);
    // Puts any text in the edit, whole number or not.
    void setText(const QString& text);

    // The value a text reads as.
    static int readInteger(const QString& text);

    void stepBy(int steps) override;

signals:
    // The text changed, by typing, by a step or by a setter.
    void changed();
    // The mouse moved over the spin edit (also with no button held).
    void mouseMoved(QMouseEvent* event);

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    StepEnabled stepEnabled() const override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tolvane::widgets
