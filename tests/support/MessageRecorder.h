#pragma once

#include "core/Messages.h"

#include <QList>

#include <deque>

namespace tolvane::test {

// Stands in for every message box while it lives: records each request and
// answers with the scripted buttons in turn (OK, or the first button
// offered, once the script is used up).
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();

    void answer(QMessageBox::StandardButton button) { m_script.push_back(button); }
    const QList<MessageRequest>& messages() const { return m_messages; }
    QStringList texts() const;
    int count() const { return static_cast<int>(m_messages.size()); }
    const MessageRequest& last() const { return m_messages.back(); }
    void clear() { m_messages.clear(); }

    // Runs while a message is being "shown" (e.g. to look at the windows).
    std::function<void(const MessageRequest&)> onMessage;

private:
    QList<MessageRequest> m_messages;
    std::deque<QMessageBox::StandardButton> m_script;
};

} // namespace tolvane::test
