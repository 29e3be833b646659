#pragma once

#include "docs/OfficeProcess.h"
#include "docs/WordApi.h"
#include "docs/WordText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace tolvane::docs {

// Where the office listens and how it is started when nothing answers. The
// defaults are the lecturer's office: visible, their own profile, a pipe of
// this program per user. Tests use a headless office with a private profile
// and a pipe of their own.
struct OfficeOptions {
    OfficeOptions();

    QString pipeName;
    bool headless = false;
    // Empty: the user's own profile.
    QString profileDir;
    QString program = QStringLiteral("soffice");
    // How long a started office may take until it answers.
    int startTimeoutMs = 60000;

    // "tolvane_office_<uid>".
    static QString defaultPipeName();
    // The command-line arguments that make an office listen on the pipe.
    QStringList arguments() const;
};

class LibreOfficeApplication;

// A Writer document of the office. Besides the operations of WordDocument it
// reads itself back, for checks of what was written.
class LibreOfficeDocument : public WordDocument {
public:
    ~LibreOfficeDocument() override;

    void setCaption(const QString& caption) override;
    void insertAfter(const QString& text) override;
    void insertAfterLastSentence(const QString& text) override;
    void insertFileAfterLastSentence(const QString& path) override;
    void setLastSentenceFont(const WordFont& font) override;

    // The title of the document's frame.
    QString caption() const;
    // Every paragraph in order, each with the font of its first text.
    QList<WordParagraph> paragraphs() const;
    // The paragraphs' texts joined by "\r".
    QString text() const;
    bool isVisible() const;
    // Whether the document's view checks spelling as it is typed (and marks
    // the words it does not know), as the view has it now.
    bool checksSpellingAsYouType() const;

private:
    friend class LibreOfficeApplication;
    struct Impl;
    explicit LibreOfficeDocument(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

// The office driven through UNO. connect attaches to the office listening on
// the pipe, or starts one that listens there and waits until it answers;
// disconnect drops every reference and leaves the office and its documents
// open. Every failure raises WordError with the office's own message; where
// the UNO module cannot be loaded (no office installed), connect's message
// names the module and why.
class LibreOfficeApplication : public WordApplication {
public:
    explicit LibreOfficeApplication(OfficeOptions options = OfficeOptions());
    ~LibreOfficeApplication() override;

    void connect() override;
    // A new Writer document, hidden until setVisible(true).
    LibreOfficeDocument& addDocument() override;
    // These are the office's own settings (automatic spell checking, and
    // automatic grammar checking where a checker is installed), as Word's
    // options are Word's own.
    void setCheckSpellingAsYouType(bool on) override;
    void setCheckGrammarAsYouType(bool on) override;
    // Shows (or hides) the frames of the documents added since connect.
    void setVisible(bool visible) override;
    void disconnect() override;

    const OfficeOptions& options() const { return m_options; }
    bool isConnected() const;
    // The settings as the office has them now.
    bool checkSpellingAsYouType() const;
    bool checkGrammarAsYouType() const;
    // The titles of all the office's frames, documents left open earlier
    // included.
    QStringList frameTitles() const;
    // The office this object started, if connect had to start one; null when
    // it attached to one that was already there.
    std::shared_ptr<OfficeProcess> startedOffice() const { return m_started; }

    // Ends the office listening on the pipe of these options, if one answers;
    // true when one did. Only for an office this program owns (tests): the
    // program never ends the lecturer's office.
    static bool terminateOffice(const OfficeOptions& options);

private:
    struct Impl;
    OfficeOptions m_options;
    std::unique_ptr<Impl> d;
    std::vector<std::unique_ptr<LibreOfficeDocument>> m_documents;
    std::shared_ptr<OfficeProcess> m_started;
};

// Start-up's check. create starts a private office (headless, a pipe of its
// own) so that it never touches an office the lecturer has open; quit ends
// it; release makes sure its processes are gone.
//
// The office runs on a profile of this program that is kept between runs
// (keptProfileDir), never the lecturer's own: an office starts several times
// faster on a profile it has set up before. While one check uses that
// profile, a check of a second copy of the program uses a temporary profile,
// removed again by release, as does a check after the kept profile failed.
class LibreOfficeVersionProbe : public WordVersionProbe {
public:
    // program: the office's command; startTimeoutMs: how long it may take to
    // answer before create gives up.
    explicit LibreOfficeVersionProbe(QString program = QStringLiteral("soffice"),
                                     int startTimeoutMs = 60000);
    ~LibreOfficeVersionProbe() override;

    // False as well when the UNO module cannot be loaded (no office
    // installed).
    bool create() override;
    // The product version in the year.month scheme (yearMonthVersion), with
    // the locale's decimal separator.
    QString version() override;
    void quit() override;
    void release() override;

    // The office's raw version text, e.g. "7.4".
    QString officeVersion();
    // The started office process (null before create and after release).
    std::shared_ptr<OfficeProcess> process() const { return m_process; }
    // The profile the started office runs on; empty before create and after
    // release.
    QString profileDir() const;

    // The kept profile: "tolvane/office-check-profile" in the user's cache
    // folder.
    static QString defaultKeptProfileDir();
    QString keptProfileDir() const { return m_keptProfile; }
    // For tests: keep the profile elsewhere.
    void setKeptProfileDir(const QString& dir) { m_keptProfile = dir; }

private:
    struct Impl;
    bool start(const QString& profile);
    // Ends the office and its processes; the profile stays in use.
    void stopOffice();
    QString m_program;
    int m_timeoutMs;
    QString m_keptProfile;
    std::unique_ptr<Impl> d;
    std::shared_ptr<OfficeProcess> m_process;
};

// The UNO module that drives the office (built beside the executable): where
// it is looked for. Tests may point elsewhere; an empty path restores the
// default, beside the executable (or in the build tree for programs that run
// from another folder of it).
QString unoModulePath();
void setUnoModulePath(const QString& path);

} // namespace tolvane::docs
