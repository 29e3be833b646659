#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace tolvane::docs {

// An office process this program started. It runs in a session (and process
// group) of its own, so it neither dies with the terminal nor takes signals
// meant for this program, and so that everything it starts can be found and
// ended as one group. Destroying the object leaves the process running: the
// lecturer's office outlives the program that started it.
class OfficeProcess {
public:
    OfficeProcess(QString program, QStringList arguments);
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;
    ~OfficeProcess();

    // Raises WordError when the program cannot be started.
    void start();
    qint64 pid() const { return m_pid; }
    QString commandLine() const;

    // Whether the process itself has ended (it is reaped then); its exit
    // status, when it exited normally.
    bool hasExited();
    std::optional<int> exitCode() const { return m_exitCode; }
    bool waitForExit(int timeoutMs);
    // Ends every process of the group at once and reaps the started one.
    void kill();
    // The processes of the group that are still alive (not zombies).
    QList<qint64> livingGroupMembers() const;

private:
    QString m_program;
    QStringList m_arguments;
    qint64 m_pid = 0;
    bool m_exited = false;
    std::optional<int> m_exitCode;
};

// Whether a process of this id is alive (exists and is no zombie).
bool processAlive(qint64 pid);

} // namespace tolvane::docs
