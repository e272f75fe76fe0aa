#pragma once

#include <QString>

namespace platform {

// Whether text is a web address that opens: "http://" or "https://", written
// so (lower case), then a host. Only such texts are fetched by the HTTP
// transfer or handed to the browser as an address; any other text, a file
// path or "(なし)" included, is not.
bool isWebAddress(const QString &text);

} // namespace platform
