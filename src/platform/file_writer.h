#pragma once

#include <QByteArray>
#include <QString>

namespace varno {

// Writes a whole file in one piece: the bytes go to a temporary file beside it, which then replaces
// the old file, so a failed write leaves the old file intact. Throws VarnoError "Cannot create file %s"
// (the full path) when the file cannot be written, also over a read-only file.
void writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace varno
