#pragma once

#include <QDialog>

namespace tolvane::options {

// The programme options: users and permissions, backup and restore.
class TSet_F : public QDialog {
    Q_OBJECT
public:
    explicit TSet_F(QWidget* parent = nullptr);
};

} // namespace tolvane::options
