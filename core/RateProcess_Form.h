#pragma once

#include <QDialog>
#include <QLabel>
#include <QProgressBar>

namespace tolvane {

// The progress bar of the progress window. Position and maximum are whole
// numbers; the bar shows the percentage done, rounded down.
class TGauge : public QProgressBar {
    Q_OBJECT
public:
    explicit TGauge(QWidget* parent = nullptr);

    int maxValue() const { return m_max; }
    // A maximum below 0 is refused with an error.
    void setMaxValue(int max);
    int progress() const { return m_pos; }
    // Clamped to 0..maxValue().
    void setProgress(int pos);
    void addProgress(int steps) { setProgress(m_pos + steps); }
    // position * 100 / maximum, rounded down; 0 when the maximum is 0.
    int percentDone() const;

    QString text() const override;

private:
    void refresh();
    int m_max = 100;
    int m_pos = 0;
};

// Lets the application process all pending window events until at least `ms`
// milliseconds have passed on the monotonic clock.
void PauseProcessingEvents(int ms);

class TRateProcess_F : public QDialog {
    Q_OBJECT
public:
    explicit TRateProcess_F(QWidget* parent = nullptr);

    QLabel* CZ_P;       // the current operation text
    TGauge* Rate_Gauge; // progress

    // The usual steps of a long operation.
    void start();                           // show; the gauge starts at 0
    void setOperation(const QString& text); // text of CZ_P, repainted at once
    void setSteps(int max);                 // maximum of the gauge, repainted at once
    void advance(int steps);                // add steps, repainted at once
    void finish();                          // pause, then hide
    void abort();                           // hide without the pause

    // How long finish() pauses. Always 1000 in the program; tests shorten it.
    static int finishPauseMs();
    static void setFinishPauseMsForTests(int ms);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormShow();
    void repaintNow();
    void waitUntilExposed();
};

// The one progress window of the application, created at start-up.
extern TRateProcess_F* RateProcess_F;

} // namespace tolvane
