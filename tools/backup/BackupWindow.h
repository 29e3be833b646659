#pragma once

#include "options/BackupJob.h"

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QThread;

namespace tolvane::backup {

// The backup program's window: what it is doing, then the outcome, and a
// button that starts Tolvane again.
class BackupWindow : public QDialog {
    Q_OBJECT
public:
    explicit BackupWindow(const JobOptions& options, const Request& request = {},
                          QWidget* parent = nullptr);
    ~BackupWindow() override;

    QLabel* Status_L;
    QPlainTextEdit* Log_Memo;
    QPushButton* Start_Btn; // "Start Tolvane"
    QPushButton* Close_Btn;

    // Runs the job on a thread of its own, so the window stays alive.
    void start();
    // Where "Start Tolvane" finds Zenlo; the bank's folder unless told.
    void setTolvaneDir(const QString& dir) { m_tolvaneDir = dir; }
    bool finished() const { return m_finished; }
    const JobResult& result() const { return m_result; }

signals:
    void done();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void progress(const QString& text);
    void finish(const JobResult& result);
    void startTolvane();

    JobOptions m_options;
    Request m_request;
    QString m_tolvaneDir;
    JobResult m_result;
    QThread* m_thread = nullptr;
    bool m_finished = false;
};

} // namespace tolvane::backup
