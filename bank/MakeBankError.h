#pragma once

#include <QString>

#include <stdexcept>

namespace tolvane::bank {

// A failure of the bank maker; what() is the text shown to the user.
class MakeBankError : public std::runtime_error {
public:
    explicit MakeBankError(const QString& text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// A command line the bank maker cannot make sense of.
class UsageError : public MakeBankError {
public:
    using MakeBankError::MakeBankError;
};

} // namespace tolvane::bank
