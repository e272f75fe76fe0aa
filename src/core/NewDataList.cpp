#include "modNengajo.h"

QString modNengajo::ListDocumentUrl()
{
    return QStringLiteral("http://" HAROVAN_DOWNLOAD_HOST "/gajo/list.xml");
}

qint16 modNengajo::GetNewDataList()
{
    NewDataList().clear();
    return -1;
}
