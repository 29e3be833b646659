#include "docs/RecordingWord.h"

#include <QFileInfo>

namespace tolvane::docs {

namespace {

QString flag(bool on) {
    return on ? QStringLiteral("1") : QStringLiteral("0");
}

} // namespace

RecordingWordDocument::RecordingWordDocument(RecordingWordApplication* app) : m_app(app) {
    m_paragraphs.append(WordParagraph{QString(), m_font});
}

void RecordingWordDocument::check(const QString& operation) const {
    m_app->requireConnected(operation);
}

void RecordingWordDocument::setCaption(const QString& caption) {
    check(QStringLiteral("Caption"));
    m_caption = caption;
    m_app->m_log << QStringLiteral("caption ") + caption;
}

void RecordingWordDocument::append(const QString& text) {
    const QStringList pieces = text.split(QLatin1Char('\r'));
    for (int i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            m_paragraphs.append(WordParagraph{QString(), m_font});
        WordParagraph& last = m_paragraphs.last();
        if (last.text.isEmpty())
            last.font = m_font;
        last.text += pieces[i];
    }
}

void RecordingWordDocument::insertAfter(const QString& text) {
    check(QStringLiteral("InsertAfter"));
    m_app->m_log << QStringLiteral("insertAfter ") + text;
    append(text);
}

void RecordingWordDocument::insertAfterLastSentence(const QString& text) {
    check(QStringLiteral("InsertAfter"));
    m_app->m_log << QStringLiteral("insertAfterLastSentence ") + text;
    append(text);
}

QString RecordingWordDocument::fileMarker(const QString& path) {
    return QStringLiteral("[file %1]").arg(path);
}

void RecordingWordDocument::insertFileAfterLastSentence(const QString& path) {
    check(QStringLiteral("InsertFile"));
    m_app->m_log << QStringLiteral("insertFile ") + path;
    if (!QFileInfo(path).isFile())
        throw WordError(QStringLiteral("The file %1 could not be found.").arg(path));
    m_files << path;
    // The office begins the file's content on a paragraph of its own; what
    // is appended next continues its last paragraph.
    if (!m_paragraphs.last().text.isEmpty())
        append(QStringLiteral("\r"));
    append(fileMarker(path));
}

void RecordingWordDocument::setLastSentenceFont(const WordFont& font) {
    check(QStringLiteral("Font"));
    m_app->m_log << QStringLiteral("font %1 bold %2 italic %3 shadow %4 size %5")
                        .arg(font.name, flag(font.bold), flag(font.italic), flag(font.shadow))
                        .arg(font.size);
    m_font = font;
    m_fontCalls << font;
    if (m_paragraphs.last().text.isEmpty())
        m_paragraphs.last().font = font;
}

RecordingWordApplication::RecordingWordApplication() = default;
RecordingWordApplication::~RecordingWordApplication() = default;

void RecordingWordApplication::requireConnected(const QString& operation) const {
    if (!m_connected)
        throw WordError(QStringLiteral("%1: the word processor is not connected.").arg(operation));
}

void RecordingWordApplication::connect() {
    if (!m_connectFailure.isEmpty()) {
        m_log << QStringLiteral("connect failed");
        throw WordError(m_connectFailure);
    }
    ++m_connects;
    m_connected = true;
    m_log << QStringLiteral("connect");
}

RecordingWordDocument& RecordingWordApplication::addDocument() {
    requireConnected(QStringLiteral("Documents.Add"));
    m_log << QStringLiteral("addDocument");
    m_documents.push_back(std::unique_ptr<RecordingWordDocument>(new RecordingWordDocument(this)));
    return *m_documents.back();
}

void RecordingWordApplication::setCheckSpellingAsYouType(bool on) {
    requireConnected(QStringLiteral("CheckSpellingAsYouType"));
    m_log << QStringLiteral("spelling ") + flag(on);
    m_spelling = on;
}

void RecordingWordApplication::setCheckGrammarAsYouType(bool on) {
    requireConnected(QStringLiteral("CheckGrammarAsYouType"));
    m_log << QStringLiteral("grammar ") + flag(on);
    m_grammar = on;
}

void RecordingWordApplication::setVisible(bool visible) {
    requireConnected(QStringLiteral("Visible"));
    m_log << QStringLiteral("visible ") + flag(visible);
    m_visible = visible;
}

void RecordingWordApplication::disconnect() {
    ++m_disconnects;
    m_connected = false;
    m_log << QStringLiteral("disconnect");
}

void RecordingWordApplication::setConnectFailure(const QString& message) {
    m_connectFailure = message;
}

RecordingWordDocument& RecordingWordApplication::document(int index) const {
    if (index < 0 || index >= documentCount())
        throw WordError(QStringLiteral("There is no document %1.").arg(index));
    return *m_documents[size_t(index)];
}

RecordingWordDocument& RecordingWordApplication::lastDocument() const {
    return document(documentCount() - 1);
}

} // namespace tolvane::docs
