#pragma once

#include <QString>

namespace tolvane::db {
class Query;
}

namespace tolvane::options {

// The administrator's permission code. The programme keeps at least one user
// with it.
constexpr int kAdministrator = 1;

// What the user page was given for one user.
struct UserInput {
    QString name;
    int permission = -1; // the chosen QXID; -1 when none is chosen
    QString password;
    QString confirmation;
};

enum class UserRefusal {
    None,
    NameBlank,
    NoPermission,
    PasswordBlank,
    PasswordsDiffer,
    UserExists,
    LastAdministrator,
    LastAdministratorDeletion,
};

// The checks of a new user in their order; the first that fails is the answer.
UserRefusal checkNewUser(const UserInput& input, bool nameExists);

// The checks of a change to a stored user. `storedPermission` is the user's
// QXID as stored now and `administrators` the number of users with the
// administrator's permission. Only taking that permission away from the last
// one who has it is refused.
UserRefusal checkChangedUser(const UserInput& input, int storedPermission, int administrators);

// Deleting the last administrator is refused, as degrading the last one is.
UserRefusal checkDeletion(int storedPermission, int administrators);

struct UserMessage {
    QString text;
    QString caption;
};
UserMessage refusalMessage(UserRefusal refusal);

// The row of the user table (opened with all its columns) whose UserName is
// `name`: the exact one if there is one, otherwise the first that differs in
// letter case only; -1 when there is none.
int findUser(const db::Query& users, const QString& name);

} // namespace tolvane::options
