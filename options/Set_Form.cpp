#include "options/Set_Form.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tolvane::options {

TSet_F::TSet_F(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Set_F"));
    setWindowTitle(QStringLiteral("Programme options"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Users and backup are managed here."), this));
    resize(520, 360);
}

} // namespace tolvane::options
