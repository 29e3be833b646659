#include "widgets/FlatSpinEdit.h"

#include <QLineEdit>
#include <QMouseEvent>

#include <limits>

namespace tolvane::widgets {

TFlatSpinEditInteger::TFlatSpinEditInteger(QWidget* parent) : QAbstractSpinBox(parent) {
    setAccelerated(false);
    setMouseTracking(true);
    lineEdit()->setMouseTracking(true);
    lineEdit()->installEventFilter(this);
    lineEdit()->setText(QStringLiteral("0"));
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { emit changed(); });
}

int TFlatSpinEditInteger::readInteger(const QString& text) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? value : 0;
}

int TFlatSpinEditInteger::value() const {
    return readInteger(lineEdit()->text());
}

void TFlatSpinEditInteger::setValue(int value) {
    setText(QString::number(value));
}

void TFlatSpinEditInteger::setText(const QString& text) {
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

void TFlatSpinEditInteger::stepBy(int steps) {
    // Without bounds the only limits are those of the 32-bit value: a step
    // beyond them stays at the limit rather than wrapping round.
    const qint64 next = static_cast<qint64>(value()) + steps;
    const qint64 lo = std::numeric_limits<int>::min();
    const qint64 hi = std::numeric_limits<int>::max();
    setValue(static_cast<int>(qBound(lo, next, hi)));
    selectAll();
}

QValidator::State TFlatSpinEditInteger::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

void TFlatSpinEditInteger::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled TFlatSpinEditInteger::stepEnabled() const {
    if (isReadOnly() || !isEnabled())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

void TFlatSpinEditInteger::mouseMoveEvent(QMouseEvent* event) {
    emit mouseMoved(event);
    QAbstractSpinBox::mouseMoveEvent(event);
}

bool TFlatSpinEditInteger::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineEdit() && event->type() == QEvent::MouseMove)
        emit mouseMoved(static_cast<QMouseEvent*>(event));
    return QAbstractSpinBox::eventFilter(watched, event);
}

} // namespace tolvane::widgets
