#include "docs/LibreOffice.h"
#include "docs/OfficeBridge.h"
#include "docs/OfficeVersion.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <atomic>

namespace tolvane::docs {

namespace {

// How long an office that was asked to end may take before it is killed.
constexpr int kExitWaitMs = 10000;

// Private to this process and this check: nothing else listens there, so
// the check never meets (or ends) another office.
QString privatePipeName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("tolvane_probe_%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

} // namespace

struct LibreOfficeVersionProbe::Impl {
    // Held while the kept profile is in use: a second office on the same
    // profile would hand its work to the first one and exit, and that check
    // would then end the first program's office.
    std::unique_ptr<QLockFile> keptLock;
    std::unique_ptr<QTemporaryDir> temporary;
    QString profile;
    std::unique_ptr<bridge::Office> office;
    bool quitted = false;

    bool lockKeptProfile(const QString& kept) {
        if (kept.isEmpty() || !QDir().mkpath(QFileInfo(kept).absolutePath()))
            return false;
        auto lock = std::make_unique<QLockFile>(kept + QStringLiteral(".lock"));
        // Held for as long as an office takes to start; only a lock whose
        // process has gone is stale.
        lock->setStaleLockTime(0);
        if (!lock->tryLock(0))
            return false;
        keptLock = std::move(lock);
        return true;
    }
};

LibreOfficeVersionProbe::LibreOfficeVersionProbe(QString program, int startTimeoutMs)
    : m_program(std::move(program)), m_timeoutMs(startTimeoutMs),
      m_keptProfile(defaultKeptProfileDir()), d(std::make_unique<Impl>()) {}

LibreOfficeVersionProbe::~LibreOfficeVersionProbe() {
    release();
}

QString LibreOfficeVersionProbe::defaultKeptProfileDir() {
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty())
        return QString();
    return cache + QStringLiteral("/tolvane/office-check-profile");
}

QString LibreOfficeVersionProbe::profileDir() const {
    return d->profile;
}

bool LibreOfficeVersionProbe::start(const QString& profile) {
    OfficeOptions options;
    options.pipeName = privatePipeName();
    options.headless = true;
    options.profileDir = profile;
    options.program = m_program;
    options.startTimeoutMs = m_timeoutMs;
    try {
        // The pipe is new, so nothing answers there: this always starts the
        // private office.
        d->office = attachOrStart(options, &m_process);
        d->profile = profile;
        d->quitted = false;
        return true;
    } catch (const WordError&) {
        return false;
    }
}

bool LibreOfficeVersionProbe::create() {
    release();
    try {
        officeBridge();
    } catch (const WordError&) {
        return false;
    }
    if (d->lockKeptProfile(m_keptProfile)) {
        if (start(m_keptProfile)) {
            // Only speeds up the next check; a failure here harms nothing.
            try {
                d->office->recordVersionSeen();
            } catch (const WordError&) {
            }
            return true;
        }
        // A program that cannot be started fares no better on another
        // profile.
        const bool ran = m_process != nullptr;
        stopOffice();
        // The office ran but did not answer: the profile may be damaged. It
        // is set up afresh next time, and this check tries a new one.
        if (ran)
            QDir(m_keptProfile).removeRecursively();
        release();
        if (!ran)
            return false;
    }
    d->temporary = std::make_unique<QTemporaryDir>();
    if (d->temporary->isValid() && start(d->temporary->path()))
        return true;
    release();
    return false;
}

QString LibreOfficeVersionProbe::officeVersion() {
    if (!d->office)
        throw WordError(QStringLiteral("Version: the word processor is not running."));
    return d->office->productVersion();
}

QString LibreOfficeVersionProbe::version() {
    return yearMonthVersion(officeVersion(), QLocale().decimalPoint());
}

void LibreOfficeVersionProbe::quit() {
    if (!d->office || d->quitted)
        return;
    d->quitted = true;
    const std::unique_ptr<bridge::Office> office = std::move(d->office);
    office->terminate();
}

void LibreOfficeVersionProbe::stopOffice() {
    if (d->office && !d->quitted) {
        // Released without quit: the private office must not stay behind.
        try {
            quit();
        } catch (const WordError&) {
        }
    }
    d->office.reset();
    if (m_process) {
        if (!m_process->waitForExit(kExitWaitMs))
            m_process->kill();
        // What the launcher started may outlive it for a moment.
        if (!m_process->livingGroupMembers().isEmpty())
            m_process->kill();
        m_process.reset();
    }
}

void LibreOfficeVersionProbe::release() {
    stopOffice();
    d->temporary.reset();
    d->profile.clear();
    // Only once its office is gone may another check use the kept profile.
    d->keptLock.reset();
    d->quitted = false;
}

} // namespace tolvane::docs
