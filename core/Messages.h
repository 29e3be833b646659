#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>

class QWidget;

namespace tolvane {

enum class MsgIcon { None, Information, Warning, Error, Question };

// One request for a message box.
struct MessageRequest {
    QString text;
    QString caption;
    MsgIcon icon = MsgIcon::None;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
};

// Every message box of the program goes through this one function. It returns
// the button the user chose.
QMessageBox::StandardButton showMessage(const MessageRequest& request);
QMessageBox::StandardButton showMessage(const QString& text, const QString& caption, MsgIcon icon,
                                        QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// A plain message: the application's title as caption, no icon, one OK button.
void plainMessage(const QString& text);

// The general error box: the error's own text, the application's title, an
// error icon and OK.
void errorMessage(const QString& text);

// The application's title: the executable's name, as the toolkit's default.
QString applicationTitle();

// Test seam: replace the real message box. Passing an empty function restores
// the real one.
using MessageHandler = std::function<QMessageBox::StandardButton(const MessageRequest&)>;
void setMessageHandler(MessageHandler handler);

} // namespace tolvane
