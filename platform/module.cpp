#include "platform/module.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QtDebug>

namespace platform {

QString modulePath(const QString &name)
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/modules/") + name
        + QStringLiteral(HAROVAN_MODULE_SUFFIX);
}

ModuleLoader::ModuleLoader(const QString &path, const char *iid)
    : m_path(path)
    , m_iid(iid)
{ }

ModuleLoader::~ModuleLoader()
{
    delete m_object.data();
}

void *ModuleLoader::interface()
{
    if (!m_interface)
        m_interface = load();
    return *m_interface;
}

void *ModuleLoader::load()
{
    // Never unmapped: a sound still playing or a thread of Qt's network
    // access may run in it until the program ends.
    m_loader.setLoadHints(QLibrary::PreventUnloadHint);
    m_loader.setFileName(m_path);
    // Read from the file without loading it, so that a foreign module's code
    // never runs. Qt refuses here what is not a file (a FIFO would hold up
    // the read for good) and a file cut short (a copy of the program
    // folder that stopped half-way), which mapped as it is would die of a bus
    // error at the first touch of a missing page.
    const QJsonObject metaData = m_loader.metaData();
    if (metaData.isEmpty())
        return refuse(m_loader.errorString());
    if (const QString iid = metaData.value(QLatin1String("IID")).toString(); iid != QLatin1String(m_iid))
        return refuse(QStringLiteral("it offers %1 where %2 is needed").arg(iid, QLatin1String(m_iid)));
    m_object = m_loader.instance();
    if (!m_object)
        return refuse(m_loader.errorString());
    void *offered = m_object->qt_metacast(m_iid);
    return offered ? offered : refuse(QStringLiteral("its object does not offer %1").arg(QLatin1String(m_iid)));
}

void *ModuleLoader::refuse(const QString &reason) const
{
    qWarning().noquote() << QStringLiteral("The module %1 is not loaded: %2").arg(m_path, reason);
    return nullptr;
}

} // namespace platform
