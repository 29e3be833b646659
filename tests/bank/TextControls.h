#pragma once

#include "bank/FormParts.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <gtest/gtest.h>

namespace tolvane::test {

// Types into an edit, a memo or a combo box, as the lecturer does.
inline void setControlText(QObject* control, const QString& text) {
    if (auto* e = qobject_cast<QLineEdit*>(control))
        e->setText(text);
    else if (auto* m = qobject_cast<QPlainTextEdit*>(control))
        m->setPlainText(text);
    else if (auto* c = qobject_cast<QComboBox*>(control))
        c->setEditText(text);
    else
        ADD_FAILURE() << "no text control "
                      << (control ? control->objectName().toStdString() : "(none)");
}

// The text an edit, a memo or a combo box holds, as the window reads it.
inline QString controlText(QObject* control) {
    if (auto* e = qobject_cast<QLineEdit*>(control))
        return e->text();
    if (auto* m = qobject_cast<QPlainTextEdit*>(control))
        return bank::memoText(m);
    if (auto* c = qobject_cast<QComboBox*>(control))
        return c->currentText();
    ADD_FAILURE() << "no text control "
                  << (control ? control->objectName().toStdString() : "(none)");
    return {};
}

} // namespace tolvane::test
