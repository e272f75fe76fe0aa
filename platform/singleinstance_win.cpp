// Where the lock and the named pipe lie on Windows.
#include "platform/singleinstance.h"

namespace platform {

// A name without a folder: the lock in the user's own temporary folder, the
// pipe among the named pipes of the user's session.
QString SingleInstance::placed(const QString &name)
{
    return name;
}

} // namespace platform
