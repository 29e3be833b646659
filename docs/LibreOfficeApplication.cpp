#include "docs/LibreOffice.h"
#include "docs/UnoSession.h"

#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/awt/XWindow2.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/document/XDocumentInsertable.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/linguistic2/LinguProperties.hpp>
#include <com/sun/star/linguistic2/XLinguProperties.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextDocument.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>

#include <QFileInfo>
#include <QUrl>

#include <optional>

#include <unistd.h>

namespace tolvane::docs {

using namespace uno;
using css::uno::Any;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

css::beans::PropertyValue property(const char* name, const Any& value) {
    css::beans::PropertyValue p;
    p.Name = rtl::OUString::createFromAscii(name);
    p.Value = value;
    return p;
}

const char kGrammarNode[] = "/org.openoffice.Office.Linguistic/GrammarChecking";
const char kGrammarAutoCheck[] = "IsAutoCheck";

Ref<css::uno::XInterface> configuration(const Ref<css::uno::XComponentContext>& office,
                                        const char* node, bool update) {
    Ref<css::lang::XMultiServiceFactory> provider =
        css::configuration::theDefaultProvider::get(office);
    const Any nodePath(property("nodepath", Any(rtl::OUString::createFromAscii(node))));
    const Sequence<Any> args(&nodePath, 1);
    return provider->createInstanceWithArguments(
        update ? rtl::OUString("com.sun.star.configuration.ConfigurationUpdateAccess")
               : rtl::OUString("com.sun.star.configuration.ConfigurationAccess"),
        args);
}

WordFont readFont(const Ref<css::beans::XPropertySet>& props) {
    WordFont font;
    rtl::OUString name;
    props->getPropertyValue("CharFontName") >>= name;
    font.name = fromOU(name);
    float weight = css::awt::FontWeight::NORMAL;
    props->getPropertyValue("CharWeight") >>= weight;
    font.bold = weight > css::awt::FontWeight::NORMAL;
    css::awt::FontSlant slant = css::awt::FontSlant_NONE;
    props->getPropertyValue("CharPosture") >>= slant;
    font.italic = slant != css::awt::FontSlant_NONE;
    bool shadow = false;
    props->getPropertyValue("CharShadowed") >>= shadow;
    font.shadow = shadow;
    float height = 0;
    props->getPropertyValue("CharHeight") >>= height;
    font.size = height;
    return font;
}

} // namespace

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

// --- document ----------------------------------------------------------------

struct LibreOfficeDocument::Impl {
    Ref<css::uno::XComponentContext> office;
    Ref<css::text::XTextDocument> document;
    Ref<css::frame::XFrame> frame;
    // The font last set: text appended after an inserted file carries it
    // too, not the file's own.
    std::optional<WordFont> font;

    // A cursor at the very end of the text, where everything is appended.
    Ref<css::text::XTextCursor> end() const {
        Ref<css::text::XText> text = document->getText();
        Ref<css::text::XTextCursor> cursor = text->createTextCursor();
        cursor->gotoEnd(false);
        return cursor;
    }

    // Sets the font at the end, where the next text goes.
    void applyFont(const WordFont& font) const {
        Ref<css::beans::XPropertySet> props(end(), UNO_QUERY_THROW);
        const float weight = font.bold ? css::awt::FontWeight::BOLD : css::awt::FontWeight::NORMAL;
        const css::awt::FontSlant slant =
            font.italic ? css::awt::FontSlant_ITALIC : css::awt::FontSlant_NONE;
        const float height = float(font.size);
        props->setPropertyValue("CharFontName", Any(toOU(font.name)));
        // Bold, italic and size hold for every script, as in Word; the name
        // is the font of Latin text.
        for (const char* suffix : {"", "Asian", "Complex"}) {
            const rtl::OUString s = rtl::OUString::createFromAscii(suffix);
            props->setPropertyValue("CharWeight" + s, Any(weight));
            props->setPropertyValue("CharPosture" + s, Any(slant));
            props->setPropertyValue("CharHeight" + s, Any(height));
        }
        props->setPropertyValue("CharShadowed", Any(font.shadow));
    }

    void append(const QString& s) {
        call([&] {
            Ref<css::text::XTextCursor> cursor = end();
            // insertString ends a paragraph at each "\r".
            document->getText()->insertString(Ref<css::text::XTextRange>(cursor.get()), toOU(s),
                                              false);
        });
    }
};

LibreOfficeDocument::LibreOfficeDocument(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
LibreOfficeDocument::~LibreOfficeDocument() = default;

void LibreOfficeDocument::setCaption(const QString& caption) {
    call([&] { Ref<css::frame::XTitle>(d->frame, UNO_QUERY_THROW)->setTitle(toOU(caption)); });
}

QString LibreOfficeDocument::caption() const {
    return call(
        [&] { return fromOU(Ref<css::frame::XTitle>(d->frame, UNO_QUERY_THROW)->getTitle()); });
}

void LibreOfficeDocument::insertAfter(const QString& text) {
    d->append(text);
}

void LibreOfficeDocument::insertAfterLastSentence(const QString& text) {
    d->append(text);
}

void LibreOfficeDocument::insertFileAfterLastSentence(const QString& path) {
    const QFileInfo file(path);
    const QString absolute = file.absoluteFilePath();
    // The office inserts nothing, and says nothing, for a file it cannot
    // read.
    if (!file.isFile() || !file.isReadable())
        throw WordError(QStringLiteral("The file %1 could not be found.").arg(absolute));
    try {
        call([&] {
            // The office puts the file's first paragraph on a paragraph of
            // its own, so an empty last paragraph would stay behind as an
            // empty line before it; Word lets the file's text begin there.
            // Where that paragraph was is marked by the end of the paragraph
            // before it (or the start of the text): the empty paragraph
            // itself is rebuilt by the insertion.
            Ref<css::text::XParagraphCursor> mark(d->end(), UNO_QUERY_THROW);
            const bool emptyEnd = mark->isStartOfParagraph();
            const bool first = !mark->goLeft(1, false);
            Ref<css::document::XDocumentInsertable> insertable(d->end(), UNO_QUERY_THROW);
            insertable->insertDocumentFromURL(
                toOU(QUrl::fromLocalFile(absolute).toString(QUrl::FullyEncoded)), {});
            if (emptyEnd) {
                if (first)
                    mark->gotoStart(false);
                Ref<css::text::XParagraphCursor> next(
                    d->document->getText()->createTextCursorByRange(mark->getStart()),
                    UNO_QUERY_THROW);
                if (!first)
                    next->goRight(1, false);
                if (next->isStartOfParagraph() && next->isEndOfParagraph() &&
                    mark->goRight(1, true))
                    mark->setString(rtl::OUString());
            }
            if (d->font)
                d->applyFont(*d->font);
        });
    } catch (const WordError& e) {
        // The office's message seldom names the file.
        if (e.text().contains(absolute))
            throw;
        throw WordError(QStringLiteral("%1 (%2)").arg(e.text(), absolute));
    }
}

void LibreOfficeDocument::setLastSentenceFont(const WordFont& font) {
    call([&] { d->applyFont(font); });
    d->font = font;
}

QList<WordParagraph> LibreOfficeDocument::paragraphs() const {
    return call([&] {
        QList<WordParagraph> result;
        Ref<css::text::XText> text = d->document->getText();
        Ref<css::container::XEnumerationAccess> access(text, UNO_QUERY_THROW);
        Ref<css::container::XEnumeration> items = access->createEnumeration();
        while (items->hasMoreElements()) {
            Ref<css::lang::XServiceInfo> info(items->nextElement(), UNO_QUERY_THROW);
            // Tables have no single text of their own.
            if (!info->supportsService("com.sun.star.text.Paragraph"))
                continue;
            Ref<css::text::XTextRange> range(info, UNO_QUERY_THROW);
            WordParagraph p;
            p.text = fromOU(range->getString());
            // The font of the first character, or at the empty paragraph's
            // position.
            Ref<css::text::XTextCursor> cursor = text->createTextCursorByRange(range->getStart());
            if (!p.text.isEmpty())
                cursor->goRight(1, true);
            p.font = readFont(Ref<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW));
            result << p;
        }
        return result;
    });
}

QString LibreOfficeDocument::text() const {
    return joinParagraphs(paragraphs());
}

bool LibreOfficeDocument::isVisible() const {
    return call([&] {
        Ref<css::awt::XWindow2> window(d->frame->getContainerWindow(), UNO_QUERY_THROW);
        return bool(window->isVisible());
    });
}

// --- application -------------------------------------------------------------

struct LibreOfficeApplication::Impl {
    Ref<css::uno::XComponentContext> office;
    Ref<css::frame::XDesktop2> desktop;
    bool visible = false;

    void require(const char* operation) const {
        if (!office.is())
            throw WordError(QStringLiteral("%1: the word processor is not connected.")
                                .arg(QLatin1String(operation)));
    }
};

LibreOfficeApplication::LibreOfficeApplication(OfficeOptions options)
    : m_options(std::move(options)), d(std::make_unique<Impl>()) {}

LibreOfficeApplication::~LibreOfficeApplication() {
    disconnect();
}

void LibreOfficeApplication::connect() {
    std::shared_ptr<OfficeProcess> started;
    Ref<css::uno::XComponentContext> office = attachOrStart(m_options, &started);
    if (started)
        m_started = started;
    d->desktop = call([&] { return css::frame::Desktop::create(office); });
    d->office = office;
}

bool LibreOfficeApplication::isConnected() const {
    return d->office.is();
}

LibreOfficeDocument& LibreOfficeApplication::addDocument() {
    d->require("Documents.Add");
    auto impl = std::make_unique<LibreOfficeDocument::Impl>();
    call([&] {
        const css::beans::PropertyValue hidden = property("Hidden", Any(!d->visible));
        const Sequence<css::beans::PropertyValue> args(&hidden, 1);
        Ref<css::lang::XComponent> component =
            d->desktop->loadComponentFromURL("private:factory/swriter", "_blank", 0, args);
        impl->document.set(component, UNO_QUERY_THROW);
        Ref<css::frame::XModel> model(component, UNO_QUERY_THROW);
        impl->frame = model->getCurrentController()->getFrame();
        impl->office = d->office;
    });
    m_documents.push_back(
        std::unique_ptr<LibreOfficeDocument>(new LibreOfficeDocument(std::move(impl))));
    return *m_documents.back();
}

void LibreOfficeApplication::setCheckSpellingAsYouType(bool on) {
    d->require("CheckSpellingAsYouType");
    call([&] {
        css::linguistic2::LinguProperties::create(d->office)->setIsSpellAuto(on);
        // A view that is open already keeps its own switch; the view's own
        // command sets it (and the setting again).
        Ref<css::frame::XDispatchHelper> dispatcher = css::frame::DispatchHelper::create(d->office);
        const css::beans::PropertyValue state = property("SpellOnline", Any(on));
        const Sequence<css::beans::PropertyValue> args(&state, 1);
        for (const auto& doc : m_documents) {
            Ref<css::frame::XDispatchProvider> provider(doc->d->frame, UNO_QUERY_THROW);
            dispatcher->executeDispatch(provider, ".uno:SpellOnline", "", 0, args);
        }
    });
}

void LibreOfficeApplication::setCheckGrammarAsYouType(bool on) {
    d->require("CheckGrammarAsYouType");
    call([&] {
        Ref<css::uno::XInterface> access = configuration(d->office, kGrammarNode, true);
        Ref<css::container::XNameReplace>(access, UNO_QUERY_THROW)
            ->replaceByName(kGrammarAutoCheck, Any(on));
        Ref<css::util::XChangesBatch>(access, UNO_QUERY_THROW)->commitChanges();
    });
}

bool LibreOfficeApplication::checkSpellingAsYouType() const {
    d->require("CheckSpellingAsYouType");
    return call([&] {
        return bool(css::linguistic2::LinguProperties::create(d->office)->getIsSpellAuto());
    });
}

bool LibreOfficeApplication::checkGrammarAsYouType() const {
    d->require("CheckGrammarAsYouType");
    return call([&] {
        Ref<css::container::XNameAccess> access(configuration(d->office, kGrammarNode, false),
                                                UNO_QUERY_THROW);
        bool on = false;
        access->getByName(kGrammarAutoCheck) >>= on;
        return on;
    });
}

void LibreOfficeApplication::setVisible(bool visible) {
    d->require("Visible");
    d->visible = visible;
    call([&] {
        for (const auto& doc : m_documents) {
            doc->d->frame->getContainerWindow()->setVisible(visible);
            if (visible)
                doc->d->frame->activate();
        }
    });
}

QStringList LibreOfficeApplication::frameTitles() const {
    d->require("Windows");
    return call([&] {
        QStringList titles;
        Ref<css::container::XIndexAccess> frames(d->desktop->getFrames(), UNO_QUERY_THROW);
        for (sal_Int32 i = 0; i < frames->getCount(); ++i) {
            Ref<css::frame::XTitle> title(frames->getByIndex(i), UNO_QUERY);
            if (title.is())
                titles << fromOU(title->getTitle());
        }
        return titles;
    });
}

void LibreOfficeApplication::disconnect() {
    // Only references go; the office and its documents stay as they are.
    m_documents.clear();
    d->desktop.clear();
    d->office.clear();
    d->visible = false;
}

bool LibreOfficeApplication::terminateOffice(const OfficeOptions& options) {
    Ref<css::uno::XComponentContext> office = attach(options.pipeName);
    if (!office.is())
        return false;
    uno::terminate(office);
    return true;
}

} // namespace tolvane::docs
