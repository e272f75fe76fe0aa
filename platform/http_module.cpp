// The module modules/harovan_network.so: Qt's network access, loaded at the
// program's first transfer.
#include "platform/http.h"

extern "C" Q_DECL_EXPORT platform::HttpTransfer *harovan_create_http()
{
    return new platform::QtHttpTransfer;
}
