#include "options/UserAdmin.h"

#include "db/Query.h"

namespace tolvane::options {

UserRefusal checkNewUser(const UserInput& input, bool nameExists) {
    // A user without a name could never log in.
    if (input.name.trimmed().isEmpty())
        return UserRefusal::NameBlank;
    if (input.permission < 0)
        return UserRefusal::NoPermission;
    if (input.password.isEmpty())
        return UserRefusal::PasswordBlank;
    if (input.password != input.confirmation)
        return UserRefusal::PasswordsDiffer;
    if (nameExists)
        return UserRefusal::UserExists;
    return UserRefusal::None;
}

UserRefusal checkChangedUser(const UserInput& input, int storedPermission, int administrators) {
    if (input.password != input.confirmation)
        return UserRefusal::PasswordsDiffer;
    if (input.permission < 0)
        return UserRefusal::NoPermission;
    if (storedPermission == kAdministrator && input.permission != kAdministrator &&
        administrators < 2)
        return UserRefusal::LastAdministrator;
    return UserRefusal::None;
}

UserRefusal checkDeletion(int storedPermission, int administrators) {
    if (storedPermission == kAdministrator && administrators < 2)
        return UserRefusal::LastAdministratorDeletion;
    return UserRefusal::None;
}

UserMessage refusalMessage(UserRefusal refusal) {
    switch (refusal) {
    case UserRefusal::NameBlank:
        return {QStringLiteral("Error: User name cannot be blank!"),
                QStringLiteral("Information incomplete")};
    case UserRefusal::NoPermission:
        return {QStringLiteral("Error: Please select user permission!"),
                QStringLiteral("Information incomplete")};
    case UserRefusal::PasswordBlank:
        return {QStringLiteral("Error: Password cannot be blank!"),
                QStringLiteral("Information incorrect")};
    case UserRefusal::PasswordsDiffer:
        return {QStringLiteral("Error: Two passwords not the same, please re-enter!"),
                QStringLiteral("Error in passwords")};
    case UserRefusal::UserExists:
        return {QStringLiteral("Error: User already existed!"),
                QStringLiteral("Information incorrect")};
    case UserRefusal::LastAdministrator:
        return {QStringLiteral("Programme needs at least one Administrator, cannot degrade the "
                               "permission!"),
                QStringLiteral("Error")};
    case UserRefusal::LastAdministratorDeletion:
        return {QStringLiteral("Programme needs at least one Administrator, cannot delete the "
                               "last one!"),
                QStringLiteral("Error")};
    case UserRefusal::None:
        break;
    }
    return {};
}

int findUser(const db::Query& users, const QString& name) {
    const int column = users.columnIndex(QStringLiteral("UserName"));
    if (column < 0)
        return -1;
    int loose = -1;
    for (int row = 0; row < users.recordCount(); ++row) {
        const QString stored = db::Query::displayText(users.value(row, column));
        if (stored == name)
            return row;
        if (loose < 0 && stored.compare(name, Qt::CaseInsensitive) == 0)
            loose = row;
    }
    return loose;
}

} // namespace tolvane::options
