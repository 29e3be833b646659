#include "widgets/PageParts.h"

#include "widgets/FlatButton.h"
#include "widgets/FlatSpinEdit.h"

#include <QLabel>

namespace tolvane::widgets {

QLabel* boldLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

TFlatButton* pageButton(const char* name, const char* caption, QWidget* parent) {
    auto* b = new TFlatButton(QString::fromLatin1(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setMinimumHeight(32);
    b->setMinimumWidth(110);
    return b;
}

TFlatSpinEditInteger* pageSpinEdit(const QString& name, int value, QWidget* parent) {
    auto* edit = new TFlatSpinEditInteger(parent);
    edit->setObjectName(name);
    edit->setValue(value);
    edit->setAlignment(Qt::AlignRight);
    edit->setMinimumWidth(64);
    return edit;
}

} // namespace tolvane::widgets
