#include "tools/backup/BackupWindow.h"

#include "core/AppPaths.h"

#include <QCloseEvent>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

namespace tolvane::backup {

BackupWindow::BackupWindow(const JobOptions& options, const Request& request, QWidget* parent)
    : QDialog(parent), m_options(options), m_request(request), m_tolvaneDir(options.programDir) {
    setObjectName(QStringLiteral("BackupWindow"));
    setWindowTitle(QStringLiteral("Tolvane Backup"));

    Status_L = new QLabel(QStringLiteral("Starting..."), this);
    Status_L->setObjectName(QStringLiteral("Status_L"));
    Status_L->setWordWrap(true);
    QFont f = Status_L->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.15);
    Status_L->setFont(f);
    Log_Memo = new QPlainTextEdit(this);
    Log_Memo->setObjectName(QStringLiteral("Log_Memo"));
    Log_Memo->setReadOnly(true);
    Start_Btn = new QPushButton(QStringLiteral("Start Tolvane"), this);
    Start_Btn->setObjectName(QStringLiteral("Start_Btn"));
    Close_Btn = new QPushButton(QStringLiteral("Close"), this);
    Close_Btn->setObjectName(QStringLiteral("Close_Btn"));
    for (QPushButton* b : {Start_Btn, Close_Btn}) {
        b->setEnabled(false);
        b->setAutoDefault(false);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 40);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Start_Btn);
    buttons->addWidget(Close_Btn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Status_L);
    layout->addWidget(Log_Memo, 1);
    layout->addLayout(buttons);
    resize(560, 320);

    connect(Start_Btn, &QPushButton::clicked, this, [this] { startTolvane(); });
    connect(Close_Btn, &QPushButton::clicked, this, [this] { close(); });
}

BackupWindow::~BackupWindow() {
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
    }
}

void BackupWindow::start() {
    JobOptions options = m_options;
    options.onProgress = [this](const QString& text) {
        QMetaObject::invokeMethod(
            this, [this, text] { progress(text); }, Qt::QueuedConnection);
    };
    m_thread = QThread::create([this, options, request = m_request] {
        const JobResult result = runJob(options, request);
        QMetaObject::invokeMethod(
            this, [this, result] { finish(result); }, Qt::QueuedConnection);
    });
    m_thread->start();
}

void BackupWindow::progress(const QString& text) {
    Status_L->setText(text);
    Log_Memo->appendPlainText(text);
}

void BackupWindow::finish(const JobResult& result) {
    m_result = result;
    m_finished = true;
    Status_L->setText(result.ok ? QStringLiteral("Done.") : QStringLiteral("Failed."));
    Status_L->setStyleSheet(result.ok ? QStringLiteral("color: darkgreen;")
                                      : QStringLiteral("color: darkred;"));
    Log_Memo->appendPlainText(QString());
    Log_Memo->appendPlainText(result.message);
    Start_Btn->setEnabled(true);
    Close_Btn->setEnabled(true);
    Start_Btn->setFocus();
    emit done();
}

void BackupWindow::startTolvane() {
    const QString dir = m_tolvaneDir;
    const QString program = QDir(dir).absoluteFilePath(QStringLiteral("Zenlo"));
    if (!QProcess::startDetached(program, {}, dir)) {
        QMessageBox::critical(this, windowTitle(),
                              QStringLiteral("Tolvane \"%1\" could not be started.")
                                  .arg(QDir::toNativeSeparators(program)));
        return;
    }
    close();
}

void BackupWindow::closeEvent(QCloseEvent* event) {
    // The bank must not be left half-copied: the window waits for the work.
    if (!m_finished) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

} // namespace tolvane::backup
