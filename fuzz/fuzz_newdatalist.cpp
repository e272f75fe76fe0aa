// The new-data list as a download server may send it: the list document read
// into the entries that are offered, every title checked as a file name.

#include "core/DataInForce.h"
#include "core/NewData.h"
#include "core/modNengajo.h"
#include "platform/fakes/fakeprogramfolder.h"
#include "platform/http.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

// A program folder whose data folder holds one file, so that entries are
// both present and new.
struct Server
{
    Server()
    {
        QDir(dir.path()).mkdir(QStringLiteral("data"));
        QFile present(dir.path() + QStringLiteral("/data/present.xml"));
        if (!present.open(QIODevice::WriteOnly))
            std::abort();
    }

    QTemporaryDir dir;
    platform::FakeProgramFolder folder {dir.path()};
    platform::ScopedService<platform::ProgramFolder> folderGuard {folder};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Server server;
    static DataInForce inForce;
    // The list as the fetch brings it.
    const qint16 result = inForce.GetNewDataList(
        {true, QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)), {}, 200, false});
    // Whatever the list holds, only plain file names are ever offered.
    for (const NewDataEntry &entry : inForce.NewDataList()) {
        if (result != 0 || !modNengajo::IsSafeDataTitle(entry.strTitle))
            std::abort();
    }
    return 0;
}
