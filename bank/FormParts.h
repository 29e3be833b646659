#pragma once

#include <QString>
#include <QStringList>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace tolvane::db {
class Connection;
}

namespace tolvane::bank {

// The bank's connection, or nullptr without a data module: queries made on
// it then report their own error when used.
db::Connection* bankConnection();

// The controls the question windows are built of, made alike in each.

// A line edit that holds whole questions and answers: nothing typed or pasted
// is cut at the toolkit's default limit of 32767 characters.
QLineEdit* makeEdit(QWidget* parent, const QString& name);
QLineEdit* makeEdit(QWidget* parent, const char* name);

// A memo that Tab leaves instead of typing a tab into.
QPlainTextEdit* makeMemo(QWidget* parent, const char* name);

// A memo's text as typed: line breaks as "\n", every other character kept
// (the widget's own plain text would turn non-breaking spaces into spaces).
QString memoText(const QPlainTextEdit* memo);

// A combo box that takes any typed text as well as a pick. The list never
// grows from what is typed, and the completer only offers items: it never
// rewrites the text, so a typed value is stored exactly as typed.
QComboBox* makeCombo(QWidget* parent, const char* name, const QStringList& items = {});

// Adds list items without choosing one of them: the typed text stays.
void appendItems(QComboBox* box, const QStringList& items);

// A button that Enter in an edit never presses.
QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption);

QLabel* makeLabel(QWidget* parent, const QString& text, QWidget* buddy);

// The window's heading `Label1`: large, bold and centred.
QLabel* makeHeading(QWidget* parent, const QString& text);

// "1" to "5", the list of the count boxes.
QStringList oneToFive();

// Lays a page out on a grid of two label and field pairs per row; a single
// field spans both.
class PageGrid {
public:
    explicit PageGrid(QWidget* page);
    void wide(const QString& label, QWidget* field, int stretch = 0);
    void pair(const QString& label1, QWidget* field1, const QString& label2, QWidget* field2);
    // The read-only question number box, alone on its row.
    void numberBox(QLineEdit* box);
    void stretch();
    void addButton(QPushButton* button);

private:
    QWidget* m_page;
    QGridLayout* m_grid;
    int m_row = 0;
};

} // namespace tolvane::bank
