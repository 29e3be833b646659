#include "core/RateProcess_Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QScreen>
#include <QThread>
#include <QWindow>

#include <stdexcept>

namespace tolvane {

TRateProcess_F* RateProcess_F = nullptr;

namespace {
int g_finishPauseMs = 1000;
}

TGauge::TGauge(QWidget* parent) : QProgressBar(parent) {
    QProgressBar::setRange(0, 100);
    setTextVisible(true);
    refresh();
}

void TGauge::setMaxValue(int max) {
    if (max < 0)
        throw std::invalid_argument("The maximum of the progress gauge cannot be negative.");
    m_max = max;
    if (m_pos > m_max)
        m_pos = m_max;
    refresh();
}

void TGauge::setProgress(int pos) {
    m_pos = pos < 0 ? 0 : (pos > m_max ? m_max : pos);
    refresh();
}

int TGauge::percentDone() const {
    if (m_max == 0)
        return 0;
    return static_cast<int>(static_cast<long long>(m_pos) * 100 / m_max);
}

QString TGauge::text() const {
    return QString::number(percentDone()) + QLatin1Char('%');
}

void TGauge::refresh() {
    QProgressBar::setValue(percentDone());
    update();
}

void PauseProcessingEvents(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        // Nothing pending: wait a moment rather than spin a core.
        const qint64 left = ms - timer.elapsed();
        if (left > 0)
            QThread::msleep(static_cast<unsigned long>(left < 5 ? left : 5));
    }
}

TRateProcess_F::TRateProcess_F(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RateProcess_F"));
    setWindowTitle(QStringLiteral("Progress"));
    // No system buttons: the user can neither close nor minimise it.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setModal(false);

    CZ_P = new QLabel(this);
    CZ_P->setObjectName(QStringLiteral("CZ_P"));
    CZ_P->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    CZ_P->setFrameShape(QFrame::StyledPanel);
    CZ_P->setFrameShadow(QFrame::Sunken);
    CZ_P->setMinimumWidth(420);
    CZ_P->setMargin(4);
    // The longest operation texts take two lines.
    CZ_P->setWordWrap(true);
    CZ_P->setMinimumHeight(2 * CZ_P->fontMetrics().lineSpacing() + 12);

    Rate_Gauge = new TGauge(this);
    Rate_Gauge->setObjectName(QStringLiteral("Rate_Gauge"));

    auto* form = new QFormLayout(this);
    form->setContentsMargins(16, 16, 16, 16);
    form->setVerticalSpacing(12);
    form->addRow(QStringLiteral("Operation:"), CZ_P);
    form->addRow(QStringLiteral("Progress:"), Rate_Gauge);
    setFixedSize(sizeHint());
}

void TRateProcess_F::showEvent(QShowEvent* event) {
    // A show the desktop makes (restoring the window) is no new operation.
    if (event->spontaneous()) {
        QDialog::showEvent(event);
        return;
    }
    FormShow();
    // Centred on the desktop.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    QDialog::showEvent(event);
}

void TRateProcess_F::FormShow() {
    Rate_Gauge->setProgress(0);
}

void TRateProcess_F::closeEvent(QCloseEvent* event) {
    // Only the operation closes the window, never the user.
    if (event->spontaneous())
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TRateProcess_F::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape)
        return; // Escape would otherwise close a dialog
    QDialog::keyPressEvent(event);
}

void TRateProcess_F::repaintNow() {
    repaint();
    CZ_P->repaint();
    Rate_Gauge->repaint();
}

void TRateProcess_F::start() {
    show();
    raise();
    waitUntilExposed();
    repaintNow();
}

void TRateProcess_F::waitUntilExposed() {
    // The desktop maps a new window when it gets to it, and nothing drawn
    // into it appears before it says so; the operation then processes no
    // events, and one that first waits seconds for the office would show no
    // progress at all. Only the desktop's own events are taken here, never
    // the user's input.
    QWindow* window = windowHandle();
    QElapsedTimer timer;
    timer.start();
    while (window && !window->isExposed() && timer.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        QThread::msleep(2);
    }
}

void TRateProcess_F::setOperation(const QString& text) {
    CZ_P->setText(text);
    repaintNow();
}

void TRateProcess_F::setSteps(int max) {
    Rate_Gauge->setMaxValue(max);
    repaintNow();
}

void TRateProcess_F::advance(int steps) {
    Rate_Gauge->addProgress(steps);
    repaintNow();
}

void TRateProcess_F::finish() {
    PauseProcessingEvents(finishPauseMs());
    hide();
}

void TRateProcess_F::abort() {
    hide();
}

int TRateProcess_F::finishPauseMs() {
    return g_finishPauseMs;
}
void TRateProcess_F::setFinishPauseMsForTests(int ms) {
    g_finishPauseMs = ms;
}

} // namespace tolvane
