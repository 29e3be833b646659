#include "core/Session.h"

namespace tolvane {

QString CurrentUserName;
int CurrentPermission = 0;

} // namespace tolvane
