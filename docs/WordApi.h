#pragma once

#include <QString>

#include <memory>
#include <stdexcept>

namespace tolvane::docs {

// A failure of the word processor; what() carries its own message.
class WordError : public std::runtime_error {
public:
    explicit WordError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// The font set on the last sentence; text appended afterwards carries it.
struct WordFont {
    QString name = QStringLiteral("Times New Roman");
    bool bold = false;
    bool italic = false;
    bool shadow = false;
    double size = 12.0;
};

// One document of the word processor. Every operation raises WordError.
class WordDocument {
public:
    virtual ~WordDocument() = default;
    // The title of the document's window.
    virtual void setCaption(const QString& caption) = 0;
    // Appends text at the end of the whole document; "\r" ends a paragraph.
    virtual void insertAfter(const QString& text) = 0;
    // Appends text after the last sentence (the end of the document).
    virtual void insertAfterLastSentence(const QString& text) = 0;
    // Inserts a word-processor file (full path) at the end.
    virtual void insertFileAfterLastSentence(const QString& path) = 0;
    // Sets the font of the last sentence, in the order name, bold, italic,
    // shadow, size.
    virtual void setLastSentenceFont(const WordFont& font) = 0;
};

// The word-processor application. Connect attaches to a running one or
// starts it; disconnect drops the link and never quits it.
class WordApplication {
public:
    virtual ~WordApplication() = default;
    virtual void connect() = 0;
    // A new empty document; the application keeps it alive until disconnect.
    virtual WordDocument& addDocument() = 0;
    virtual void setCheckSpellingAsYouType(bool on) = 0;
    virtual void setCheckGrammarAsYouType(bool on) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void disconnect() = 0;
};

// The start-up check: create the application object, read its version
// text, quit it and release it.
class WordVersionProbe {
public:
    virtual ~WordVersionProbe() = default;
    // False when the word processor cannot be created.
    virtual bool create() = 0;
    virtual QString version() = 0;
    virtual void quit() = 0;
    virtual void release() = 0;
};

} // namespace tolvane::docs
