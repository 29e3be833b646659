#include "widgets/TypedComboBox.h"

#include <QComboBox>
#include <QCompleter>

namespace tolvane::widgets {

void makeTypedComboBox(QComboBox* box) {
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    if (QCompleter* completer = box->completer()) {
        completer->setCompletionMode(QCompleter::PopupCompletion);
        completer->setCaseSensitivity(Qt::CaseSensitive);
    }
}

} // namespace tolvane::widgets
