#include "modNengajo.h"

QString modNengajo::ValidateDataFile(const QString &, const QString &)
{
    return {};
}

qint16 modNengajo::LoadDataFile(const QString &, const QString &)
{
    return -1;
}
