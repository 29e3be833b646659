#pragma once

#include <QString>

namespace tolvane {

// What a long operation shows while it works: plain code reports through
// this, the windows hand in the progress window, tests a recorder.
class Progress {
public:
    virtual ~Progress() = default;
    // Shows the progress; it starts at 0.
    virtual void start() = 0;
    virtual void setOperation(const QString& text) = 0;
    virtual void setSteps(int steps) = 0;
    virtual void advance(int steps) = 0;
    // The closing pause, then the progress closes.
    virtual void finish() = 0;
    // Closes at once, on a path that ends in an error.
    virtual void abort() = 0;
};

// A progress nobody watches: for work run without a window (benchmarks,
// scripts).
class NullProgress : public Progress {
public:
    void start() override {}
    void setOperation(const QString&) override {}
    void setSteps(int) override {}
    void advance(int) override {}
    void finish() override {}
    void abort() override {}
};

// The progress in the application's progress window, RateProcess_F.
class WindowProgress : public Progress {
public:
    void start() override;
    void setOperation(const QString& text) override;
    void setSteps(int steps) override;
    void advance(int steps) override;
    void finish() override;
    void abort() override;
};

} // namespace tolvane
