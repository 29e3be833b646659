#pragma once

#include <QDialog>

namespace tolvane::bank {

// Question bank maintenance: edit, search and delete questions and chapters.
class TForm1 : public QDialog {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
};

} // namespace tolvane::bank
