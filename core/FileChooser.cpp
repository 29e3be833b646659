#include "core/FileChooser.h"

#include <QFileDialog>

namespace tolvane {

namespace {
FileChooser& current() {
    static FileChooser chooser;
    return chooser;
}
} // namespace

QString chooseFile(QWidget* parent, const FileRequest& request) {
    if (current())
        return current()(request);
    return request.save ? QFileDialog::getSaveFileName(parent, request.caption, request.suggested,
                                                       request.filter)
                        : QFileDialog::getOpenFileName(parent, request.caption, request.suggested,
                                                       request.filter);
}

void setFileChooser(FileChooser chooser) {
    current() = std::move(chooser);
}

} // namespace tolvane
