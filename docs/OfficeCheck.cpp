// A manual check of the office bridge: writes a short document into the
// lecturer's office (started if need be) and leaves it open and visible.
#include "docs/LibreOffice.h"

#include <QCoreApplication>

#include <cstdio>

using namespace tolvane::docs;

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        LibreOfficeVersionProbe probe;
        if (!probe.create()) {
            std::fprintf(stderr, "The word processor could not be started.\n");
            return 1;
        }
        std::printf("office %s, read as %s\n", qPrintable(probe.officeVersion()),
                    qPrintable(probe.version()));
        probe.quit();
        probe.release();

        LibreOfficeApplication office;
        office.connect();
        LibreOfficeDocument& doc = office.addDocument();
        doc.setCaption(QStringLiteral("Tolvane Test"));
        office.setCheckSpellingAsYouType(false);
        office.setCheckGrammarAsYouType(false);
        doc.setLastSentenceFont(
            WordFont{QStringLiteral("Times New Roman"), true, false, false, 22});
        doc.insertAfter(QStringLiteral("English Final Test\r"));
        doc.setLastSentenceFont(
            WordFont{QStringLiteral("Times New Roman"), false, false, false, 12});
        doc.insertAfter(QStringLiteral("A check of the office bridge.\r"));
        office.setVisible(true);
        std::printf("caption \"%s\", visible %d, spelling %d, grammar %d\n",
                    qPrintable(doc.caption()), doc.isVisible(), office.checkSpellingAsYouType(),
                    office.checkGrammarAsYouType());
        for (const WordParagraph& p : doc.paragraphs())
            std::printf("%s\n", qPrintable(p.text));
        office.disconnect();
    } catch (const WordError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
