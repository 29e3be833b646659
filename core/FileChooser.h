#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace tolvane {

// One request for a file: to open one that exists, or to name one to save.
struct FileRequest {
    QString caption;
    QString filter; // "Moodle XML (*.xml);;GIFT (*.gift *.txt)"
    QString suggested;
    bool save = false;
};

// Every file chooser of the program goes through this one function. It
// returns the chosen path, or an empty text when the user cancelled.
QString chooseFile(QWidget* parent, const FileRequest& request);

// Test seam: answer file requests without a window. An empty function
// restores the real chooser.
using FileChooser = std::function<QString(const FileRequest&)>;
void setFileChooser(FileChooser chooser);

} // namespace tolvane
