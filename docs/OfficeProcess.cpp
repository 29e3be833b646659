#include "docs/OfficeProcess.h"

#include "docs/WordApi.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace tolvane::docs {

namespace {

// Fields of /proc/<pid>/stat after the command name: state, ppid, pgrp.
struct ProcStat {
    char state = '?';
    qint64 pgrp = 0;
};

std::optional<ProcStat> readStat(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray line = f.readAll();
    // The command name is in parentheses and may hold blanks or ')'.
    const int close = line.lastIndexOf(')');
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(close + 2).split(' ');
    if (fields.size() < 3 || fields[0].isEmpty())
        return std::nullopt;
    ProcStat s;
    s.state = fields[0].at(0);
    s.pgrp = fields[2].toLongLong();
    return s;
}

} // namespace

bool processAlive(qint64 pid) {
    if (pid <= 0)
        return false;
    const std::optional<ProcStat> s = readStat(pid);
    return s && s->state != 'Z' && s->state != 'X';
}

OfficeProcess::OfficeProcess(QString program, QStringList arguments)
    : m_program(std::move(program)), m_arguments(std::move(arguments)) {}

OfficeProcess::~OfficeProcess() = default;

QString OfficeProcess::commandLine() const {
    return (QStringList{m_program} + m_arguments).join(QLatin1Char(' '));
}

void OfficeProcess::start() {
    std::vector<QByteArray> args;
    args.push_back(QFile::encodeName(m_program));
    for (const QString& a : m_arguments)
        args.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    for (int fd = 0; fd <= 2; ++fd)
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY,
                                         0);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);

    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, &attr, argv.data(), environ);
    posix_spawnattr_destroy(&attr);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        throw WordError(QStringLiteral("The word processor could not be started (%1): %2")
                            .arg(m_program, QString::fromLocal8Bit(std::strerror(rc))));
    m_pid = pid;
    m_exited = false;
    m_exitCode.reset();
}

bool OfficeProcess::hasExited() {
    if (m_pid <= 0 || m_exited)
        return true;
    int status = 0;
    const pid_t r = ::waitpid(pid_t(m_pid), &status, WNOHANG);
    if (r == 0)
        return false;
    if (r < 0) {
        // Not our child (any more): someone else reaped it.
        m_exited = !processAlive(m_pid);
        return m_exited;
    }
    m_exited = true;
    if (WIFEXITED(status))
        m_exitCode = WEXITSTATUS(status);
    return true;
}

bool OfficeProcess::waitForExit(int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!hasExited()) {
        if (timer.elapsed() >= timeoutMs)
            return false;
        QThread::msleep(50);
    }
    return true;
}

void OfficeProcess::kill() {
    if (m_pid <= 0)
        return;
    // The group id is the started process's id (it leads its own session).
    ::kill(-pid_t(m_pid), SIGKILL);
    waitForExit(5000);
}

QList<qint64> OfficeProcess::livingGroupMembers() const {
    QList<qint64> members;
    if (m_pid <= 0)
        return members;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& e : entries) {
        bool numeric = false;
        const qint64 pid = e.toLongLong(&numeric);
        if (!numeric)
            continue;
        const std::optional<ProcStat> s = readStat(pid);
        if (s && s->pgrp == m_pid && s->state != 'Z' && s->state != 'X')
            members << pid;
    }
    return members;
}

} // namespace tolvane::docs
