#pragma once

#include "docs/WordApi.h"
#include "docs/WordText.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace tolvane::docs {

class RecordingWordApplication;

// A document kept as paragraphs. It begins as one empty paragraph, as a new
// word-processor document does. A paragraph carries the font in effect when
// its first character arrived; a font set while the last paragraph is still
// empty becomes that paragraph's font, as it does in the office.
class RecordingWordDocument : public WordDocument {
public:
    void setCaption(const QString& caption) override;
    void insertAfter(const QString& text) override;
    void insertAfterLastSentence(const QString& text) override;
    // The file must exist (the office cannot insert a missing one). Its
    // content stands in the text as fileMarker(path), on a paragraph of its
    // own unless the last paragraph is still empty.
    void insertFileAfterLastSentence(const QString& path) override;
    void setLastSentenceFont(const WordFont& font) override;

    static QString fileMarker(const QString& path);

    QString caption() const { return m_caption; }
    // Every paragraph, the last (open) one included, even when empty.
    const QList<WordParagraph>& paragraphs() const { return m_paragraphs; }
    // All appended text: the paragraphs joined by "\r".
    QString text() const { return joinParagraphs(m_paragraphs); }
    WordFont font() const { return m_font; }
    QStringList insertedFiles() const { return m_files; }
    // Each font set, in order.
    const QList<WordFont>& fontCalls() const { return m_fontCalls; }

private:
    friend class RecordingWordApplication;
    explicit RecordingWordDocument(RecordingWordApplication* app);
    void append(const QString& text);
    void check(const QString& operation) const;

    RecordingWordApplication* m_app;
    QString m_caption;
    QList<WordParagraph> m_paragraphs;
    WordFont m_font;
    QStringList m_files;
    QList<WordFont> m_fontCalls;
};

// A stand-in for the office that records what a renderer asks of it. Calls
// on a disconnected application, or on its documents, raise WordError, as
// they would against the real office; the documents themselves stay
// readable after disconnect, as the real ones stay open.
class RecordingWordApplication : public WordApplication {
public:
    RecordingWordApplication();
    ~RecordingWordApplication() override;

    void connect() override;
    RecordingWordDocument& addDocument() override;
    void setCheckSpellingAsYouType(bool on) override;
    void setCheckGrammarAsYouType(bool on) override;
    void setVisible(bool visible) override;
    void disconnect() override;

    // Makes the next connects fail with this message (an empty text lets
    // them succeed again).
    void setConnectFailure(const QString& message = QStringLiteral("Word is not available"));

    bool isConnected() const { return m_connected; }
    int connectCount() const { return m_connects; }
    int disconnectCount() const { return m_disconnects; }
    bool isVisible() const { return m_visible; }
    // Unset until the renderer sets them.
    std::optional<bool> checkSpellingAsYouType() const { return m_spelling; }
    std::optional<bool> checkGrammarAsYouType() const { return m_grammar; }

    int documentCount() const { return int(m_documents.size()); }
    RecordingWordDocument& document(int index) const;
    RecordingWordDocument& lastDocument() const;

    // Every call in order, one line each, for checks of the order of calls:
    // "connect", "addDocument", "caption <text>", "spelling 0", "grammar 0",
    // "insertAfter <text>", "insertAfterLastSentence <text>", "insertFile
    // <path>", "font <name> bold <0|1> italic <0|1> shadow <0|1> size <n>",
    // "visible <0|1>", "disconnect". A failed connect logs "connect failed".
    const QStringList& log() const { return m_log; }

private:
    friend class RecordingWordDocument;
    void requireConnected(const QString& operation) const;

    bool m_connected = false;
    int m_connects = 0;
    int m_disconnects = 0;
    bool m_visible = false;
    std::optional<bool> m_spelling;
    std::optional<bool> m_grammar;
    QString m_connectFailure;
    std::vector<std::unique_ptr<RecordingWordDocument>> m_documents;
    QStringList m_log;
};

} // namespace tolvane::docs
