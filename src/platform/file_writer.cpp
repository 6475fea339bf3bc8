#include "platform/file_writer.h"

#include "core/app/varno_error.h"
#include "platform/qt_text.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace varno {

namespace {

constexpr std::string_view kCannotCreateFile = "Cannot create file %s";

[[noreturn]] void cannotCreate(const QString& path)
{
    throw VarnoError(formatMessage(kCannotCreateFile, toStd(QDir::toNativeSeparators(path))));
}

} // namespace

void writeFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access)
{
    const QFileInfo info(path);
    // Replacing by rename would get past a read-only file; refuse as a direct write would.
    if (info.isDir() || (info.exists() && !info.isWritable()))
        cannotCreate(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        cannotCreate(path);
    // The temporary file already carries the old file's permissions; narrow them before any byte lands.
    const bool ownerOnly = access == FileAccess::OwnerOnly || (access == FileAccess::KeepOrOwnerOnly && !info.exists());
    if (ownerOnly && !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner)) {
        file.cancelWriting();
        cannotCreate(path);
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        cannotCreate(path);
    }
    if (!file.commit())
        cannotCreate(path);
}

} // namespace varno
