#include "platform/module.h"

#include <QFileInfo>
#include <QJsonObject>
#include <QtDebug>

namespace platform {

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
    if (!m_tried) {
        m_tried = true;
        m_interface = load();
    }
    return m_interface;
}

void *ModuleLoader::load()
{
    if (!QFileInfo(m_path).isFile()) {
        refuse(QStringLiteral("there is no such file"));
        return nullptr;
    }
    // Never unmapped: a sound still playing or a thread of Qt's network
    // access may run in it until the program ends.
    m_loader.setLoadHints(QLibrary::PreventUnloadHint);
    m_loader.setFileName(m_path);
    // Read from the file without loading it, so that a foreign module's code never runs.
    const QJsonObject metaData = m_loader.metaData();
    if (metaData.isEmpty()) {
        refuse(m_loader.errorString());
        return nullptr;
    }
    if (const QString iid = metaData.value(QLatin1String("IID")).toString(); iid != QLatin1String(m_iid)) {
        refuse(QStringLiteral("it offers %1 where %2 is needed").arg(iid, QLatin1String(m_iid)));
        return nullptr;
    }
    m_object = m_loader.instance();
    if (!m_object) {
        refuse(m_loader.errorString());
        return nullptr;
    }
    void *offered = m_object->qt_metacast(m_iid);
    if (!offered)
        refuse(QStringLiteral("its object does not offer %1").arg(QLatin1String(m_iid)));
    return offered;
}

void ModuleLoader::refuse(const QString &reason) const
{
    qWarning().noquote() << QStringLiteral("The module %1 is not loaded: %2").arg(m_path, reason);
}

} // namespace platform
