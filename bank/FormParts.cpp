#include "bank/FormParts.h"

#include "db/DataModule.h"
#include "widgets/TypedComboBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include <limits>

namespace tolvane::bank {

namespace {
constexpr int kNoLimit = std::numeric_limits<int>::max();
} // namespace

db::Connection* bankConnection() {
    return db::Zenlo_DM ? &db::Zenlo_DM->TiKu_ADOC : nullptr;
}

QLineEdit* makeEdit(QWidget* parent, const QString& name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(kNoLimit);
    return edit;
}

QLineEdit* makeEdit(QWidget* parent, const char* name) {
    return makeEdit(parent, QString::fromLatin1(name));
}

QPlainTextEdit* makeMemo(QWidget* parent, const char* name) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QString::fromLatin1(name));
    memo->setTabChangesFocus(true);
    return memo;
}

QString memoText(const QPlainTextEdit* memo) {
    QString text = memo->document()->toRawText();
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if (u == QChar::ParagraphSeparator || u == QChar::LineSeparator || u == 0xfdd0 ||
            u == 0xfdd1)
            c = QLatin1Char('\n');
    }
    return text;
}

QComboBox* makeCombo(QWidget* parent, const char* name, const QStringList& items) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    widgets::makeTypedComboBox(box);
    box->lineEdit()->setMaxLength(kNoLimit);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

void appendItems(QComboBox* box, const QStringList& items) {
    const QString typed = box->currentText();
    box->addItems(items);
    box->setCurrentIndex(-1);
    box->setEditText(typed);
}

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

QLabel* makeLabel(QWidget* parent, const QString& text, QWidget* buddy) {
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    return label;
}

QStringList oneToFive() {
    return {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
            QStringLiteral("5")};
}

PageGrid::PageGrid(QWidget* page) : m_page(page), m_grid(new QGridLayout(page)) {
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnStretch(3, 1);
    m_grid->setHorizontalSpacing(10);
    m_grid->setVerticalSpacing(8);
}

void PageGrid::wide(const QString& label, QWidget* field, int stretch) {
    m_grid->addWidget(makeLabel(m_page, label, field), m_row, 0,
                      field->inherits("QPlainTextEdit") ? Qt::AlignTop : Qt::Alignment());
    m_grid->addWidget(field, m_row, 1, 1, 3);
    m_grid->setRowStretch(m_row, stretch);
    ++m_row;
}

void PageGrid::pair(const QString& label1, QWidget* field1, const QString& label2,
                    QWidget* field2) {
    m_grid->addWidget(makeLabel(m_page, label1, field1), m_row, 0);
    m_grid->addWidget(field1, m_row, 1);
    m_grid->addWidget(makeLabel(m_page, label2, field2), m_row, 2);
    m_grid->addWidget(field2, m_row, 3);
    ++m_row;
}

void PageGrid::numberBox(QLineEdit* box) {
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setMaximumWidth(120);
    m_grid->addWidget(makeLabel(m_page, QStringLiteral("Question No."), box), m_row, 0);
    m_grid->addWidget(box, m_row, 1, Qt::AlignLeft);
    ++m_row;
}

void PageGrid::stretch() {
    m_grid->setRowStretch(m_row, 1);
    ++m_row;
}

void PageGrid::addButton(QPushButton* button) {
    button->setMinimumWidth(100);
    m_grid->addWidget(button, m_row, 3, Qt::AlignRight);
    ++m_row;
}

QLabel* makeHeading(QWidget* parent, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QStringLiteral("Label1"));
    QFont heading = label->font();
    if (heading.pointSizeF() > 0)
        heading.setPointSizeF(heading.pointSizeF() * 1.6);
    else
        heading.setPixelSize(heading.pixelSize() * 8 / 5);
    heading.setBold(true);
    label->setFont(heading);
    label->setAlignment(Qt::AlignHCenter);
    return label;
}

} // namespace tolvane::bank
