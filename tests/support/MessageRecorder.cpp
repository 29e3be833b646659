#include "tests/support/MessageRecorder.h"

namespace tolvane::test {

MessageRecorder::MessageRecorder() {
    setMessageHandler([this](const MessageRequest& r) {
        m_messages.push_back(r);
        if (onMessage)
            onMessage(r);
        if (!m_script.empty()) {
            auto b = m_script.front();
            m_script.pop_front();
            return b;
        }
        if (r.buttons & QMessageBox::Ok)
            return QMessageBox::Ok;
        for (int b = QMessageBox::FirstButton; b <= QMessageBox::LastButton; b <<= 1)
            if (r.buttons & b)
                return static_cast<QMessageBox::StandardButton>(b);
        return QMessageBox::Ok;
    });
}

MessageRecorder::~MessageRecorder() {
    setMessageHandler({});
}

QStringList MessageRecorder::texts() const {
    QStringList out;
    for (const auto& m : m_messages)
        out << m.text;
    return out;
}

} // namespace tolvane::test
