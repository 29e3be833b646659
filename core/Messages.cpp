#include "core/Messages.h"

#include <QApplication>
#include <QFileInfo>
#include <QWidget>

namespace tolvane {

namespace {
MessageHandler& currentHandler() {
    static MessageHandler handler;
    return handler;
}

QMessageBox::Icon toQt(MsgIcon icon) {
    switch (icon) {
    case MsgIcon::Information:
        return QMessageBox::Information;
    case MsgIcon::Warning:
        return QMessageBox::Warning;
    case MsgIcon::Error:
        return QMessageBox::Critical;
    case MsgIcon::Question:
        return QMessageBox::Question;
    case MsgIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButton realMessageBox(const MessageRequest& r) {
    QMessageBox box(toQt(r.icon), r.caption, r.text, r.buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
} // namespace

QMessageBox::StandardButton showMessage(const MessageRequest& request) {
    if (currentHandler())
        return currentHandler()(request);
    return realMessageBox(request);
}

QMessageBox::StandardButton showMessage(const QString& text, const QString& caption, MsgIcon icon,
                                        QMessageBox::StandardButtons buttons) {
    return showMessage(MessageRequest{text, caption, icon, buttons});
}

void plainMessage(const QString& text) {
    showMessage(text, applicationTitle(), MsgIcon::None, QMessageBox::Ok);
}

void errorMessage(const QString& text) {
    showMessage(text, applicationTitle(), MsgIcon::Error, QMessageBox::Ok);
}

QString applicationTitle() {
    QString name = QCoreApplication::applicationName();
    if (name.isEmpty())
        name = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    return name;
}

void setMessageHandler(MessageHandler handler) {
    currentHandler() = std::move(handler);
}

} // namespace tolvane
