#include "platform/webaddress.h"

#include <QUrl>

bool platform::isWebAddress(const QString &text)
{
    if (!text.startsWith(QLatin1String("http://")) && !text.startsWith(QLatin1String("https://")))
        return false;
    const QUrl address(text, QUrl::StrictMode);
    return address.isValid() && !address.host().isEmpty();
}
