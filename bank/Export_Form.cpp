#include "bank/Export_Form.h"

#include "bank/FormParts.h"
#include "core/AppPaths.h"
#include "core/FileChooser.h"
#include "core/Handler.h"
#include "core/Messages.h"
#include "db/DataModule.h"
#include "db/Query.h"
#include "exchange/BankExchange.h"
#include "widgets/ChapterTree.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace tolvane::bank {

TExport_Form::TExport_Form(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Export_Form"));
    setWindowTitle(QStringLiteral("Export Questions"));

    ZJ_CT = new widgets::TCheckTree(this);
    ZJ_CT->setObjectName(QStringLiteral("ZJ_CT"));
    ZJ_CT->setHeaderHidden(true);
    if (db::Connection* c = bankConnection()) {
        db::Query table(c);
        widgets::buildChapterTrees(table, {ZJ_CT});
    }
    ZJ_CT->SetAllStates(widgets::csChecked);
    ZJ_CT->expandAll();

    Moodle_RadioButton = new QRadioButton(QStringLiteral("Moodle XML"), this);
    Moodle_RadioButton->setObjectName(QStringLiteral("Moodle_RadioButton"));
    Gift_RadioButton = new QRadioButton(QStringLiteral("GIFT"), this);
    Gift_RadioButton->setObjectName(QStringLiteral("Gift_RadioButton"));
    auto* group = new QButtonGroup(this);
    group->addButton(Moodle_RadioButton);
    group->addButton(Gift_RadioButton);
    Moodle_RadioButton->setChecked(true);
    Embed_CheckBox = new QCheckBox(QStringLiteral("Embed the quoted documents"), this);
    Embed_CheckBox->setObjectName(QStringLiteral("Embed_CheckBox"));
    Embed_CheckBox->setChecked(true);

    File_Edit = makeEdit(this, "File_Edit");
    Browse_Btn = makeButton(this, "Browse_Btn", QStringLiteral("Browse..."));
    Export_Btn = makeButton(this, "Export_Btn", QStringLiteral("Export"));
    Close_Btn = makeButton(this, "Close_Btn", QStringLiteral("Close"));

    auto* formatRow = new QHBoxLayout;
    formatRow->addWidget(new QLabel(QStringLiteral("Format:"), this));
    formatRow->addWidget(Moodle_RadioButton);
    formatRow->addWidget(Gift_RadioButton);
    formatRow->addStretch(1);
    formatRow->addWidget(Embed_CheckBox);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("File:"), this));
    fileRow->addWidget(File_Edit, 1);
    fileRow->addWidget(Browse_Btn);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Export_Btn);
    buttons->addWidget(Close_Btn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Chapters to export:"), this));
    layout->addWidget(ZJ_CT, 1);
    layout->addLayout(formatRow);
    layout->addLayout(fileRow);
    layout->addLayout(buttons);

    connectHandler(Browse_Btn, &QPushButton::clicked, this, [this] { Browse_BtnClick(); });
    connectHandler(Export_Btn, &QPushButton::clicked, this, [this] { Export_BtnClick(); });
    connectHandler(Close_Btn, &QPushButton::clicked, this, [this] { close(); });
    connectHandler(Gift_RadioButton, &QRadioButton::toggled, this, [this] { FormatChange(); });
    resize(560, 600);
}

void TExport_Form::FormatChange() {
    // GIFT carries no documents.
    Embed_CheckBox->setEnabled(Moodle_RadioButton->isChecked());
    const QString file = File_Edit->text();
    if (file.isEmpty())
        return;
    const QFileInfo info(file);
    const QString suffix =
        Gift_RadioButton->isChecked() ? QStringLiteral(".gift") : QStringLiteral(".xml");
    File_Edit->setText(info.path() + '/' + info.completeBaseName() + suffix);
}

void TExport_Form::Browse_BtnClick() {
    const bool gift = Gift_RadioButton->isChecked();
    const QString path = chooseFile(
        this, {QStringLiteral("Export Questions"),
               gift ? QStringLiteral("GIFT (*.gift *.txt)") : QStringLiteral("Moodle XML (*.xml)"),
               File_Edit->text().isEmpty()
                   ? (gift ? QStringLiteral("questions.gift") : QStringLiteral("questions.xml"))
                   : File_Edit->text(),
               true});
    if (!path.isEmpty())
        File_Edit->setText(path);
}

QStringList TExport_Form::chosenChapters(bool* none) const {
    QStringList texts;
    bool all = true;
    for (QTreeWidgetItemIterator it(ZJ_CT); *it; ++it) {
        if (ZJ_CT->GetNodeState(*it) == widgets::csChecked)
            texts << (*it)->text(0);
        else
            all = false;
    }
    *none = texts.isEmpty() && ZJ_CT->topLevelItemCount() > 0;
    return all ? QStringList() : texts;
}

void TExport_Form::Export_BtnClick() {
    bool none = false;
    const QStringList chapters = chosenChapters(&none);
    if (none) {
        plainMessage(QStringLiteral("Tick the chapters to export."));
        return;
    }
    const QString path = File_Edit->text().trimmed();
    if (path.isEmpty()) {
        plainMessage(QStringLiteral("Choose the file to export to."));
        return;
    }
    exchange::ExportOptions options;
    options.format =
        Gift_RadioButton->isChecked() ? exchange::Format::Gift : exchange::Format::MoodleXml;
    options.chapters = chapters;
    options.embedDocuments = Embed_CheckBox->isChecked();
    const exchange::ExportReport report =
        exchange::exportBank(db::bank(), AppPaths::docDir(), options);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(report.data) != report.data.size() ||
        !file.commit()) {
        plainMessage(QStringLiteral("Cannot write \"%1\": %2.").arg(path, file.errorString()));
        return;
    }
    QStringList lines = report.lines();
    if (lines.size() > 21) // the summary, with the first twenty reasons
        lines = lines.mid(0, 20) + QStringList{QStringLiteral("..."), lines.constLast()};
    plainMessage(lines.join('\n'));
    accept();
}

} // namespace tolvane::bank
