#include "core/Progress.h"

#include "core/RateProcess_Form.h"

namespace tolvane {

// Without a progress window (a program that made none) the operation still
// runs, and still pauses at its end.

void WindowProgress::start() {
    if (RateProcess_F)
        RateProcess_F->start();
}

void WindowProgress::setOperation(const QString& text) {
    if (RateProcess_F)
        RateProcess_F->setOperation(text);
}

void WindowProgress::setSteps(int steps) {
    if (RateProcess_F)
        RateProcess_F->setSteps(steps);
}

void WindowProgress::advance(int steps) {
    if (RateProcess_F)
        RateProcess_F->advance(steps);
}

void WindowProgress::finish() {
    if (RateProcess_F)
        RateProcess_F->finish();
    else
        PauseProcessingEvents(TRateProcess_F::finishPauseMs());
}

void WindowProgress::abort() {
    if (RateProcess_F)
        RateProcess_F->abort();
}

} // namespace tolvane
