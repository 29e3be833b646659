#pragma once

#include <QDialog>
#include <QLabel>

namespace tolvane {

// The about box: a banner and the program's name and version.
class TAbout_F : public QDialog {
    Q_OBJECT
public:
    explicit TAbout_F(QWidget* parent = nullptr);

    QLabel* Image1; // the banner
    QLabel* Label1; // "Tolvane Test Paper Generation System"
    QLabel* Label2; // "Version 1.0"
};

} // namespace tolvane
