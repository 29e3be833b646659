// The front of the office bridge: the public classes of LibreOffice.h, free
// of UNO. They forward to the UNO module, which is loaded at run time.
#include "docs/LibreOffice.h"
#include "docs/OfficeBridge.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

#include <algorithm>

#include <unistd.h>

namespace tolvane::docs {

// --- options -----------------------------------------------------------------

OfficeOptions::OfficeOptions() : pipeName(defaultPipeName()) {}

QString OfficeOptions::defaultPipeName() {
    return QStringLiteral("tolvane_office_%1").arg(::getuid());
}

QStringList OfficeOptions::arguments() const {
    // --nodefault: an office started for a document shows nothing of its own
    // until the document is made visible.
    QStringList args{QStringLiteral("--accept=pipe,name=%1;urp;").arg(pipeName),
                     QStringLiteral("--norestore"), QStringLiteral("--nologo"),
                     QStringLiteral("--nodefault")};
    if (headless)
        args << QStringLiteral("--headless");
    if (!profileDir.isEmpty())
        args << QStringLiteral("-env:UserInstallation=") +
                    QUrl::fromLocalFile(QFileInfo(profileDir).absoluteFilePath())
                        .toString(QUrl::FullyEncoded);
    return args;
}

// --- starting ----------------------------------------------------------------

namespace {
// How long an office that drops the connection may take to go away.
constexpr qint64 kEndingOfficeMs = 15000;
} // namespace

std::unique_ptr<bridge::Office> attachOrStart(const OfficeOptions& options,
                                              std::shared_ptr<OfficeProcess>* started) {
    bridge::Bridge& uno = officeBridge();
    // An office that is ending (the lecturer has just quit it) may still take
    // the connection and then drop it: it is given the time to go, and the
    // next office is started only once nothing answers on the pipe.
    QElapsedTimer ending;
    ending.start();
    for (;;) {
        try {
            if (std::unique_ptr<bridge::Office> office = uno.attach(options.pipeName))
                return office;
            break;
        } catch (const WordError&) {
            if (ending.elapsed() > kEndingOfficeMs)
                throw;
            QThread::msleep(200);
        }
    }

    auto process = std::make_shared<OfficeProcess>(options.program, options.arguments());
    process->start();
    if (started)
        *started = process;
    // The offices started stay this process's children while it runs; one
    // the lecturer has quit is reaped here rather than left as a zombie.
    static std::vector<std::shared_ptr<OfficeProcess>> offices;
    offices.erase(std::remove_if(offices.begin(), offices.end(),
                                 [](const auto& p) { return p->hasExited(); }),
                  offices.end());
    offices.push_back(process);

    QElapsedTimer timer;
    timer.start();
    QString lastError;
    for (;;) {
        QThread::msleep(200);
        // While the office comes up its pipe may refuse or drop a call;
        // only the deadline ends the waiting.
        try {
            if (std::unique_ptr<bridge::Office> office = uno.attach(options.pipeName))
                return office;
        } catch (const WordError& e) {
            lastError = e.text();
        }
        // A launcher that hands its arguments to an office already running
        // exits at once with 0 and that office opens the pipe; any other exit
        // means no office is coming.
        if (process->hasExited() && process->exitCode().value_or(-1) != 0)
            throw WordError(QStringLiteral("The word processor (%1) ended with status %2 "
                                           "before it answered.")
                                .arg(options.program)
                                .arg(process->exitCode().value_or(-1)));
        if (timer.elapsed() > options.startTimeoutMs) {
            QString text = QStringLiteral("The word processor (%1) did not answer on the pipe "
                                          "\"%2\" within %3 seconds.")
                               .arg(options.program, options.pipeName)
                               .arg(options.startTimeoutMs / 1000.0);
            if (!lastError.isEmpty())
                text += QLatin1Char(' ') + lastError;
            throw WordError(text);
        }
    }
}

// --- document ----------------------------------------------------------------

struct LibreOfficeDocument::Impl {
    std::unique_ptr<bridge::Document> doc;
};

LibreOfficeDocument::LibreOfficeDocument(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
LibreOfficeDocument::~LibreOfficeDocument() = default;

void LibreOfficeDocument::setCaption(const QString& caption) {
    d->doc->setCaption(caption);
}

QString LibreOfficeDocument::caption() const {
    return d->doc->caption();
}

void LibreOfficeDocument::insertAfter(const QString& text) {
    d->doc->append(text);
}

void LibreOfficeDocument::insertAfterLastSentence(const QString& text) {
    d->doc->append(text);
}

void LibreOfficeDocument::insertFileAfterLastSentence(const QString& path) {
    const QFileInfo file(path);
    const QString absolute = file.absoluteFilePath();
    // The office inserts nothing, and says nothing, for a file it cannot
    // read.
    if (!file.isFile() || !file.isReadable())
        throw WordError(QStringLiteral("The file %1 could not be found.").arg(absolute));
    try {
        d->doc->insertFile(QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded));
    } catch (const WordError& e) {
        // The office's message seldom names the file.
        if (e.text().contains(absolute))
            throw;
        throw WordError(QStringLiteral("%1 (%2)").arg(e.text(), absolute));
    }
}

void LibreOfficeDocument::setLastSentenceFont(const WordFont& font) {
    d->doc->setFont(font);
}

QList<WordParagraph> LibreOfficeDocument::paragraphs() const {
    return d->doc->paragraphs();
}

QString LibreOfficeDocument::text() const {
    return joinParagraphs(paragraphs());
}

bool LibreOfficeDocument::isVisible() const {
    return d->doc->isVisible();
}

bool LibreOfficeDocument::checksSpellingAsYouType() const {
    return d->doc->spellOnline();
}

// --- application -------------------------------------------------------------

struct LibreOfficeApplication::Impl {
    std::unique_ptr<bridge::Office> office;
    bool visible = false;

    bridge::Office& require(const char* operation) const {
        if (!office)
            throw WordError(QStringLiteral("%1: the word processor is not connected.")
                                .arg(QLatin1String(operation)));
        return *office;
    }
};

LibreOfficeApplication::LibreOfficeApplication(OfficeOptions options)
    : m_options(std::move(options)), d(std::make_unique<Impl>()) {}

LibreOfficeApplication::~LibreOfficeApplication() {
    disconnect();
}

void LibreOfficeApplication::connect() {
    std::shared_ptr<OfficeProcess> started;
    std::unique_ptr<bridge::Office> office = attachOrStart(m_options, &started);
    if (started)
        m_started = started;
    d->office = std::move(office);
}

bool LibreOfficeApplication::isConnected() const {
    return bool(d->office);
}

LibreOfficeDocument& LibreOfficeApplication::addDocument() {
    auto impl = std::make_unique<LibreOfficeDocument::Impl>();
    impl->doc = d->require("Documents.Add").addDocument(!d->visible);
    m_documents.push_back(
        std::unique_ptr<LibreOfficeDocument>(new LibreOfficeDocument(std::move(impl))));
    return *m_documents.back();
}

void LibreOfficeApplication::setCheckSpellingAsYouType(bool on) {
    bridge::Office& office = d->require("CheckSpellingAsYouType");
    // A view that is open already keeps its own switch, which decides
    // whether its words are marked; setting it writes the office's setting
    // too, so the office's setting is made right afterwards.
    for (const auto& doc : m_documents)
        doc->d->doc->setSpellOnline(on);
    office.setSpellingAutoCheck(on);
}

void LibreOfficeApplication::setCheckGrammarAsYouType(bool on) {
    d->require("CheckGrammarAsYouType").setGrammarAutoCheck(on);
}

bool LibreOfficeApplication::checkSpellingAsYouType() const {
    return d->require("CheckSpellingAsYouType").spellingAutoCheck();
}

bool LibreOfficeApplication::checkGrammarAsYouType() const {
    return d->require("CheckGrammarAsYouType").grammarAutoCheck();
}

void LibreOfficeApplication::setVisible(bool visible) {
    d->require("Visible");
    d->visible = visible;
    for (const auto& doc : m_documents)
        doc->d->doc->setVisible(visible);
}

QStringList LibreOfficeApplication::frameTitles() const {
    return d->require("Windows").frameTitles();
}

void LibreOfficeApplication::disconnect() {
    // Only references go; the office and its documents stay as they are.
    m_documents.clear();
    d->office.reset();
    d->visible = false;
}

bool LibreOfficeApplication::terminateOffice(const OfficeOptions& options) {
    std::unique_ptr<bridge::Office> office = officeBridge().attach(options.pipeName);
    if (!office)
        return false;
    office->terminate();
    return true;
}

} // namespace tolvane::docs
