#include "bank/TiMuWH_Unit.h"

#include <QLabel>
#include <QVBoxLayout>

namespace tolvane::bank {

TForm1::TForm1(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Question Bank Management"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("Questions and chapters are maintained here."), this));
    resize(640, 420);
}

} // namespace tolvane::bank
