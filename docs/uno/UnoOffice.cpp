// The office driven through UNO: the implementation behind the front classes
// of LibreOffice.h. It is built as a module of its own (tolvane_uno) and
// loaded at run time, so that only this module needs the UNO libraries.
#include "docs/OfficeBridge.h"
#include "docs/uno/UnoSession.h"

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
#include <com/sun/star/frame/XDispatch.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XFrames.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStatusListener.hpp>
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
#include <com/sun/star/util/URLTransformer.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <cppuhelper/implbase1.hxx>
#include <rtl/ref.hxx>

#include <optional>

namespace tolvane::docs::uno {

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
const char kProductNode[] = "/org.openoffice.Setup/Product";
const char kLastVersion[] = "ooSetupLastVersion";

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

// Takes the state a dispatch reports for its command.
class StateListener : public cppu::WeakImplHelper1<css::frame::XStatusListener> {
public:
    void SAL_CALL statusChanged(const css::frame::FeatureStateEvent& event) override {
        bool on = false;
        if (event.State >>= on)
            state = on;
    }
    void SAL_CALL disposing(const css::lang::EventObject&) override {}
    std::optional<bool> state;
};

class UnoDocument : public bridge::Document {
public:
    UnoDocument(Ref<css::uno::XComponentContext> office, Ref<css::text::XTextDocument> document,
                Ref<css::frame::XFrame> frame)
        : m_office(std::move(office)), m_document(std::move(document)), m_frame(std::move(frame)) {}

    void setCaption(const QString& caption) override {
        call([&] { Ref<css::frame::XTitle>(m_frame, UNO_QUERY_THROW)->setTitle(toOU(caption)); });
    }

    QString caption() const override {
        return call(
            [&] { return fromOU(Ref<css::frame::XTitle>(m_frame, UNO_QUERY_THROW)->getTitle()); });
    }

    void append(const QString& s) override {
        call([&] {
            Ref<css::text::XTextCursor> cursor = end();
            // insertString ends a paragraph at each "\r".
            m_document->getText()->insertString(Ref<css::text::XTextRange>(cursor.get()), toOU(s),
                                                false);
        });
    }

    void insertFile(const QString& url) override {
        call([&] {
            // The office puts the file's first paragraph on a paragraph of
            // its own, so an empty last paragraph would stay behind as an
            // empty line before it; Word lets the file's text begin there.
            // Where that paragraph was is marked by the end of the paragraph
            // before it (or the start of the text): the empty paragraph
            // itself is rebuilt by the insertion.
            Ref<css::text::XParagraphCursor> mark(end(), UNO_QUERY_THROW);
            const bool emptyEnd = mark->isStartOfParagraph();
            const bool first = !mark->goLeft(1, false);
            Ref<css::document::XDocumentInsertable> insertable(end(), UNO_QUERY_THROW);
            insertable->insertDocumentFromURL(toOU(url), {});
            if (emptyEnd) {
                if (first)
                    mark->gotoStart(false);
                Ref<css::text::XParagraphCursor> next(
                    m_document->getText()->createTextCursorByRange(mark->getStart()),
                    UNO_QUERY_THROW);
                if (!first)
                    next->goRight(1, false);
                if (next->isStartOfParagraph() && next->isEndOfParagraph() &&
                    mark->goRight(1, true))
                    mark->setString(rtl::OUString());
            }
            if (m_font)
                applyFont(*m_font);
        });
    }

    void setFont(const WordFont& font) override {
        call([&] { applyFont(font); });
        m_font = font;
    }

    QList<WordParagraph> paragraphs() const override {
        return call([&] {
            QList<WordParagraph> result;
            Ref<css::text::XText> text = m_document->getText();
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
                // The font of the first character, or at the empty
                // paragraph's position.
                Ref<css::text::XTextCursor> cursor =
                    text->createTextCursorByRange(range->getStart());
                if (!p.text.isEmpty())
                    cursor->goRight(1, true);
                p.font = readFont(Ref<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW));
                result << p;
            }
            return result;
        });
    }

    bool isVisible() const override {
        return call([&] {
            Ref<css::awt::XWindow2> window(m_frame->getContainerWindow(), UNO_QUERY_THROW);
            return bool(window->isVisible());
        });
    }

    void setVisible(bool visible) override {
        call([&] {
            m_frame->getContainerWindow()->setVisible(visible);
            if (visible)
                m_frame->activate();
        });
    }

    void setSpellOnline(bool on) override {
        // The view's command only toggles its switch, whatever state it is
        // given (and writes the office's setting as it goes): it is sent only
        // when the view is not as wanted, or every other document written
        // would be marked.
        if (spellOnline() == on)
            return;
        call([&] {
            Ref<css::frame::XDispatchHelper> dispatcher =
                css::frame::DispatchHelper::create(m_office);
            Ref<css::frame::XDispatchProvider> provider(m_frame, UNO_QUERY_THROW);
            dispatcher->executeDispatch(provider, ".uno:SpellOnline", "", 0, {});
        });
        if (spellOnline() != on)
            throw WordError(QStringLiteral("The document's view did not switch its spell checking "
                                           "%1.")
                                .arg(on ? QStringLiteral("on") : QStringLiteral("off")));
    }

    bool spellOnline() const override {
        return call([&] {
            css::util::URL url;
            url.Complete = ".uno:SpellOnline";
            css::util::URLTransformer::create(m_office)->parseStrict(url);
            Ref<css::frame::XDispatchProvider> provider(m_frame, UNO_QUERY_THROW);
            Ref<css::frame::XDispatch> dispatch = provider->queryDispatch(url, "", 0);
            if (!dispatch.is())
                throw WordError(QStringLiteral("The document's view has no spell checking."));
            // A new listener is told the current state at once.
            rtl::Reference<StateListener> listener(new StateListener);
            const Ref<css::frame::XStatusListener> asListener(listener.get());
            dispatch->addStatusListener(asListener, url);
            dispatch->removeStatusListener(asListener, url);
            if (!listener->state)
                throw WordError(
                    QStringLiteral("The document's view did not say whether it checks spelling."));
            return *listener->state;
        });
    }

private:
    // A cursor at the very end of the text, where everything is appended.
    Ref<css::text::XTextCursor> end() const {
        Ref<css::text::XText> text = m_document->getText();
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
        // In the order a font is set in: name, bold, italic, shadow, size.
        // Bold, italic and size hold for every script, as in Word; the name
        // is the font of Latin text.
        const auto everyScript = [&props](const char* property, const Any& value) {
            for (const char* suffix : {"", "Asian", "Complex"})
                props->setPropertyValue(rtl::OUString::createFromAscii(property) +
                                            rtl::OUString::createFromAscii(suffix),
                                        value);
        };
        props->setPropertyValue("CharFontName", Any(toOU(font.name)));
        everyScript("CharWeight", Any(weight));
        everyScript("CharPosture", Any(slant));
        props->setPropertyValue("CharShadowed", Any(font.shadow));
        everyScript("CharHeight", Any(height));
    }

    Ref<css::uno::XComponentContext> m_office;
    Ref<css::text::XTextDocument> m_document;
    Ref<css::frame::XFrame> m_frame;
    // The font last set: text appended after an inserted file carries it
    // too, not the file's own.
    std::optional<WordFont> m_font;
};

class UnoOffice : public bridge::Office {
public:
    UnoOffice(uno::Session session, Ref<css::frame::XDesktop2> desktop)
        : m_session(std::move(session)), m_office(m_session.office), m_desktop(std::move(desktop)) {
    }

    std::unique_ptr<bridge::Document> addDocument(bool hidden) override {
        return call([&] {
            const css::beans::PropertyValue hide = property("Hidden", Any(hidden));
            const Sequence<css::beans::PropertyValue> args(&hide, 1);
            Ref<css::lang::XComponent> component =
                m_desktop->loadComponentFromURL("private:factory/swriter", "_blank", 0, args);
            Ref<css::text::XTextDocument> document(component, UNO_QUERY_THROW);
            Ref<css::frame::XModel> model(component, UNO_QUERY_THROW);
            return std::make_unique<UnoDocument>(m_office, document,
                                                 model->getCurrentController()->getFrame());
        });
    }

    // A view that is open already keeps its own switch: the documents set
    // theirs with setSpellOnline.
    void setSpellingAutoCheck(bool on) override {
        call([&] { css::linguistic2::LinguProperties::create(m_office)->setIsSpellAuto(on); });
    }

    bool spellingAutoCheck() const override {
        return call([&] {
            return bool(css::linguistic2::LinguProperties::create(m_office)->getIsSpellAuto());
        });
    }

    void setGrammarAutoCheck(bool on) override {
        call([&] {
            Ref<css::uno::XInterface> access = configuration(m_office, kGrammarNode, true);
            Ref<css::container::XNameReplace>(access, UNO_QUERY_THROW)
                ->replaceByName(kGrammarAutoCheck, Any(on));
            Ref<css::util::XChangesBatch>(access, UNO_QUERY_THROW)->commitChanges();
        });
    }

    bool grammarAutoCheck() const override {
        return call([&] {
            Ref<css::container::XNameAccess> access(configuration(m_office, kGrammarNode, false),
                                                    UNO_QUERY_THROW);
            bool on = false;
            access->getByName(kGrammarAutoCheck) >>= on;
            return on;
        });
    }

    QStringList frameTitles() const override {
        return call([&] {
            QStringList titles;
            Ref<css::container::XIndexAccess> frames(m_desktop->getFrames(), UNO_QUERY_THROW);
            for (sal_Int32 i = 0; i < frames->getCount(); ++i) {
                Ref<css::frame::XTitle> title(frames->getByIndex(i), UNO_QUERY);
                if (title.is())
                    titles << fromOU(title->getTitle());
            }
            return titles;
        });
    }

    QString productVersion() const override {
        return call([&] {
            Ref<css::container::XNameAccess> product(configuration(m_office, kProductNode, false),
                                                     UNO_QUERY_THROW);
            rtl::OUString version;
            product->getByName("ooSetupVersion") >>= version;
            return fromOU(version);
        });
    }

    void recordVersionSeen() override {
        call([&] {
            Ref<css::uno::XInterface> access = configuration(m_office, kProductNode, true);
            Ref<css::container::XNameAccess> product(access, UNO_QUERY_THROW);
            rtl::OUString version;
            rtl::OUString last;
            product->getByName("ooSetupVersion") >>= version;
            // Unset (void) on a profile that has seen no version yet.
            product->getByName(kLastVersion) >>= last;
            if (version.isEmpty() || last == version)
                return;
            Ref<css::container::XNameReplace>(access, UNO_QUERY_THROW)
                ->replaceByName(kLastVersion, Any(version));
            Ref<css::util::XChangesBatch>(access, UNO_QUERY_THROW)->commitChanges();
        });
    }

    void terminate() override { uno::terminate(m_session); }

private:
    uno::Session m_session;
    Ref<css::uno::XComponentContext> m_office;
    Ref<css::frame::XDesktop2> m_desktop;
};

class UnoBridge : public bridge::Bridge {
public:
    std::unique_ptr<bridge::Office> attach(const QString& pipeName) override {
        uno::Session session = uno::attach(pipeName);
        if (!session.office.is())
            return nullptr;
        Ref<css::frame::XDesktop2> desktop =
            call([&] { return css::frame::Desktop::create(session.office); });
        return std::make_unique<UnoOffice>(std::move(session), desktop);
    }
};

} // namespace

} // namespace tolvane::docs::uno

extern "C" __attribute__((visibility("default"))) tolvane::docs::bridge::Bridge*
tolvane_office_bridge(int interfaceVersion) {
    if (interfaceVersion != tolvane::docs::bridge::kInterfaceVersion)
        return nullptr;
    // Never destroyed: the bridge and UNO live as long as the process.
    static auto* bridge = new tolvane::docs::uno::UnoBridge;
    return bridge;
}
