#pragma once

#include <QString>
#include <QStringList>

namespace tolvane {

// Reads the options of a command-line program one by one, the same way for
// every program: "--name value" or "--name=value", an option that may be
// given once refused the second time, a value given to an option that takes
// none refused. Each refusal throws `Error` (constructed from the text), which
// the program turns into exit status 2.
template <typename Error> class ArgumentScanner {
public:
    explicit ArgumentScanner(const QStringList& arguments) : m_arguments(arguments) {}

    // Moves to the next argument; false after the last.
    bool next() {
        if (++m_at >= m_arguments.size())
            return false;
        m_name = m_arguments[m_at];
        m_value.clear();
        m_inlineValue = false;
        if (m_name.startsWith(QLatin1String("--")) && m_name.contains(QLatin1Char('='))) {
            const int equals = m_name.indexOf(QLatin1Char('='));
            m_value = m_name.mid(equals + 1);
            m_name = m_name.left(equals);
            m_inlineValue = true;
        }
        return true;
    }

    // The argument without any "=value".
    const QString& name() const { return m_name; }
    // The argument as it was given.
    const QString& argument() const { return m_arguments[m_at]; }

    // The option's value, after '=' or as the next argument. With `given`,
    // the option may be given once: a second time is refused.
    QString value(bool* given = nullptr) {
        if (given && *given)
            throw Error(QStringLiteral("The option %1 is given twice.").arg(m_name));
        if (given)
            *given = true;
        if (m_inlineValue)
            return m_value;
        if (m_at + 1 >= m_arguments.size())
            throw Error(QStringLiteral("The option %1 needs a value.").arg(m_name));
        return m_arguments[++m_at];
    }

    // Refuses "--flag=value" for an option that takes no value.
    void noValue() const {
        if (m_inlineValue)
            throw Error(QStringLiteral("The option %1 takes no value.").arg(m_name));
    }

private:
    QStringList m_arguments;
    int m_at = -1;
    QString m_name;
    QString m_value;
    bool m_inlineValue = false;
};

} // namespace tolvane
