#pragma once

// Internal to the office bridge: what the UNO module (tolvane_uno, loaded at
// run time) offers the front classes of LibreOffice.h. Nothing here needs
// UNO, so the program itself links no UNO library and starts, and can say
// that the word processor is missing, on a machine without LibreOffice.
//
// Every call may raise WordError with the office's own message.

#include "docs/OfficeProcess.h"
#include "docs/WordApi.h"
#include "docs/WordText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

namespace tolvane::docs {

struct OfficeOptions;

namespace bridge {

// One Writer document and its frame.
class Document {
public:
    virtual ~Document() = default;
    virtual void setCaption(const QString& caption) = 0;
    virtual QString caption() const = 0;
    // Appends at the end; "\r" ends a paragraph.
    virtual void append(const QString& text) = 0;
    // Inserts the word-processor file at `url` (file URL of a readable file)
    // at the end.
    virtual void insertFile(const QString& url) = 0;
    // The font at the end, where the next text goes; it holds for text after
    // an inserted file too.
    virtual void setFont(const WordFont& font) = 0;
    virtual QList<WordParagraph> paragraphs() const = 0;
    virtual bool isVisible() const = 0;
    // Shows (and activates) or hides the frame.
    virtual void setVisible(bool visible) = 0;
    // The view's own switch of automatic spell checking (the red marks under
    // words it does not know), as the view has it now.
    virtual void setSpellOnline(bool on) = 0;
    virtual bool spellOnline() const = 0;
};

// A connection to one running office.
class Office {
public:
    virtual ~Office() = default;
    virtual std::unique_ptr<Document> addDocument(bool hidden) = 0;
    virtual void setSpellingAutoCheck(bool on) = 0;
    virtual bool spellingAutoCheck() const = 0;
    virtual void setGrammarAutoCheck(bool on) = 0;
    virtual bool grammarAutoCheck() const = 0;
    virtual QStringList frameTitles() const = 0;
    // ooSetupVersion of /org.openoffice.Setup/Product, e.g. "7.4".
    virtual QString productVersion() const = 0;
    // Records in the office's profile that this version has run on it. An
    // office started on a profile that has not seen its version first runs
    // its graphics self-tests, which take several seconds; a headless office
    // never records the version itself.
    virtual void recordVersionSeen() = 0;
    // Asks the office to end; one that goes away during the call has done
    // what was asked.
    virtual void terminate() = 0;
};

class Bridge {
public:
    virtual ~Bridge() = default;
    // The office listening on the pipe; null when nothing answers there.
    virtual std::unique_ptr<Office> attach(const QString& pipeName) = 0;
};

// The version of these interfaces; the module's entry point refuses any
// other, so a module built from other sources is not called into.
constexpr int kInterfaceVersion = 1;

} // namespace bridge

// The module's bridge, loaded on first use and kept for the life of the
// process. Raises WordError naming the module and why it could not be
// loaded (missing, or its UNO libraries missing).
bridge::Bridge& officeBridge();

// The office on the pipe of the options; starts one when nothing answers and
// waits for it. The process started, if any, goes to *started.
std::unique_ptr<bridge::Office> attachOrStart(const OfficeOptions& options,
                                              std::shared_ptr<OfficeProcess>* started);

} // namespace tolvane::docs

// The module's entry point: its bridge, or null when it was built for
// another version of these interfaces. The bridge lives as long as the
// process.
using TolvaneOfficeBridgeEntry = tolvane::docs::bridge::Bridge* (*)(int interfaceVersion);
#define TOLVANE_OFFICE_BRIDGE_ENTRY "tolvane_office_bridge"
