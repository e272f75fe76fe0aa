// The data-file path as the program takes it with a file from anywhere (a
// download, a copy into the data folder): the card-type dialog's validation,
// then the load with the schema beside the file and without it.

#include "core/DataInForce.h"
#include "core/modNengajo.h"
#include "platform/fakes/fakemessagebox.h"
#include "platform/fakes/fakeprogramfolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

const QString FileName = QStringLiteral("fuzz.xml");

// A program folder of its own with the schema in its data folder, for the
// whole run; message boxes are only counted.
struct ProgramFolder
{
    ProgramFolder()
    {
        QDir(dir.path()).mkdir(QStringLiteral("data"));
        if (!QFile::copy(QStringLiteral(SCHEMA_PATH), dataPath(modNengajo::SchemaFileName)))
            std::abort();
    }
    QString dataPath(const QString &name) const { return dir.path() + QStringLiteral("/data/") + name; }

    QTemporaryDir dir;
    platform::FakeProgramFolder folder {dir.path()};
    platform::ScopedService<platform::ProgramFolder> folderGuard {folder};
    platform::FakeMessageBox box;
    platform::ScopedService<platform::MessageBox> boxGuard {box};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static ProgramFolder program;
    QFile file(program.dataPath(FileName));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write(reinterpret_cast<const char *>(data), static_cast<qint64>(size)) != static_cast<qint64>(size))
        std::abort();
    file.close();

    modNengajo::ValidateDataFile(program.dataPath(FileName), program.dataPath(modNengajo::SchemaFileName));
    static DataInForce inForce;
    inForce.LoadDataFile(FileName, modNengajo::SchemaFileName);
    inForce.LoadDataFile(FileName, QStringLiteral("none.xsd"));
    program.box.shown.clear();
    return 0;
}
