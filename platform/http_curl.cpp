#include "http.h"

namespace platform {

CurlHttpTransfer::CurlHttpTransfer() = default;

CurlHttpTransfer::CurlHttpTransfer(const Options &options)
    : m_options(options)
{
}

HttpTransfer::Result CurlHttpTransfer::get(const QString &)
{
    return {false, {}, QStringLiteral("not built yet")};
}

} // namespace platform
