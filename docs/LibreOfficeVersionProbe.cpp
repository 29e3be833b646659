#include "docs/LibreOffice.h"
#include "docs/OfficeVersion.h"
#include "docs/UnoSession.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>

#include <QCoreApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <atomic>

namespace tolvane::docs {

using namespace uno;
using css::uno::Any;
using css::uno::Sequence;
using css::uno::UNO_QUERY_THROW;

namespace {

// How long an office that was asked to end may take before it is killed.
constexpr int kExitWaitMs = 10000;

QString privatePipeName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("tolvane_probe_%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(++counter);
}

} // namespace

struct LibreOfficeVersionProbe::Impl {
    std::unique_ptr<QTemporaryDir> profile;
    Ref<css::uno::XComponentContext> office;
    bool quitted = false;
};

LibreOfficeVersionProbe::LibreOfficeVersionProbe(QString program, int startTimeoutMs)
    : m_program(std::move(program)), m_timeoutMs(startTimeoutMs), d(std::make_unique<Impl>()) {}

LibreOfficeVersionProbe::~LibreOfficeVersionProbe() {
    release();
}

QString LibreOfficeVersionProbe::profileDir() const {
    return d->profile ? d->profile->path() : QString();
}

bool LibreOfficeVersionProbe::create() {
    release();
    d->profile = std::make_unique<QTemporaryDir>();
    if (!d->profile->isValid()) {
        d->profile.reset();
        return false;
    }
    OfficeOptions options;
    options.pipeName = privatePipeName();
    options.headless = true;
    options.profileDir = d->profile->path();
    options.program = m_program;
    options.startTimeoutMs = m_timeoutMs;
    try {
        // The pipe is new, so nothing answers there: this always starts the
        // private office.
        d->office = attachOrStart(options, &m_process);
        d->quitted = false;
        return true;
    } catch (const WordError&) {
        release();
        return false;
    }
}

QString LibreOfficeVersionProbe::officeVersion() {
    if (!d->office.is())
        throw WordError(QStringLiteral("Version: the word processor is not running."));
    return call([&] {
        Ref<css::lang::XMultiServiceFactory> provider =
            css::configuration::theDefaultProvider::get(d->office);
        css::beans::PropertyValue node;
        node.Name = "nodepath";
        node.Value <<= rtl::OUString("/org.openoffice.Setup/Product");
        const Any nodePath(node);
        Ref<css::container::XNameAccess> product(
            provider->createInstanceWithArguments("com.sun.star.configuration.ConfigurationAccess",
                                                  Sequence<Any>(&nodePath, 1)),
            UNO_QUERY_THROW);
        rtl::OUString version;
        product->getByName("ooSetupVersion") >>= version;
        return fromOU(version);
    });
}

QString LibreOfficeVersionProbe::version() {
    return yearMonthVersion(officeVersion(), QLocale().decimalPoint());
}

void LibreOfficeVersionProbe::quit() {
    if (!d->office.is() || d->quitted)
        return;
    d->quitted = true;
    Ref<css::uno::XComponentContext> office = d->office;
    d->office.clear();
    uno::terminate(office);
}

void LibreOfficeVersionProbe::release() {
    if (d->office.is() && !d->quitted) {
        // Released without quit: the private office must not stay behind.
        try {
            quit();
        } catch (const WordError&) {
        }
    }
    d->office.clear();
    if (m_process) {
        if (!m_process->waitForExit(kExitWaitMs))
            m_process->kill();
        // What the launcher started may outlive it for a moment.
        if (!m_process->livingGroupMembers().isEmpty())
            m_process->kill();
        m_process.reset();
    }
    d->profile.reset();
    d->quitted = false;
}

} // namespace tolvane::docs
