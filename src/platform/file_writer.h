#pragma once

#include <QByteArray>
#include <QString>

namespace varno {

// Who may read the written file. A replaced file otherwise keeps its permissions; a new one gets the
// process's usual ones.
enum class FileAccess {
    Usual,
    OwnerOnly,        // always read and write by the owner alone (the file holds passwords)
    KeepOrOwnerOnly,  // a replaced file keeps its permissions, a new one is owner-only
};

// Writes a whole file in one piece: the bytes go to a temporary file beside it, which then replaces
// the old file, so a failed write leaves the old file intact. Throws VarnoError "Cannot create file %s"
// (the full path) when the file cannot be written, also over a read-only file.
void writeFileAtomically(const QString& path, const QByteArray& bytes, FileAccess access = FileAccess::Usual);

} // namespace varno
