#include "core/RateProcess_Form.h"

#include <QElapsedTimer>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tolvane;

TEST(Progress, GaugeArithmetic) {
    TGauge g;
    g.setMaxValue(0);
    EXPECT_EQ(g.percentDone(), 0);
    g.setMaxValue(3);
    g.setProgress(1);
    EXPECT_EQ(g.percentDone(), 33) << "rounded down";
    g.addProgress(10);
    EXPECT_EQ(g.progress(), 3) << "clamped at the maximum";
    EXPECT_EQ(g.percentDone(), 100);
    EXPECT_EQ(g.text(), "100%");
    g.setProgress(-5);
    EXPECT_EQ(g.progress(), 0);
    EXPECT_THROW(g.setMaxValue(-1), std::invalid_argument);
    EXPECT_EQ(g.maxValue(), 3);
    g.setMaxValue(7);
    g.setProgress(6);
    EXPECT_EQ(g.percentDone(), 85);
}

TEST(Progress, WindowStartsAtZeroAndKeepsTextAndMaximum) {
    TRateProcess_F w;
    EXPECT_EQ(w.windowTitle(), "Progress");
    EXPECT_FALSE(w.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(w.windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w.isModal());
    w.start();
    w.setOperation("Connecting to Microsoft Office Word......");
    w.setSteps(10);
    w.advance(4);
    EXPECT_EQ(w.Rate_Gauge->percentDone(), 40);
    w.abort();
    EXPECT_FALSE(w.isVisible());
    w.start();
    EXPECT_EQ(w.Rate_Gauge->percentDone(), 0) << "every operation starts at 0 %";
    EXPECT_EQ(w.Rate_Gauge->maxValue(), 10);
    EXPECT_EQ(w.CZ_P->text(), "Connecting to Microsoft Office Word......");
    TRateProcess_F::setFinishPauseMsForTests(20);
    w.finish();
    TRateProcess_F::setFinishPauseMsForTests(1000);
    EXPECT_FALSE(w.isVisible());
}

TEST(Progress, PauseProcessesEventsForTheWholeTime) {
    bool fired = false;
    QTimer::singleShot(30, [&] { fired = true; });
    QElapsedTimer t;
    t.start();
    PauseProcessingEvents(120);
    EXPECT_GE(t.elapsed(), 120);
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_TRUE(fired) << "pending events are handled during the pause";
}
