#include "bank/Import_Form.h"

#include "bank/FormParts.h"
#include "core/AppPaths.h"
#include "core/FileChooser.h"
#include "core/Handler.h"
#include "core/Messages.h"
#include "core/Progress.h"
#include "db/DataModule.h"
#include "db/Query.h"
#include "widgets/ChapterTree.h"

#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tolvane::bank {

namespace {

// An import this large shows the progress window while it writes.
constexpr int kProgressFrom = 500;

QTreeWidget* makeTree(QWidget* parent, const char* name, const QStringList& headers) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QLatin1String(name));
    tree->setHeaderLabels(headers);
    tree->setRootIsDecorated(false);
    tree->setAlternatingRowColors(true);
    tree->setSelectionMode(QAbstractItemView::NoSelection);
    tree->header()->setStretchLastSection(true);
    return tree;
}

} // namespace

TImport_Form::TImport_Form(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Import_Form"));
    setWindowTitle(QStringLiteral("Import Questions"));

    File_Edit = makeEdit(this, "File_Edit");
    File_Edit->setReadOnly(true);
    Browse_Btn = makeButton(this, "Browse_Btn", QStringLiteral("Browse..."));
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(File_Edit, 1);
    fileRow->addWidget(Browse_Btn);

    NY_ComboBox = new QComboBox(this);
    NY_ComboBox->setObjectName(QStringLiteral("NY_ComboBox"));
    NY_ComboBox->addItem(QStringLiteral("Easy"), 12);
    NY_ComboBox->addItem(QStringLiteral("Medium"), 13);
    NY_ComboBox->addItem(QStringLiteral("Hard"), 14);
    NY_ComboBox->setCurrentIndex(1);

    ZJ_ComboBox = new QComboBox(this);
    ZJ_ComboBox->setObjectName(QStringLiteral("ZJ_ComboBox"));
    ZJ_ComboBox->addItem(QStringLiteral("(none)"), QString());
    if (db::Connection* c = bankConnection()) {
        db::Query table(c);
        try {
            for (const widgets::ChapterNode& n :
                 widgets::chapterNodes(widgets::readChapterRows(table)))
                ZJ_ComboBox->addItem(n.section ? QStringLiteral("    ") + n.text : n.text, n.text);
        } catch (const std::exception&) {
            // A malformed chapter code: the chapters can still come from the file.
        }
    }

    Essay_ComboBox = new QComboBox(this);
    Essay_ComboBox->setObjectName(QStringLiteral("Essay_ComboBox"));
    Essay_ComboBox->addItem(QStringLiteral("Type 3"), 3);
    Essay_ComboBox->addItem(QStringLiteral("Type 4"), 5);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("File:"), fileRow);
    form->addRow(QStringLiteral("Difficulty of questions without one:"), NY_ComboBox);
    form->addRow(QStringLiteral("Chapter of questions without one:"), ZJ_ComboBox);
    form->addRow(QStringLiteral("Essays without documents become:"), Essay_ComboBox);

    QStringList headers{QStringLiteral("Chapter")};
    for (int t : exchange::typeOrder())
        headers << exchange::typeLabel(t);
    headers << QStringLiteral("Total");
    Preview_Tree = makeTree(this, "Preview_Tree", headers);
    Preview_Tree->header()->setStretchLastSection(false);
    Preview_Tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Preview_Tree->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    LeftOut_Tree = makeTree(this, "LeftOut_Tree",
                            {QStringLiteral("Line"), QStringLiteral("Type"),
                             QStringLiteral("Question"), QStringLiteral("Left out because")});
    LeftOut_Tree->setColumnWidth(0, 50);
    LeftOut_Tree->setColumnWidth(1, 90);
    LeftOut_Tree->setColumnWidth(2, 260);

    Summary_Label = new QLabel(QStringLiteral("Choose a Moodle XML or GIFT file."), this);
    Summary_Label->setObjectName(QStringLiteral("Summary_Label"));
    Summary_Label->setWordWrap(true);

    Import_Btn = makeButton(this, "Import_Btn", QStringLiteral("Import"));
    Import_Btn->setEnabled(false);
    Close_Btn = makeButton(this, "Close_Btn", QStringLiteral("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Import_Btn);
    buttons->addWidget(Close_Btn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("To be imported, by chapter and type:"), this));
    layout->addWidget(Preview_Tree, 2);
    layout->addWidget(new QLabel(QStringLiteral("Left out:"), this));
    layout->addWidget(LeftOut_Tree, 2);
    layout->addWidget(Summary_Label);
    layout->addLayout(buttons);

    connectHandler(Browse_Btn, &QPushButton::clicked, this, [this] { Browse_BtnClick(); });
    connectHandler(Import_Btn, &QPushButton::clicked, this, [this] { Import_BtnClick(); });
    connectHandler(Close_Btn, &QPushButton::clicked, this, [this] { close(); });
    for (QComboBox* box : {NY_ComboBox, ZJ_ComboBox, Essay_ComboBox})
        connectHandler(box, &QComboBox::currentIndexChanged, this, [this] { OptionsChange(); });
    resize(860, 640);
}

exchange::ImportOptions TImport_Form::options() const {
    exchange::ImportOptions o;
    o.defaultDifficulty = NY_ComboBox->currentData().toInt();
    o.defaultChapter = ZJ_ComboBox->currentData().toString();
    o.essayTypeId = Essay_ComboBox->currentData().toInt();
    return o;
}

void TImport_Form::Browse_BtnClick() {
    const QString path =
        chooseFile(this, {QStringLiteral("Import Questions"),
                          QStringLiteral("Moodle XML (*.xml);;GIFT (*.gift *.txt);;All files (*)"),
                          QString(), false});
    if (!path.isEmpty())
        loadFile(path);
}

void TImport_Form::loadFile(const QString& path) {
    clearPreview();
    File_Edit->setText(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        plainMessage(QStringLiteral("Cannot read \"%1\": %2.").arg(path, file.errorString()));
        return;
    }
    try {
        m_questions = exchange::readQuestions(file.readAll(), &m_format);
    } catch (const exchange::ExchangeError& e) {
        plainMessage(e.text());
        return;
    }
    m_loaded = true;
    OptionsChange();
}

void TImport_Form::OptionsChange() {
    if (!m_loaded)
        return;
    exchange::ImportOptions o = options();
    o.dryRun = true;
    showPreview(
        exchange::importQuestions(db::bank(), AppPaths::docDir(), m_questions, o, m_format));
}

void TImport_Form::clearPreview() {
    m_loaded = false;
    m_questions.clear();
    Preview_Tree->clear();
    LeftOut_Tree->clear();
    Import_Btn->setEnabled(false);
    Summary_Label->setText(QStringLiteral("Choose a Moodle XML or GIFT file."));
}

void TImport_Form::showPreview(const exchange::ImportReport& preview) {
    Preview_Tree->clear();
    LeftOut_Tree->clear();
    exchange::TypeCounts total{};
    auto addRow = [this](const QString& chapter, const exchange::TypeCounts& counts) {
        QStringList cells{chapter};
        int sum = 0;
        for (int t : exchange::typeOrder()) {
            cells << QString::number(counts[t]);
            sum += counts[t];
        }
        cells << QString::number(sum);
        auto* item = new QTreeWidgetItem(Preview_Tree, cells);
        for (int c = 1; c < cells.size(); ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        return item;
    };
    for (auto it = preview.perChapter.begin(); it != preview.perChapter.end(); ++it) {
        addRow(it.key().isEmpty() ? QStringLiteral("(no chapter)") : it.key(), it.value());
        for (int t = 1; t <= 6; ++t)
            total[t] += it.value()[t];
    }
    QFont bold = Preview_Tree->font();
    bold.setBold(true);
    QTreeWidgetItem* all = addRow(QStringLiteral("All chapters"), total);
    for (int c = 0; c < Preview_Tree->columnCount(); ++c)
        all->setFont(c, bold);
    for (const exchange::LeftOut& l : preview.leftOut)
        new QTreeWidgetItem(LeftOut_Tree, {QString::number(l.line), l.type, l.name, l.reason});

    QString summary = QStringLiteral("%1 file: %2 questions to import, %3 left out.")
                          .arg(m_format == exchange::Format::Gift ? QStringLiteral("GIFT")
                                                                  : QStringLiteral("Moodle XML"))
                          .arg(preview.total())
                          .arg(preview.leftOut.size());
    if (!preview.newChapters.isEmpty())
        summary += QStringLiteral(" New chapters: %1.")
                       .arg(preview.newChapters.join(QStringLiteral(", ")));
    if (!preview.documents.isEmpty())
        summary +=
            QStringLiteral(" Documents to write into Doc: %1.").arg(preview.documents.size());
    Summary_Label->setText(summary);
    Import_Btn->setEnabled(preview.total() > 0);
}

void TImport_Form::Import_BtnClick() {
    if (!m_loaded) {
        plainMessage(QStringLiteral("Choose a file to import first."));
        return;
    }
    exchange::ImportOptions o = options();
    WindowProgress window;
    if (m_questions.size() >= kProgressFrom)
        o.progress = &window;
    o.lockWaitMs = 5000;
    m_report = exchange::importQuestions(db::bank(), AppPaths::docDir(), m_questions, o, m_format);
    m_done = true;
    plainMessage(m_report.lines().constLast());
    accept();
}

} // namespace tolvane::bank
