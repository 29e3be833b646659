#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace tolvane::widgets {

class TFlatButton;
class TFlatSpinEditInteger;

// The controls the main window's pages are built of, made alike on each.

// A label in bold: a heading over a column or a group of fields.
QLabel* boldLabel(const QString& text, QWidget* parent);
// A flat button of the size the page buttons share.
TFlatButton* pageButton(const char* name, const char* caption, QWidget* parent);
// A spin edit holding `value`, right-aligned and wide enough for four digits.
TFlatSpinEditInteger* pageSpinEdit(const QString& name, int value, QWidget* parent);

} // namespace tolvane::widgets
