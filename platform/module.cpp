#include "platform/module.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QtDebug>

#ifndef Q_OS_WIN
#include <elf.h>
#endif

#include <cstring>
#include <type_traits>
#include <vector>

namespace platform {

// Windows' loader refuses a DLL cut short by itself.
#ifndef Q_OS_WIN
namespace {

// The ELF kind of this program: a module of another word size or byte order cannot be its.
constexpr bool Elf64 = sizeof(void *) == 8;
using ElfHeader = std::conditional_t<Elf64, Elf64_Ehdr, Elf32_Ehdr>;
using ProgramHeader = std::conditional_t<Elf64, Elf64_Phdr, Elf32_Phdr>;
constexpr unsigned char ElfClass = Elf64 ? ELFCLASS64 : ELFCLASS32;
constexpr unsigned char ElfData = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? ELFDATA2LSB : ELFDATA2MSB;

} // namespace

QString incompleteElfFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    const quint64 size = quint64(file.size());

    ElfHeader header;
    if (file.read(reinterpret_cast<char *>(&header), sizeof header) != qint64(sizeof header))
        return QStringLiteral("the file ends inside its ELF header");
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0)
        return QStringLiteral("it is not an ELF file");
    if (header.e_ident[EI_CLASS] != ElfClass || header.e_ident[EI_DATA] != ElfData)
        return QStringLiteral("it is an ELF file for another kind of computer");
    if (header.e_phentsize != sizeof(ProgramHeader))
        return QStringLiteral("its program headers are %1 bytes each, not %2")
            .arg(header.e_phentsize)
            .arg(sizeof(ProgramHeader));

    const quint64 headersSize = quint64(header.e_phnum) * sizeof(ProgramHeader);
    if (header.e_phoff > size || headersSize > size - header.e_phoff)
        return QStringLiteral("the file ends inside its program headers (%1 bytes)").arg(size);
    std::vector<ProgramHeader> segments(header.e_phnum);
    if (!file.seek(qint64(header.e_phoff))
        || file.read(reinterpret_cast<char *>(segments.data()), qint64(headersSize)) != qint64(headersSize))
        return file.errorString();
    for (const ProgramHeader &segment : segments) {
        if (segment.p_type == PT_LOAD && (segment.p_offset > size || segment.p_filesz > size - segment.p_offset))
            return QStringLiteral("the file is cut short: a loadable segment ends at byte %1 of a file of %2 bytes")
                .arg(quint64(segment.p_offset) + quint64(segment.p_filesz))
                .arg(size);
    }
    return {};
}
#endif

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
#ifndef Q_OS_WIN
    if (const QString problem = incompleteElfFile(m_path); !problem.isEmpty()) {
        refuse(problem);
        return nullptr;
    }
#endif
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
